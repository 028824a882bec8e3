#include "templates/template_window.h"

#include "templates/custom_template.h"
#include "templates/library_file.h"

#include "support/jpeg_maker.h"
#include "support/qt_print.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

#include <QFile>

#include <gtest/gtest.h>

namespace zanfold {
namespace {

using test::RecordingUi;
using test::TempDir;

TemplateRecord record(std::initializer_list<SpecRecord> specs) {
    TemplateRecord t;
    for (const SpecRecord& s : specs) {
        t.spec[t.pTypeSum++] = s;
        t.count += s.count;
    }
    return t;
}

const SpecRecord kA{'A', 3, 1920, 1080, 12};
const SpecRecord kB{'B', 3, 1080, 1920, 3};

// A library file of real templates, and the window opened over it.
class TemplateList : public ::testing::Test {
protected:
    TempDir dir;
    AppState state;
    RecordingUi ui;

    void SetUp() override { state.TemplateFile = dir.file(QStringLiteral("zfTemplate.xml")); }

    void add(const QString& name, const TemplateRecord& t) {
        state.Templates.push_back(t);
        state.TemplateNames.append(name);
        ASSERT_TRUE(TEMPLATE_SAVE(state, ui));
    }
    QStringList namesInFile() const {
        AppState fresh;
        fresh.TemplateFile = state.TemplateFile;
        RecordingUi quiet;
        TEMPLATE_LOAD(fresh, quiet);
        return fresh.TemplateNames;
    }
    static QStringList entryTexts(const TemplateWindow& w) {
        QStringList texts;
        for (const TemplateEntry& e : w.root.children)
            texts << e.text;
        return texts;
    }
    TemplateWindow openAndSelect(TreePlace place, bool selectMode = false) {
        state.TemplateSelectMode = selectMode ? 1 : 0;
        TemplateWindow w = FRMTEMPLATE(state);
        TEMPLATE_SELCHANGE(w, state, place);
        return w;
    }
};

TEST_F(TemplateList, ListsTheLibraryWithTheEntriesTextsAndUserValues) {
    add(QStringLiteral("wedding"), record({kA, kB}));
    add(QStringLiteral("婚礼"), record({{'C', 2, 1000, 1000, 4}}));
    const TemplateWindow w = FRMTEMPLATE(state);
    EXPECT_EQ(w.root.text,
              QString(38, QLatin1Char('-')) + QStringLiteral(" 模板列表 ") + QString(38, QLatin1Char('-')));
    EXPECT_EQ(w.root.userValue, -1);
    EXPECT_EQ(w.root.image, 1);
    EXPECT_TRUE(w.root.expanded);
    ASSERT_EQ(w.root.children.size(), 2u);
    const TemplateEntry& wedding = w.root.children[0];
    EXPECT_EQ(wedding.text, QStringLiteral("wedding (15)"));
    EXPECT_EQ(wedding.userValue, 15);
    EXPECT_EQ(wedding.image, 2);
    EXPECT_FALSE(wedding.expanded);
    ASSERT_EQ(wedding.children.size(), 2u);
    EXPECT_EQ(wedding.children[0].text, QStringLiteral("A： 1920 × 1080 (12)"));
    EXPECT_EQ(wedding.children[1].text, QStringLiteral("B： 1080 × 1920 (3)"));
    EXPECT_EQ(wedding.children[0].userValue, 0);
    EXPECT_EQ(wedding.children[0].image, 3);
    EXPECT_EQ(w.status, QStringLiteral("模板数量： 2"));
    EXPECT_FALSE(w.deleteEnabled);
    EXPECT_FALSE(w.chooseEnabled);
    EXPECT_FALSE(w.selected);
}

TEST_F(TemplateList, SelectionNamesTheTemplateByItsUserValue) {
    // Names that end in a bracketed number of their own; the library file cannot hold them as tags, but the
    // lists can until the program ends.
    state.Templates = {record({kA, kB}), record({kB})};
    state.TemplateNames = {QStringLiteral("Mine (2)"), QStringLiteral("x (15) (3)")};
    const struct {
        TreePlace place;
        bool selectMode;
        TreePlace selected;
        QString name;
        bool canDelete, canChoose;
    } cases[] = {
        {{0, -1}, false, {0, -1}, QStringLiteral("Mine (2)"), true, false},
        // A specification stands for its template and stays the selected entry.
        {{0, 1}, true, {0, 1}, QStringLiteral("Mine (2)"), true, true},
        {{1, 0}, true, {1, 0}, QStringLiteral("x (15) (3)"), true, true},
        {{-1, -1}, true, {-1, -1}, QStringLiteral("keep"), false, false}, // the root selects nothing
    };
    for (const auto& c : cases) {
        state.SelectedTemplateName = QStringLiteral("keep");
        const TemplateWindow w = openAndSelect(c.place, c.selectMode);
        ASSERT_TRUE(w.selected);
        EXPECT_EQ(*w.selected, c.selected) << c.place.templateRow << "," << c.place.specRow;
        EXPECT_EQ(state.SelectedTemplateName, c.name);
        EXPECT_EQ(w.deleteEnabled, c.canDelete);
        EXPECT_EQ(w.chooseEnabled, c.canChoose);
    }
}

TEST_F(TemplateList, DeletingThroughASpecificationDeletesTheTemplate) {
    add(QStringLiteral("first"), record({kB}));
    add(QStringLiteral("wedding"), record({kA, kB}));
    add(QStringLiteral("last"), record({kA}));
    const QByteArray before = TempDir::read(state.TemplateFile);

    TemplateWindow w = openAndSelect({1, 0});
    ui.answers = {Answer::Cancel};
    TEMPLATE_DELETE(w, state, ui);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("确信要删除这个模板吗？"));
    EXPECT_EQ(ui.lastMessage().icon, Icon::Question);
    EXPECT_EQ(ui.lastMessage().buttons, Buttons::OkCancel);
    EXPECT_EQ(ui.lastMessage().byDefault, Answer::Cancel);
    EXPECT_EQ(TempDir::read(state.TemplateFile), before);
    EXPECT_EQ(state.Templates.size(), 3u);
    EXPECT_EQ(w.root.children.size(), 3u);

    TEMPLATE_DELETE(w, state, ui);
    const QStringList left{QStringLiteral("first"), QStringLiteral("last")};
    EXPECT_EQ(state.TemplateNames, left);
    EXPECT_EQ(state.Templates[1].count, 12);
    EXPECT_EQ(namesInFile(), left);
    EXPECT_EQ(entryTexts(w), (QStringList{QStringLiteral("first (3)"), QStringLiteral("last (12)")}));
    EXPECT_EQ(w.status, QStringLiteral("模板数量： 2"));
    EXPECT_FALSE(w.selected);
    EXPECT_FALSE(w.deleteEnabled);
}

TEST_F(TemplateList, TwoTemplatesOfOneNameChooseAndDeleteTheFirst) {
    add(QStringLiteral("twin"), record({kA}));
    add(QStringLiteral("twin"), record({kB}));
    TemplateWindow w = openAndSelect({1, -1}, true);
    TEMPLATE_CHOOSE(w, state);
    EXPECT_EQ(state.CurrentTemplate, 0);
    EXPECT_TRUE(w.closed);

    w = openAndSelect({1, -1});
    TEMPLATE_DELETE(w, state, ui);
    ASSERT_EQ(state.Templates.size(), 1u);
    EXPECT_EQ(state.Templates[0].count, 3); // the second stays
    // The tree keeps showing what the lists hold.
    EXPECT_EQ(entryTexts(w), QStringList{QStringLiteral("twin (3)")});
    AppState fresh;
    fresh.TemplateFile = state.TemplateFile;
    TEMPLATE_LOAD(fresh, ui);
    ASSERT_EQ(fresh.Templates.size(), 1u);
    EXPECT_EQ(fresh.Templates[0].count, 3);
}

TEST_F(TemplateList, TemplatesInUseAreNeitherDeletedNorCleared) {
    add(QStringLiteral("wedding"), record({kA, kB}));
    add(QStringLiteral("other"), record({kB}));
    state.WorkTemplates.push_back({0, 0});
    const QByteArray before = TempDir::read(state.TemplateFile);

    TemplateWindow w = openAndSelect({0, 1});
    TEMPLATE_DELETE(w, state, ui);
    ASSERT_EQ(ui.messages.size(), 1u); // refused before asking
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("不能删除正在使用的模板！"));
    EXPECT_EQ(ui.lastMessage().icon, Icon::Information);

    TEMPLATE_CLEAR(w, state, ui);
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[1].text, QStringLiteral("确信要清除模板吗？"));
    EXPECT_EQ(ui.messages[1].byDefault, Answer::Cancel);
    EXPECT_EQ(ui.messages[2].text, QStringLiteral("不能清除正在使用的模板！"));
    EXPECT_EQ(ui.messages[2].icon, Icon::Information);

    EXPECT_EQ(state.Templates.size(), 2u);
    EXPECT_EQ(w.root.children.size(), 2u);
    EXPECT_EQ(TempDir::read(state.TemplateFile), before);
    EXPECT_FALSE(QFile::exists(state.TemplateFile + QStringLiteral(".bak")));
}

TEST_F(TemplateList, DeletingAnEarlierTemplateKeepsWorkReferences) {
    add(QStringLiteral("early"), record({kB}));
    add(QStringLiteral("wedding"), record({kA, kB}));
    add(QStringLiteral("late"), record({kA}));
    state.WorkTemplates = {{2, 0}, {1, 1}};
    TemplateWindow w = openAndSelect({0, -1});
    TEMPLATE_DELETE(w, state, ui);
    ASSERT_EQ(state.Templates.size(), 2u);
    EXPECT_EQ(state.TemplateNames.value(state.WorkTemplates[0].template_), QStringLiteral("late"));
    EXPECT_EQ(state.TemplateNames.value(state.WorkTemplates[1].template_), QStringLiteral("wedding"));
}

TEST_F(TemplateList, ClearingKeepsTheFileAsBackupAndStartsAfresh) {
    add(QStringLiteral("wedding"), record({kA, kB}));
    const QByteArray library = TempDir::read(state.TemplateFile);
    TemplateWindow w = openAndSelect({0, -1});

    ui.answers = {Answer::Cancel};
    TEMPLATE_CLEAR(w, state, ui);
    EXPECT_EQ(state.Templates.size(), 1u);
    EXPECT_TRUE(QFile::exists(state.TemplateFile));

    TEMPLATE_CLEAR(w, state, ui);
    EXPECT_TRUE(state.Templates.empty());
    EXPECT_TRUE(state.TemplateNames.isEmpty());
    EXPECT_FALSE(QFile::exists(state.TemplateFile));
    EXPECT_EQ(TempDir::read(state.TemplateFile + QStringLiteral(".bak")), library);
    EXPECT_EQ(w.root.text,
              QString(30, QLatin1Char('-')) + QStringLiteral(" 模板列表 ") + QString(30, QLatin1Char('-')));
    EXPECT_EQ(w.root.userValue, -1);
    EXPECT_TRUE(w.root.children.empty());
    EXPECT_EQ(w.status, QStringLiteral("模板数量： 0"));
    EXPECT_FALSE(w.deleteEnabled);
    EXPECT_FALSE(w.chooseEnabled);

    // The next template starts a new file; clearing that one keeps both backups.
    add(QStringLiteral("next"), record({kB}));
    EXPECT_EQ(namesInFile(), QStringList{QStringLiteral("next")});
    const QByteArray second = TempDir::read(state.TemplateFile);
    TEMPLATE_CLEAR(w, state, ui);
    EXPECT_FALSE(QFile::exists(state.TemplateFile));
    EXPECT_EQ(TempDir::read(state.TemplateFile + QStringLiteral(".bak")), library);
    EXPECT_EQ(TempDir::read(state.TemplateFile + QStringLiteral(".bak2")), second);
    EXPECT_TRUE(namesInFile().isEmpty());
}

TEST_F(TemplateList, ExpandTogglesEveryTemplateAndIsKeptBetweenOpenings) {
    add(QStringLiteral("one"), record({kA}));
    add(QStringLiteral("two"), record({kB}));
    TemplateWindow w = FRMTEMPLATE(state);
    TEMPLATE_EXPAND(w, state);
    for (const TemplateEntry& e : w.root.children)
        EXPECT_TRUE(e.expanded);
    EXPECT_TRUE(FRMTEMPLATE(state).root.children[1].expanded); // opened again with 展开 pressed
    TEMPLATE_EXPAND(w, state);
    for (const TemplateEntry& e : w.root.children)
        EXPECT_FALSE(e.expanded);
    EXPECT_EQ(state.TemplateExpand, 0);
}

TEST_F(TemplateList, EmptyLibraryInSelectModeChoosesNothing) {
    state.SelectedTemplateName = QStringLiteral("gone");
    TemplateWindow w = openAndSelect({-1, -1}, true);
    EXPECT_TRUE(w.root.children.empty());
    EXPECT_EQ(w.status, QStringLiteral("模板数量： 0"));
    EXPECT_FALSE(w.chooseEnabled);
    TEMPLATE_CHOOSE(w, state);
    EXPECT_EQ(state.CurrentTemplate, -1);
    EXPECT_FALSE(w.closed);
    // Management mode never chooses either.
    add(QStringLiteral("one"), record({kA}));
    w = openAndSelect({0, -1});
    EXPECT_FALSE(w.chooseEnabled);
    TEMPLATE_CHOOSE(w, state);
    EXPECT_EQ(state.CurrentTemplate, -1);
}

TEST_F(TemplateList, ImportAndCustomTemplatesJoinTheTree) {
    add(QStringLiteral("one"), record({kA}));
    TemplateWindow w = FRMTEMPLATE(state);
    const QString aep = dir.write(QStringLiteral("proj/party.aep"), "aep");
    const QByteArray jpeg = test::makeJpeg(test::solidImage(1200, 800, qRgb(90, 90, 90)));
    for (const char* name : {"A001.jpg", "A002.jpg"})
        dir.write(QStringLiteral("proj/照片/") + QString::fromLatin1(name), jpeg);
    ui.openFiles = {aep};
    templateWindowImport(w, state, ui);
    EXPECT_EQ(entryTexts(w), (QStringList{QStringLiteral("one (12)"), QStringLiteral("party (2)")}));
    EXPECT_EQ(w.root.children[1].children[0].text, QStringLiteral("A： 1200 × 800 (2)"));
    EXPECT_EQ(w.status, QStringLiteral("模板数量： 2"));
    EXPECT_EQ(w.notice, QStringLiteral("已导入模板 party：1 种规格，2 张照片"));

    CustomEditor editor;
    editor.name = QStringLiteral("自制");
    editor.specs = {{'H', 3, 1920, 1080, 5}};
    editor.total = 5;
    ASSERT_TRUE(templateWindowAcceptCustom(w, editor, state, ui));
    EXPECT_EQ(entryTexts(w).back(), QStringLiteral("自制 (5)"));
    EXPECT_EQ(w.status, QStringLiteral("模板数量： 3"));
    EXPECT_EQ(namesInFile(),
              (QStringList{QStringLiteral("one"), QStringLiteral("party"), QStringLiteral("自制")}));

    // A name the file cannot hold stays for this run only, and the window says so.
    editor.name = QStringLiteral("two words");
    ASSERT_TRUE(templateWindowAcceptCustom(w, editor, state, ui));
    EXPECT_TRUE(ui.lastMessage().text.startsWith(QStringLiteral("保存模板出错：2:")));
    EXPECT_TRUE(w.notice.endsWith(QStringLiteral("（未能存入模板库文件）")));
    EXPECT_EQ(w.root.children.size(), 4u);
}

} // namespace
} // namespace zanfold
