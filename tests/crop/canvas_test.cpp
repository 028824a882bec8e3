#include "crop/canvas.h"
#include "crop/crop_geometry.h"

#include "core/commands.h"
#include "crop/assignment.h"
#include "crop/slots.h"
#include "crop/work_templates.h"
#include "support/qt_print.h"
#include "support/work_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zanfold {
namespace {

using test::RecordingUi;

class Canvas : public ::testing::Test {
protected:
    AppState state;
    RecordingUi ui;

    // Two templates: 12 landscape + 3 portrait positions, then 4 square ones.
    void SetUp() override {
        test::setAlbum(state, {{4000, 3000}, {4000, 3000}, {3000, 4000}, {2000, 2000}, {4000, 3000}});
        test::setCanvasArea(state);
        const int a = test::addLibraryTemplate(state, QStringLiteral("A"),
                                               {{'A', 3, 1920, 1080, 12}, {'B', 3, 1080, 1920, 3}});
        const int b = test::addLibraryTemplate(state, QStringLiteral("B"), {{'C', 2, 1000, 1000, 4}});
        test::addToWork(state, ui, a);
        test::addToWork(state, ui, b);
    }
    void check() { EXPECT_EQ(checkInvariants(state), QString()); }
};

TEST_F(Canvas, HitTestFollowsTheGrid) {
    state.CellColumns = 3;
    state.FirstRow = 0;
    const std::pair<QPoint, int> cases[] = {
        {{225, 15}, 1}, {{215, 15}, -1}, {{205, 15}, 0},  {{15, 435}, 6}, {{15, 425}, -1},
        {{5, 50}, -1},  {{631, 15}, -1}, {{630, 15}, -1}, {{629, 15}, 2}, {{15, 5}, -1}};
    for (const auto& [point, expected] : cases)
        EXPECT_EQ(CLIP_HITTEST(state, point.x(), point.y()), expected) << point.x() << "," << point.y();
    state.FirstRow = 2;
    EXPECT_EQ(CLIP_HITTEST(state, 15, 15), 6);
    EXPECT_EQ(state.CellLeft, 10);
    EXPECT_EQ(state.FrameTop, 54);
    state.FirstRow = 3; // positions 9 .. 11 only on the first row
    EXPECT_EQ(CLIP_HITTEST(state, 435, 15), 11);
    EXPECT_EQ(CLIP_HITTEST(state, 15, 225), -1);
}

TEST_F(Canvas, FrameCornersRoundHalvesToEven) {
    EXPECT_EQ(cellCorner(state, 0), QPoint(10, 10));
    EXPECT_EQ(frameCorner(state, 0), QPoint(10, 54)); // 200 x 112: 44 above
    state.FrameWidth = 113;
    state.FrameHeight = 200;
    EXPECT_EQ(frameCorner(state, 0), QPoint(54, 10)); // 43.5 gives 44
    state.CellColumns = 3;
    EXPECT_EQ(cellCorner(state, 4), QPoint(220, 220));
}

TEST_F(Canvas, ClickSelectsAndArmsDragInsideTheFrame) {
    assignPhoto(state, 0, 0, 0, 1, 200, 112);
    EXPECT_EQ(CLIP_CLICK(state, ui, 300, 100), 1); // cell 1, inside its frame
    EXPECT_EQ(state.CurrentSlot, 1);
    EXPECT_TRUE(state.DragArmed);
    EXPECT_EQ(state.DragOrigin, QPoint(0, 19));
    EXPECT_TRUE(ui.enabled[command::RemovePhoto]);
    EXPECT_TRUE(ui.enabled[command::CropOne]);

    EXPECT_EQ(CLIP_CLICK(state, ui, 300, 20), 1); // same cell, above its frame: selected, not armed
    EXPECT_FALSE(state.DragArmed);

    EXPECT_EQ(CLIP_CLICK(state, ui, 100, 100), 1); // empty position
    EXPECT_EQ(state.CurrentSlot, 0);
    EXPECT_FALSE(state.DragArmed);
    EXPECT_FALSE(ui.enabled[command::RemovePhoto]);
    EXPECT_FALSE(ui.enabled[command::PresetFirst + 7]);

    EXPECT_EQ(CLIP_CLICK(state, ui, 5, 5), 0);
    EXPECT_EQ(state.CurrentSlot, 0);
}

// Each edit asks for the cells it changes, never for the whole canvas.
TEST_F(Canvas, EditsRedrawOnlyTheirCells) {
    assignPhoto(state, 0, 0, 0, 1, 200, 112);
    state.CurrentSlot = 0;
    auto fresh = [&] {
        ui.redraws.clear();
        ui.cellRedraws.clear();
    };
    fresh();
    CLIP_CLICK(state, ui, 300, 100); // from position 0 to 1: the old outline, then the new one
    EXPECT_EQ(ui.cellRedraws, (std::vector<int>{0, 1}));
    EXPECT_TRUE(ui.redraws.empty());
    fresh();
    CLIP_CLICK(state, ui, 300, 100); // the selected cell again
    EXPECT_TRUE(ui.cellRedraws.empty());
    EXPECT_TRUE(ui.redraws.empty());
    fresh();
    state.DragPoint = state.DragStart + QPoint(5, 3);
    CLIP_MOVE(state, ui);
    CLIP_ZOOM(state, ui, true);
    CLIP_SETPOS(state, ui, 7);
    CLIP_DELPHOTO(state, ui);
    EXPECT_EQ(std::count(ui.redraws.begin(), ui.redraws.end(), View::Canvas), 0);
    EXPECT_EQ(std::count(ui.redraws.begin(), ui.redraws.end(), View::SelectedCell), 4);
    // A cell scrolled out of view is not drawn when its outline goes.
    state.FirstRow = 2;
    fresh();
    CLIP_CANCEL(state, ui, 1);
    EXPECT_TRUE(ui.cellRedraws.empty());
}

// A resize that keeps the specification and its grid keeps the arming and the scroll row; a new grid
// starts at row 0 with nothing armed.
TEST_F(Canvas, ResizeKeepsArmingAndRowWhileTheGridStays) {
    assignPhoto(state, 0, 0, 0, 1, 200, 112);
    CLIP_CLICK(state, ui, 300, 100);
    ASSERT_TRUE(state.DragArmed);
    state.FirstRow = 1;
    state.CanvasHeight += 5;
    CLIP_CHANGESPEC(state, ui, state.CurrentSpec, 0);
    EXPECT_TRUE(state.DragArmed);
    EXPECT_EQ(state.FirstRow, 1);
    EXPECT_EQ(state.CurrentSlot, 1);
    state.RightPaneWidth = 500; // two columns instead of four
    CLIP_CHANGESPEC(state, ui, state.CurrentSpec, 0);
    EXPECT_FALSE(state.DragArmed);
    EXPECT_EQ(state.FirstRow, 0);
    EXPECT_EQ(ui.canvasScroll, 0);
}

TEST_F(Canvas, UsingAPhotoReplacesTheOldOne) {
    assignPhoto(state, 1, 0, 0, 2, 1920, 1080);
    state.CurrentSlot = 2;
    state.CurrentPhoto = 4; // the square photo
    CLIP_USEPHOTO(state, ui);
    EXPECT_EQ(state.Slots[2].photo, 4);
    EXPECT_EQ(state.Photos[1].useCount, 0);
    EXPECT_EQ(state.Photos[4].useCount, 1);
    EXPECT_EQ(state.Photos[4].usage, QStringLiteral("0:0:2|"));
    // The full-frame crop of the square 200 x 200 thumbnail, centred: the old photo's place (y 19 in its
    // 200 x 150 thumbnail) does not carry over.
    const SlotRecord& s = state.Slots[2];
    EXPECT_EQ(QRect(s.cropX, s.cropY, s.cropWidth, s.cropHeight), QRect(0, 44, 200, 112));
    EXPECT_TRUE(ui.enabled[command::StartCropping]);
    check();

    CLIP_USEPHOTO(state, ui); // the same photo again: a fresh assignment
    EXPECT_EQ(state.Photos[4].useCount, 1);
    check();

    CLIP_DROP(state, ui, 645, 100); // the fourth cell: position 3
    EXPECT_EQ(state.Slots[3].photo, 4);
    EXPECT_EQ(state.Photos[4].useCount, 2);
    check();

    CLIP_DELPHOTO(state, ui);
    EXPECT_EQ(state.Slots[3].photo, -1);
    EXPECT_EQ(state.Photos[4].useCount, 1);
    CLIP_DELPHOTO(state, ui); // empty already: nothing
    EXPECT_EQ(state.Photos[4].useCount, 1);
    check();
}

TEST_F(Canvas, FindShowsThePhotoInTheStrip) {
    assignPhoto(state, 4, 0, 0, 0, 1920, 1080);
    state.CurrentSlot = 0;
    CLIP_FINDPHOTO(state, ui);
    EXPECT_EQ(state.CurrentPhoto, 4);
    EXPECT_EQ(ui.shownPhoto, 4);
}

TEST_F(Canvas, SelectShowsTheUseAnywhere) {
    CLIP_SELECT(state, ui, 0, 1, 2); // another specification of the current template
    EXPECT_EQ(state.CurrentSpec, 1);
    EXPECT_EQ(state.CurrentSlot, 2);
    EXPECT_EQ(ui.currentTab[TabStrip::Specs], 1);
    CLIP_SELECT(state, ui, 1, 0, 3); // the other template
    EXPECT_EQ(state.CurrentWork, 1);
    EXPECT_EQ(state.CurrentSpec, 0);
    EXPECT_EQ(state.CurrentSlot, 3);
    EXPECT_EQ(ui.currentTab[TabStrip::Works], 1);
    CLIP_SELECT(state, ui, 0, 0, 11); // row 2 of 3 rows, 2 wholly visible: scrolled to the last first row
    EXPECT_EQ(state.CurrentWork, 0);
    EXPECT_EQ(state.FirstRow, 1);
    EXPECT_EQ(ui.canvasScroll, 1);
}

TEST_F(Canvas, StatusCountsThePositions) {
    CLIP_STATUS(state, ui);
    EXPECT_EQ(ui.status[3], QStringLiteral(" 需要裁图： 19 (横 12 竖 3 方 4)"));
}

} // namespace
} // namespace zanfold
