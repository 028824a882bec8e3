#include "templates/template_import.h"

#include "templates/library_file.h"

#include "support/jpeg_maker.h"
#include "support/qt_print.h"
#include "support/recording_ui.h"
#include "support/system_faults.h"
#include "support/temp_dir.h"

#include "core/text.h"

#include <QFile>

#include <gtest/gtest.h>

#include <map>

namespace zanfold {
namespace {

using test::RecordingUi;
using test::TempDir;

class Import : public ::testing::Test {
protected:
    TempDir dir;
    AppState state;
    RecordingUi ui;
    std::map<std::pair<int, int>, QByteArray> jpegs; // one encoded placeholder per size

    void SetUp() override { state.TemplateFile = dir.file(QStringLiteral("zfTemplate.xml")); }

    // A project folder with the .aep file and placeholders of the given sizes.
    QString project(const QString& name, const std::vector<std::pair<QString, QSize>>& placeholders) {
        const QString folder = name + QStringLiteral("/");
        const QString aep = dir.write(folder + name + QStringLiteral(".aep"), "aep");
        for (const auto& [file, size] : placeholders) {
            QByteArray& bytes = jpegs[{size.width(), size.height()}];
            if (bytes.isEmpty())
                bytes = test::makeJpeg(test::solidImage(size.width(), size.height(), qRgb(90, 90, 90)));
            dir.write(folder + QStringLiteral("照片/") + file, bytes);
        }
        return aep;
    }

    static std::vector<std::pair<QString, QSize>> series(char prefix, int count, int digits, QSize size) {
        std::vector<std::pair<QString, QSize>> files;
        for (int i = 1; i <= count; ++i)
            files.push_back(
                {QString(QLatin1Char(prefix)) + QStringLiteral("%1.jpg").arg(i, digits, 10, QLatin1Char('0')),
                 size});
        return files;
    }
};

TEST_F(Import, GroupsPlaceholdersIntoSpecifications) {
    auto files = series('A', 12, 3, {1920, 1080});
    const auto b = series('B', 3, 3, {1080, 1920});
    files.insert(files.end(), b.begin(), b.end());
    const QString aep = project(QStringLiteral("婚礼"), files);
    ui.openFiles.push_back(aep);
    ASSERT_EQ(TEMPLATE_IMPORT(state, ui), 0);
    EXPECT_TRUE(ui.messages.empty());
    ASSERT_EQ(state.Templates.size(), 1u);
    EXPECT_EQ(state.TemplateNames[0], QStringLiteral("婚礼"));
    const TemplateRecord& t = state.Templates[0];
    EXPECT_EQ(t.path, dir.file(QStringLiteral("婚礼/")));
    EXPECT_EQ(t.count, 15);
    EXPECT_EQ(t.pTypeSum, 2);
    EXPECT_EQ(t.spec[0].prefix, 'A');
    EXPECT_EQ(t.spec[0].flength, 3);
    EXPECT_EQ(t.spec[0].width, 1920);
    EXPECT_EQ(t.spec[0].height, 1080);
    EXPECT_EQ(t.spec[0].count, 12);
    EXPECT_EQ(t.spec[1].prefix, 'B');
    EXPECT_EQ(t.spec[1].width, 1080);
    EXPECT_EQ(t.spec[1].height, 1920);
    EXPECT_EQ(t.spec[1].count, 3);
    EXPECT_TRUE(t.type.isEmpty());
    EXPECT_EQ(templateCountText(state), QStringLiteral("模板数量： 1"));

    // It is in the library file too.
    AppState loaded;
    loaded.TemplateFile = state.TemplateFile;
    TEMPLATE_LOAD(loaded, ui);
    EXPECT_EQ(loaded.TemplateNames, QStringList{QStringLiteral("婚礼")});
}

TEST_F(Import, PrefixCaseAndNamingLength) {
    ASSERT_EQ(importTemplate(state, ui,
                             project(QStringLiteral("Cases"), {{QStringLiteral("A1.jpg"), {200, 100}},
                                                               {QStringLiteral("a1.jpg"), {100, 200}}})),
              0);
    const TemplateRecord& t = state.Templates[0];
    ASSERT_EQ(t.pTypeSum, 2);
    EXPECT_EQ(t.spec[0].prefix, 'A');
    EXPECT_EQ(t.spec[0].flength, 1);
    EXPECT_EQ(t.spec[1].prefix, 'a');
    EXPECT_EQ(t.spec[1].width, 100);

    ASSERT_EQ(importTemplate(state, ui,
                             project(QStringLiteral("Long"), {{QStringLiteral("A0001.JPG"), {300, 300}}})),
              1);
    EXPECT_EQ(state.Templates[1].spec[0].flength, 4);
    EXPECT_EQ(state.Templates[1].count, 1);
}

TEST_F(Import, RefusalsAddNothing) {
    struct Case {
        const char* name;
        std::vector<std::pair<QString, QSize>> files;
        QString message;
    };
    std::vector<std::pair<QString, QSize>> tenGroups;
    for (char p = 'A'; p <= 'J'; ++p)
        tenGroups.push_back({QString(QLatin1Char(p)) + QStringLiteral("01.jpg"), {120, 100}});
    const Case cases[] = {
        {"NoPhotos", {}, QStringLiteral("没有【照片】文件夹或照片数量为零！")},
        {"OnlyPng",
         {{QStringLiteral("A001.png"), {120, 100}}},
         QStringLiteral("没有【照片】文件夹或照片数量为零！")},
        {"TenGroups", tenGroups, QStringLiteral("模板的照片规格不能多于9个")},
        // What the library would drop at the next start is refused at once, with what is wrong.
        {"TooSmall",
         {{QStringLiteral("A01.jpg"), {99, 300}}},
         QStringLiteral("模板不能加入模板库：照片规格 A 的尺寸 99×300 不在 100 到 8000 像素之间")},
        {"LongNames",
         {{QStringLiteral("A00000000001.jpg"), {120, 100}}},
         QStringLiteral("模板不能加入模板库：照片规格 A 的命名长度（11）不在 1 到 10 之间")},
        {"SplitPrefix",
         {{QStringLiteral("A001.jpg"), {120, 100}},
          {QStringLiteral("a002.jpg"), {120, 100}},
          {QStringLiteral("A003.jpg"), {120, 100}}},
         QStringLiteral("模板不能加入模板库：照片规格的前缀 A 重复")},
        {"NotALetter",
         {{QStringLiteral("甲001.jpg"), {120, 100}}},
         QStringLiteral("模板照片的名称必须以一个英文字母开头")},
    };
    for (const Case& c : cases) {
        ui.messages.clear();
        const QString aep = project(QString::fromLatin1(c.name), c.files);
        EXPECT_EQ(importTemplate(state, ui, aep), -1) << c.name;
        ASSERT_EQ(ui.messages.size(), 1u) << c.name;
        EXPECT_TRUE(ui.lastMessage().text.startsWith(c.message)) << ui.lastMessage().text.toStdString();
        EXPECT_EQ(ui.lastMessage().icon, Icon::Error);
    }
    EXPECT_TRUE(state.Templates.empty());
    EXPECT_FALSE(QFile::exists(state.TemplateFile));
}

// Outputs are written under their positions' names at their specification's size: placeholders those
// would not reproduce are refused by name, and nothing is added.
TEST_F(Import, PlaceholdersTheOutputsWouldNotReproduceAreRefused) {
    struct Case {
        const char* name;
        std::vector<std::pair<QString, QSize>> files;
        QStringList named; // in the message
    };
    const Case cases[] = {
        {"MixedSizes",
         {{QStringLiteral("A001.jpg"), {1920, 1080}},
          {QStringLiteral("A002.jpg"), {1080, 1920}},
          {QStringLiteral("A003.jpg"), {1500, 1500}},
          {QStringLiteral("B001.jpg"), {800, 600}}},
         {QStringLiteral("同一组模板照片的尺寸必须相同，有 2 张与本组第一张不同"),
          QStringLiteral("A002.jpg：1080 × 1920（A001.jpg：1920 × 1080）"),
          QStringLiteral("A003.jpg：1500 × 1500（A001.jpg：1920 × 1080）")}},
        {"Gap",
         {{QStringLiteral("A001.jpg"), {800, 600}},
          {QStringLiteral("A002.jpg"), {800, 600}},
          {QStringLiteral("A005.jpg"), {800, 600}}},
         {QStringLiteral("模板照片 A005.jpg 的编号"), QStringLiteral("A001.jpg、A002.jpg、A003.jpg")}},
        {"Lengths",
         {{QStringLiteral("A1.jpg"), {800, 600}},
          {QStringLiteral("A2.jpg"), {800, 600}},
          {QStringLiteral("A10.jpg"), {800, 600}}},
         {QStringLiteral("模板照片 A10.jpg 的编号")}},
        {"NotFromOne",
         {{QStringLiteral("B002.jpg"), {800, 600}}},
         {QStringLiteral("模板照片 B002.jpg 的编号")}},
        {"NotANumber",
         {{QStringLiteral("Ax01.jpg"), {800, 600}}},
         {QStringLiteral("模板照片 Ax01.jpg 的编号")}},
    };
    for (const Case& c : cases) {
        ui.messages.clear();
        EXPECT_EQ(importTemplate(state, ui, project(QString::fromLatin1(c.name), c.files)), -1) << c.name;
        ASSERT_EQ(ui.messages.size(), 1u) << c.name;
        EXPECT_EQ(ui.lastMessage().icon, Icon::Error);
        for (const QString& part : c.named)
            EXPECT_TRUE(ui.lastMessage().text.contains(part))
                << c.name << ": " << ui.lastMessage().text.toStdString();
    }
    EXPECT_TRUE(state.Templates.empty());
    EXPECT_FALSE(QFile::exists(state.TemplateFile));

    // Past 999 the numbers simply grow a digit, as the positions' names do.
    EXPECT_EQ(importTemplate(state, ui, project(QStringLiteral("Big"), series('A', 1000, 3, {150, 100}))), 0);
}

// A template unpacked from an archive of Chinese Windows has its 照片 folder under GBK bytes.
TEST_F(Import, APhotoFolderWithAGbkNameIsFound) {
    const QString aep = dir.write(QStringLiteral("gbk/gbk.aep"), "aep");
    const QByteArray folder =
        test::systemBytes(dir.file(QStringLiteral("gbk"))) + '/' + *toGb18030(QStringLiteral("照片"));
    if (const QString why = test::makeFolderUnderRawName(folder); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    for (const char* name : {"A001.jpg", "A002.jpg"})
        ASSERT_EQ(test::writeUnderRawName(folder + '/' + name,
                                          test::makeJpeg(test::solidImage(640, 360, qRgb(90, 90, 90)))),
                  QString());
    ASSERT_EQ(importTemplate(state, ui, aep), 0) << ui.lastMessage().text.toStdString();
    EXPECT_EQ(state.Templates[0].count, 2);
    EXPECT_EQ(state.Templates[0].spec[0].width, 640);
}

TEST_F(Import, UnreadableFirstPlaceholderIsNamed) {
    const QString aep = project(QStringLiteral("Bad"), {});
    dir.write(QStringLiteral("Bad/照片/A001.jpg"), "not a picture");
    EXPECT_EQ(importTemplate(state, ui, aep), -1);
    EXPECT_TRUE(ui.lastMessage().text.contains(QStringLiteral("A001.jpg")));
    EXPECT_TRUE(state.Templates.empty());
}

TEST_F(Import, DuplicateNameIsRefused) {
    ASSERT_EQ(importTemplate(state, ui, project(QStringLiteral("Same"), series('A', 2, 3, {200, 100}))), 0);
    EXPECT_EQ(importTemplate(state, ui, project(QStringLiteral("Same"), series('A', 2, 3, {200, 100}))), -1);
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("模板名称不能重复！\n\n'Same'"));
    EXPECT_EQ(state.Templates.size(), 1u);
}

TEST_F(Import, NameWithABlankLivesOnlyInMemory) {
    EXPECT_EQ(importTemplate(state, ui, project(QStringLiteral("my album"), series('A', 2, 3, {200, 100}))),
              0);
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("保存模板出错：2: 5"));
    EXPECT_EQ(state.TemplateNames, QStringList{QStringLiteral("my album")});
    EXPECT_FALSE(QFile::exists(state.TemplateFile));
}

TEST_F(Import, CancelledDialogDoesNothing) {
    EXPECT_EQ(TEMPLATE_IMPORT(state, ui), -1);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(state.Templates.empty());
}

TEST_F(Import, ManyPlaceholdersAreAllCounted) {
    EXPECT_EQ(importTemplate(state, ui, project(QStringLiteral("Big"), series('A', 1200, 4, {150, 100}))), 0);
    EXPECT_EQ(state.Templates[0].count, 1200);
    EXPECT_EQ(state.Templates[0].spec[0].count, 1200);
}

} // namespace
} // namespace zanfold
