#include "crop/work_templates.h"

#include "core/commands.h"
#include "crop/assignment.h"
#include "crop/slots.h"
#include "support/qt_print.h"
#include "support/temp_dir.h"
#include "support/work_fixture.h"

#include <QImage>

#include <gtest/gtest.h>

#include <utility>

namespace zanfold {
namespace {

using test::RecordingUi;
using test::TempDir;

class Work : public ::testing::Test {
protected:
    AppState state;
    RecordingUi ui;
    int wedding = -1;

    void SetUp() override {
        test::setAlbum(state, {{4000, 3000}, {4000, 3000}, {3000, 4000}});
        test::setCanvasArea(state);
        wedding = test::addLibraryTemplate(state, QStringLiteral("Wedding"),
                                           {{'A', 3, 1920, 1080, 12}, {'B', 3, 1080, 1920, 3}});
    }
    QStringList names(int from, int to) const {
        QStringList out;
        for (int g = from; g < to; ++g)
            out << state.Slots[g].name;
        return out;
    }
};

TEST_F(Work, AddingCreatesNamedPositionsAndCounts) {
    test::addToWork(state, ui, wedding);
    ASSERT_EQ(state.Slots.size(), 15u);
    EXPECT_EQ(state.Slots[0].name, QStringLiteral("A001"));
    EXPECT_EQ(state.Slots[11].name, QStringLiteral("A012"));
    EXPECT_EQ(state.Slots[12].name, QStringLiteral("B001"));
    EXPECT_EQ(state.Slots[14].name, QStringLiteral("B003"));
    for (const SlotRecord& s : state.Slots)
        EXPECT_EQ(s.photo, -1);
    EXPECT_EQ(state.WorkTemplates[0].firstSlot, 0);
    EXPECT_EQ(state.WorkOrientCount, (std::array<int, 3>{12, 3, 0}));
    EXPECT_EQ(state.CurrentWork, 0);
    EXPECT_EQ(state.CurrentSpec, 0);
    EXPECT_EQ(state.CurrentSlot, 0);
    EXPECT_EQ(state.FrameWidth, 200);
    EXPECT_EQ(state.FrameHeight, 112);
    EXPECT_EQ(ui.tabs[TabStrip::Works], QStringList{QStringLiteral("Wedding  ")});
    EXPECT_EQ(ui.tabs[TabStrip::Specs],
              (QStringList{QStringLiteral(" 1920×1080 (12)  "), QStringLiteral(" 1080×1920 (3)  ")}));
    EXPECT_TRUE(ui.enabled[command::AllocatePhotos]);
    EXPECT_TRUE(ui.enabled[command::SaveProject]);
    EXPECT_EQ(ui.status[3], QStringLiteral(" 需要裁图： 15 (横 12 竖 3 方 0)"));
    EXPECT_EQ(ui.progressCalls.back(), (std::pair<int, int>{15, 15}));
    EXPECT_EQ(checkInvariants(state), QString());

    test::addToWork(state, ui, wedding);
    ASSERT_EQ(state.Slots.size(), 30u);
    EXPECT_EQ(state.WorkTemplates[1].firstSlot, 15);
    EXPECT_EQ(state.Slots[15].name, QStringLiteral("A001"));
    EXPECT_EQ(state.CurrentWork, 0);
    EXPECT_EQ(ui.tabs[TabStrip::Works],
              (QStringList{QStringLiteral("Wedding  "), QStringLiteral("Wedding  ")}));
    EXPECT_EQ(state.WorkOrientCount, (std::array<int, 3>{24, 6, 0}));
    EXPECT_EQ(CLIP_GETSLOT(state, 1, 1, 2), 29);
}

TEST_F(Work, NamesGrowPastTheNamingLength) {
    const int t = test::addLibraryTemplate(state, QStringLiteral("Many"),
                                           {{'A', 2, 1000, 1000, 120}, {'Z', 9, 1000, 1000, 1}});
    test::addToWork(state, ui, t);
    EXPECT_EQ(state.Slots[0].name, QStringLiteral("A01"));
    EXPECT_EQ(state.Slots[98].name, QStringLiteral("A99"));
    EXPECT_EQ(state.Slots[99].name, QStringLiteral("A100"));
    EXPECT_EQ(state.Slots[119].name, QStringLiteral("A120"));
    EXPECT_EQ(state.Slots[120].name, QStringLiteral("Z000000001")); // ten characters, kept whole
}

TEST_F(Work, MasksOnlyWherePngsExist) {
    TempDir dir;
    QImage mask(960, 540, QImage::Format_ARGB32);
    mask.fill(qRgba(0, 0, 0, 100));
    dir.write(QStringLiteral("tpl/照片/A001.jpg"), "x");
    dir.write(QStringLiteral("tpl/蒙版/notes.txt"), "");
    ASSERT_TRUE(mask.save(dir.file(QStringLiteral("tpl/蒙版/A003.png"))));
    const int t = test::addLibraryTemplate(state, QStringLiteral("Masked"), {{'A', 3, 1920, 1080, 4}},
                                           dir.file(QStringLiteral("tpl/")));
    test::addToWork(state, ui, t);
    for (int g = 0; g < 4; ++g)
        EXPECT_EQ(state.Slots[g].mask.isNull(), g != 2) << g;
    EXPECT_EQ(state.Slots[2].mask.size(), QSize(200, 112));

    // A template without a folder has no masks.
    test::addToWork(state, ui, wedding);
    EXPECT_TRUE(state.Slots[4].mask.isNull());
}

TEST_F(Work, CanvasGridAndScrollBar) {
    test::addToWork(state, ui, wedding);
    ASSERT_FALSE(ui.placements.empty());
    const CanvasPlacement& p = ui.placements.back();
    EXPECT_TRUE(p.scrollBar);
    EXPECT_EQ(p.canvas, QRect(246, 63, 883, 500));
    EXPECT_EQ(p.scrollRect, QRect(246 + 883, 63, 17, 500));
    EXPECT_EQ(p.scrollMaximum, 2);
    EXPECT_EQ(p.scrollPage, 2);
    EXPECT_EQ(state.CellColumns, 4);
    EXPECT_EQ(state.VisibleRows, 3);
    EXPECT_EQ(state.VisibleCells, 12);

    // The portrait specification fits without scrolling.
    state.CellColumns = 0;
    CLIP_CHANGESPEC(state, ui, 1, 0);
    EXPECT_FALSE(ui.placements.back().scrollBar);
    EXPECT_EQ(ui.placements.back().canvas.width(), 900);
    EXPECT_EQ(state.FrameWidth, 112);
    EXPECT_EQ(state.CurrentSpec, 1);

    // A resize that keeps the grid changes nothing else.
    state.CurrentSlot = 2;
    state.RightPaneWidth = 910;
    CLIP_CHANGESPEC(state, ui, 1, 0);
    EXPECT_EQ(state.CurrentSlot, 2);
}

TEST_F(Work, RemovingTheFirstOfTwoRenumbers) {
    const int square = test::addLibraryTemplate(state, QStringLiteral("Square"), {{'C', 3, 1000, 1000, 2}});
    test::addToWork(state, ui, wedding);
    test::addToWork(state, ui, square);
    assignPhoto(state, 0, 0, 0, 0, 1920, 1080);
    assignPhoto(state, 0, 1, 0, 1, 1000, 1000);
    assignPhoto(state, 1, 1, 0, 0, 1000, 1000);
    EXPECT_EQ(state.Photos[0].usage, QStringLiteral("0:0:0|1:0:1|"));
    EXPECT_TRUE(ui.answers.empty()); // OK to the question
    CLIP_DELTEMPLATE(state, ui);
    EXPECT_EQ(ui.messages.back().text, QStringLiteral("确信要删除当前模板吗？"));
    ASSERT_EQ(state.WorkTemplates.size(), 1u);
    EXPECT_EQ(state.WorkTemplates[0].firstSlot, 0);
    EXPECT_EQ(state.Slots.size(), 2u);
    EXPECT_EQ(state.WorkOrientCount, (std::array<int, 3>{0, 0, 2}));
    EXPECT_EQ(state.CurrentWork, 0);
    EXPECT_EQ(state.Photos[0].useCount, 1);
    EXPECT_EQ(state.Photos[0].usage, QStringLiteral("0:0:1|"));
    EXPECT_EQ(state.Photos[1].usage, QStringLiteral("0:0:0|"));
    EXPECT_EQ(ui.tabs[TabStrip::Works], QStringList{QStringLiteral("Square  ")});
    EXPECT_EQ(checkInvariants(state), QString());
}

TEST_F(Work, RemovingTheOnlyTemplateAsksTwice) {
    test::addToWork(state, ui, wedding);
    ui.answers = {Answer::Ok, Answer::Cancel};
    CLIP_DELTEMPLATE(state, ui);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("确信要删除当前模板吗？"));
    EXPECT_EQ(ui.messages[1].text, QStringLiteral("确信要删除所有模板吗？"));
    EXPECT_EQ(ui.messages[1].buttons, Buttons::OkCancel);
    // Both questions destroy work: Return must not confirm them.
    EXPECT_EQ(ui.messages[0].byDefault, Answer::Cancel);
    EXPECT_EQ(ui.messages[1].byDefault, Answer::Cancel);
    EXPECT_EQ(state.WorkTemplates.size(), 1u);

    ui.answers = {Answer::Ok, Answer::Ok};
    assignPhoto(state, 2, 0, 1, 0, 1080, 1920);
    CLIP_DELTEMPLATE(state, ui);
    EXPECT_TRUE(state.WorkTemplates.empty());
    EXPECT_TRUE(state.Slots.empty());
    EXPECT_EQ(state.CurrentWork, -1);
    EXPECT_EQ(state.Photos[2].useCount, 0);
    EXPECT_TRUE(state.Photos[2].usage.isEmpty());
    EXPECT_EQ(ui.tabs[TabStrip::Works], QStringList{QStringLiteral("<没有选择模板>  ")});
    EXPECT_EQ(ui.tabs[TabStrip::Specs], QStringList{QStringLiteral("**********")});
    EXPECT_FALSE(ui.enabled[command::AllocatePhotos]);
    EXPECT_FALSE(ui.enabled[command::StartCropping]);
    EXPECT_EQ(ui.status[3], QStringLiteral(" 需要裁图： 0 (横 0 竖 0 方 0)"));
}

TEST_F(Work, ChooseTemplateNeedsAnAlbum) {
    int choice = wedding;
    ui.onTemplateWindow = [&] {
        EXPECT_EQ(state.TemplateSelectMode, 1);
        EXPECT_EQ(state.CurrentTemplate, -1);
        state.CurrentTemplate = std::exchange(choice, -1);
    };
    ADDCLIPTEMPLATE(state, ui);
    EXPECT_EQ(state.WorkTemplates.size(), 1u);
    EXPECT_EQ(state.TemplateSelectMode, 0);
    ADDCLIPTEMPLATE(state, ui); // the window was closed without a choice
    EXPECT_EQ(state.WorkTemplates.size(), 1u);
    EXPECT_EQ(ui.templateWindows, 2);

    state.Photos.clear();
    ADDCLIPTEMPLATE(state, ui);
    EXPECT_EQ(ui.templateWindows, 2); // the window never opened
}

TEST_F(Work, ReloadedWorkGetsOneSpaceTabs) {
    test::addToWork(state, ui, wedding);
    test::addToWork(state, ui, wedding);
    state.CurrentWork = 1;
    CLIP_LOADTEMPLATES(state, ui);
    EXPECT_EQ(ui.tabs[TabStrip::Works],
              (QStringList{QStringLiteral("Wedding "), QStringLiteral("Wedding ")}));
    EXPECT_EQ(state.CurrentWork, 0);
    EXPECT_EQ(state.WorkOrientCount, (std::array<int, 3>{24, 6, 0}));
}

} // namespace
} // namespace zanfold
