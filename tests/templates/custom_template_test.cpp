#include "templates/custom_template.h"

#include "templates/library_file.h"

#include "support/qt_print.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace zanfold {
namespace {

using test::RecordingUi;
using test::TempDir;

void fill(CustomEditor& e, const char* w, const char* h, const char* prefix, const char* flength,
          const char* count) {
    e.width = QString::fromLatin1(w);
    e.height = QString::fromLatin1(h);
    e.prefix = QString::fromLatin1(prefix);
    e.flength = QString::fromLatin1(flength);
    e.count = QString::fromLatin1(count);
}

TEST(Custom, PrefixProposedFromOrientation) {
    CustomEditor e;
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"1920", "1080", "H"}, {"1080", "1920", "S"}, {"1000", "1000", "Z"}, {"", "", "Z"}};
    for (const auto& [w, h, expected] : cases) {
        e.width = QString::fromLatin1(w);
        e.height = QString::fromLatin1(h);
        CUSTOM_TEXTCHANGE(e);
        EXPECT_EQ(e.prefix, QString::fromLatin1(expected));
    }
}

TEST(Custom, ChecksInOrderWithTheirMessages) {
    struct Case {
        const char *w, *h, *prefix, *flength, *count;
        QString message;
    };
    const Case cases[] = {
        {"0", "", "", "0", "0", QStringLiteral("宽度或高度不能为 '0'！")},
        {"100", "100", "", "0", "0", QStringLiteral("必须选择一个前缀！")},
        {"100", "100", "H", "0", "0", QStringLiteral("前缀不能重复！")},
        {"100", "100", "Z", "0", "0", QStringLiteral("命名长度只能在'1~9'之间！")},
        {"100", "100", "Z", "10", "5", QStringLiteral("命名长度只能在'1~9'之间！")},
        {"100", "100", "Z", "9", "0", QStringLiteral("数量不能为 '0'！")},
        {"100", "100", "Z", "9", "", QStringLiteral("数量不能为 '0'！")},
        // What the library would drop at the next start is refused now, naming the value.
        {"99", "100", "Z", "3", "5", QStringLiteral("照片规格 Z 的尺寸 99×100 不在 100 到 8000 像素之间！")},
        {"100", "8001", "Z", "3", "5",
         QStringLiteral("照片规格 Z 的尺寸 100×8001 不在 100 到 8000 像素之间！")},
        {"100", "100", "Z", "3", "30001",
         QStringLiteral("照片规格 Z 的照片数量（30001）不在 1 到 30000 之间！")},
    };
    for (const Case& c : cases) {
        CustomEditor e;
        e.specs.push_back({'H', 3, 1920, 1080, 5});
        RecordingUi ui;
        fill(e, c.w, c.h, c.prefix, c.flength, c.count);
        SpecRecord spec;
        EXPECT_FALSE(CHECKNEWSPEC(e, ui, false, spec));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.lastMessage().text, c.message);
        EXPECT_EQ(ui.lastMessage().icon, Icon::Exclamation);
    }
    CustomEditor e;
    RecordingUi ui;
    fill(e, " 640", "480", "H", "9", "12");
    SpecRecord spec;
    ASSERT_TRUE(CHECKNEWSPEC(e, ui, false, spec));
    EXPECT_EQ(spec.width, 640);
    EXPECT_EQ(spec.flength, 9);
    EXPECT_EQ(spec.count, 12);
}

class Editor : public ::testing::Test {
protected:
    CustomEditor e;
    RecordingUi ui;

    void add(const char* prefix, const char* count) {
        fill(e, "1200", "800", prefix, "3", count);
        CUSTOM_NEWSPEC(e, ui);
    }
    QString prefixes() const {
        QString s;
        for (const SpecRecord& r : e.specs)
            s += QLatin1Char(r.prefix);
        return s;
    }
};

TEST_F(Editor, SpecificationsStayInPrefixOrder) {
    add("S", "2");
    add("H", "3");
    add("Z", "4");
    EXPECT_EQ(prefixes(), QStringLiteral("HSZ"));
    EXPECT_EQ(e.total, 9);
    EXPECT_TRUE(e.width.isEmpty());
    EXPECT_TRUE(e.prefix.isEmpty());
    EXPECT_EQ(e.flength, QStringLiteral("3"));
    EXPECT_TRUE(e.deleteEnabled);
    EXPECT_EQ(customRowText(e.specs[0]), QStringLiteral("H： 1200 × 800 (3)"));
}

TEST_F(Editor, NoTenthSpecification) {
    for (const char* p : {"A", "B", "C", "D", "E", "F", "G", "H", "I"})
        add(p, "1");
    ASSERT_EQ(e.specs.size(), 9u);
    add("J", "1");
    EXPECT_EQ(e.specs.size(), 9u);
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("照片规格不能大于9个"));
    EXPECT_EQ(ui.lastMessage().icon, Icon::Information);
}

TEST_F(Editor, EditAndDeleteKeepTheTotal) {
    add("H", "5");
    add("S", "2");
    add("H", "1");
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("前缀不能重复！"));

    CUSTOM_EDITSPEC(e, ui);
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("先选择一个规格！"));

    CUSTOM_LISTSELECT(e, 0);
    EXPECT_EQ(e.width, QStringLiteral(" 1200"));
    EXPECT_EQ(e.prefix, QStringLiteral("H"));
    EXPECT_TRUE(e.editEnabled);
    e.count = QStringLiteral("8"); // keeping prefix H on its own row is allowed
    CUSTOM_EDITSPEC(e, ui);
    EXPECT_EQ(e.total, 10);

    // Renaming the prefix re-sorts and keeps the edited row selected.
    e.prefix = QStringLiteral("T");
    CUSTOM_EDITSPEC(e, ui);
    EXPECT_EQ(prefixes(), QStringLiteral("ST"));
    EXPECT_EQ(e.selected, 1);

    ui.answers.push_back(Answer::No);
    CUSTOM_DELSPEC(e, ui);
    EXPECT_EQ(e.total, 10);
    EXPECT_EQ(e.specs.size(), 2u);

    CUSTOM_DELSPEC(e, ui); // answered Yes
    EXPECT_EQ(e.total, 2);
    EXPECT_EQ(prefixes(), QStringLiteral("S"));
    EXPECT_TRUE(e.deleteEnabled);
    CUSTOM_LISTSELECT(e, 0);
    CUSTOM_DELSPEC(e, ui);
    EXPECT_EQ(e.total, 0);
    EXPECT_FALSE(e.deleteEnabled);
    EXPECT_FALSE(e.editEnabled);
}

TEST_F(Editor, AcceptCreatesTheTemplate) {
    TempDir dir;
    AppState state;
    state.TemplateFile = dir.file(QStringLiteral("zfTemplate.xml"));
    state.Templates.push_back({});
    state.TemplateNames.append(QStringLiteral("Taken"));

    EXPECT_FALSE(CUSTOM_ACCEPT(e, state, ui));
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("请输入模板名称："));
    e.name = QStringLiteral("Taken");
    EXPECT_FALSE(CUSTOM_ACCEPT(e, state, ui));
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("模板名称不能重复！\n\n'Taken'"));
    EXPECT_EQ(ui.lastMessage().text.split(QLatin1Char('\n'))[2], QStringLiteral("'Taken'"));
    e.name = QStringLiteral("手工模板");
    EXPECT_FALSE(CUSTOM_ACCEPT(e, state, ui));
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("照片规格不能为0！"));

    add("S", "2");
    add("H", "3");
    ASSERT_TRUE(CUSTOM_ACCEPT(e, state, ui));
    ASSERT_EQ(state.Templates.size(), 2u);
    const TemplateRecord& t = state.Templates[1];
    EXPECT_EQ(state.TemplateNames[1], QStringLiteral("手工模板"));
    EXPECT_EQ(t.pTypeSum, 2);
    EXPECT_EQ(t.count, 5);
    EXPECT_EQ(t.spec[0].prefix, 'H');
    EXPECT_EQ(t.spec[1].prefix, 'S');
    EXPECT_TRUE(t.path.isEmpty());

    AppState loaded;
    loaded.TemplateFile = state.TemplateFile;
    TEMPLATE_LOAD(loaded, ui);
    EXPECT_EQ(loaded.TemplateNames, QStringList{QStringLiteral("手工模板")});
}

TEST_F(Editor, TotalTheLibraryWouldDropIsRefused) {
    AppState state;
    add("A", "20000");
    add("B", "20000");
    e.name = QStringLiteral("huge");
    EXPECT_FALSE(CUSTOM_ACCEPT(e, state, ui));
    EXPECT_EQ(ui.lastMessage().text,
              QStringLiteral("模板不能加入模板库：模板的照片总数（40000）不在 1 到 30000 之间"));
    EXPECT_TRUE(state.Templates.empty());
}

} // namespace
} // namespace zanfold
