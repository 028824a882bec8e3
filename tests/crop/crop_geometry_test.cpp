#include "crop/crop_geometry.h"

#include "crop/assignment.h"
#include "crop/slots.h"
#include "support/work_fixture.h"

#include <gtest/gtest.h>

namespace zanfold {
namespace {

using test::RecordingUi;

struct InitCase {
    int aw, ah, pw, ph, clipLeft, clipTop;
    CropRect expected;
    friend void PrintTo(const InitCase& c, std::ostream* os) {
        *os << c.aw << "x" << c.ah << " in " << c.pw << "x" << c.ph << " left " << c.clipLeft << " top "
            << c.clipTop;
    }
};

class ClipInitTest : public ::testing::TestWithParam<InitCase> {};

TEST_P(ClipInitTest, LargestRectangleOfTheRatio) {
    const InitCase c = GetParam();
    Settings s;
    s.ClipLeft = c.clipLeft;
    s.ClipTop = c.clipTop;
    EXPECT_EQ(CLIP_INIT(s, c.aw, c.ah, c.pw, c.ph), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClipInitTest,
    ::testing::Values(InitCase{1920, 1080, 200, 150, 25, 25, {0, 19, 200, 112}}, // 112.4999 in float
                      InitCase{1080, 1920, 200, 150, 25, 25, {58, 0, 84, 150}},
                      InitCase{1000, 1000, 150, 200, 25, 25, {0, 25, 150, 150}},
                      InitCase{1920, 1080, 200, 150, 25, 0, {0, 0, 200, 112}},
                      InitCase{1920, 1080, 200, 150, 25, 50, {0, 38, 200, 112}},
                      InitCase{1080, 1920, 200, 150, 0, 25, {0, 0, 84, 150}},
                      InitCase{1080, 1920, 200, 150, 50, 25, {116, 0, 84, 150}},
                      InitCase{200, 112, 200, 150, 25, 25, {0, 19, 200, 112}},
                      // Slivers: the other side would round to nothing.
                      InitCase{1000, 3000, 200, 1, 25, 25, {100, 0, 1, 1}},
                      InitCase{3000, 1000, 1, 200, 25, 25, {0, 100, 1, 1}}));

// One work: a 16:9 specification and a 200 x 150 thumbnail in its first position, selected.
class Edit : public ::testing::Test {
protected:
    AppState state;
    RecordingUi ui;

    void SetUp() override {
        test::setAlbum(state, {{4000, 3000}});
        test::setCanvasArea(state);
        const int t = test::addLibraryTemplate(state, QStringLiteral("T"), {{'A', 3, 1920, 1080, 2}});
        test::addToWork(state, ui, t);
        state.CurrentSlot = 0;
        state.CurrentPhoto = 0;
        assignPhoto(state, 0, 0, 0, 0, 1920, 1080);
    }
    SlotRecord& slot() { return state.Slots[0]; }
    CropRect crop() { return {slot().cropX, slot().cropY, slot().cropWidth, slot().cropHeight}; }
    void setCrop(CropRect c) {
        slot().cropX = c.x;
        slot().cropY = c.y;
        slot().cropWidth = c.width;
        slot().cropHeight = c.height;
    }
};

TEST_F(Edit, PresetsFollowTheKeypad) {
    setCrop({5, 5, 120, 68});
    const std::pair<int, QPoint> cases[] = {{7, {0, 0}},  {8, {40, 0}},  {9, {80, 0}},
                                            {4, {0, 41}}, {5, {40, 41}}, {6, {80, 41}},
                                            {1, {0, 82}}, {2, {40, 82}}, {3, {80, 82}}};
    for (const auto& [preset, corner] : cases) {
        CLIP_SETPOS(state, ui, preset);
        EXPECT_EQ(QPoint(slot().cropX, slot().cropY), corner) << "preset " << preset;
        EXPECT_EQ(slot().cropWidth, 120);
    }
    setCrop({0, 0, 119, 68}); // spare 81: nearest(40.5) is 40
    CLIP_SETPOS(state, ui, 8);
    EXPECT_EQ(slot().cropX, 40);
    CLIP_SETPOS(state, ui, 0);
    EXPECT_EQ(crop(), (CropRect{0, 19, 200, 112}));
    EXPECT_EQ(ui.redraws.back(), View::SelectedCell);
}

TEST_F(Edit, ZoomKeepsTheCentreAndTheLimits) {
    CLIP_ZOOM(state, ui, false); // out: 122 high, 217 wide, cut to the thumbnail
    EXPECT_EQ(crop(), (CropRect{0, 19, 200, 112}));
    CLIP_ZOOM(state, ui, true); // in: 102 high, 181 wide
    EXPECT_EQ(crop(), (CropRect{10, 24, 181, 102}));

    state.settings.CheckMove = 0;
    setCrop({0, 19, 200, 112});
    CLIP_ZOOM(state, ui, false);
    EXPECT_EQ(crop(), (CropRect{-8, 14, 217, 122})); // -8.5 goes to the even -8
}

TEST_F(Edit, ZoomNeverGoesBelowOnePixel) {
    state.settings.ZoomSpeed = 30;
    for (int i = 0; i < 10; ++i)
        CLIP_ZOOM(state, ui, true);
    EXPECT_GE(slot().cropHeight, 1);
    EXPECT_GE(slot().cropWidth, 1);
    EXPECT_EQ(slot().cropHeight, 22); // 112 - 3 x 30; a fourth step would reach -8
}

// A photo of 20000 x 30 has a thumbnail one pixel high; zooming out in a tall specification used to cut the
// width to 0, and the batch then wrote a blank file.
TEST(Sliver, EveryEditKeepsBothSides) {
    AppState state;
    RecordingUi ui;
    test::setAlbum(state, {{20000, 30}});
    test::setCanvasArea(state);
    test::addToWork(state, ui,
                    test::addLibraryTemplate(state, QStringLiteral("T"), {{'A', 3, 1000, 3000, 1}}));
    state.CurrentSlot = 0;
    assignPhoto(state, 0, 0, 0, 0, 1000, 3000);
    const SlotRecord& slot = state.Slots[0];
    EXPECT_EQ(QSize(slot.cropWidth, slot.cropHeight), QSize(1, 1));
    for (bool shrink : {false, false, true, false, true, true}) {
        CLIP_ZOOM(state, ui, shrink);
        EXPECT_GE(slot.cropWidth, 1);
        EXPECT_GE(slot.cropHeight, 1);
    }
    for (int preset = 0; preset <= 9; ++preset) {
        CLIP_SETPOS(state, ui, preset);
        EXPECT_GE(slot.cropWidth, 1) << preset;
        EXPECT_GE(slot.cropHeight, 1) << preset;
    }
    EXPECT_EQ(checkInvariants(state), QString());
}

TEST_F(Edit, MoveFollowsThePointer) {
    setCrop({0, 19, 120, 68});
    state.DragOrigin = {10, 10};
    state.DragStart = {100, 100};
    state.DragPoint = {70, 100}; // 30 to the left: the rectangle moves right
    CLIP_MOVE(state, ui);
    EXPECT_EQ(QPoint(slot().cropX, slot().cropY), QPoint(40, 10));
    state.DragPoint = {0, 100}; // 100 to the left: stops at 200 - 120
    CLIP_MOVE(state, ui);
    EXPECT_EQ(slot().cropX, 80);
    state.DragOrigin = {50, 10};
    state.DragPoint = {130, 100}; // 30 to the right
    CLIP_MOVE(state, ui);
    EXPECT_EQ(slot().cropX, 20);
    state.DragPoint = {180, 100}; // 80 to the right: stops at the edge
    CLIP_MOVE(state, ui);
    EXPECT_EQ(slot().cropX, 0);
    state.settings.CheckMove = 0;
    CLIP_MOVE(state, ui);
    EXPECT_EQ(slot().cropX, -30);
    state.DragPoint = {100, 90};
    CLIP_MOVE(state, ui);
    EXPECT_EQ(QPoint(slot().cropX, slot().cropY), QPoint(50, 20));
}

TEST_F(Edit, NothingWithoutAPhoto) {
    state.CurrentSlot = 1;
    // A crop left behind by a photo that was taken out: zoom, preset and move must all leave it alone.
    SlotRecord& empty = state.Slots[1];
    empty.cropX = 10;
    empty.cropY = 5;
    empty.cropWidth = 100;
    empty.cropHeight = 56;
    state.DragArmed = true;
    state.DragStart = QPoint(50, 50);
    state.DragPoint = QPoint(70, 80);
    CLIP_ZOOM(state, ui, true);
    CLIP_SETPOS(state, ui, 9);
    CLIP_MOVE(state, ui);
    EXPECT_EQ(QRect(empty.cropX, empty.cropY, empty.cropWidth, empty.cropHeight), QRect(10, 5, 100, 56));
    EXPECT_TRUE(ui.redraws.empty() || ui.redraws.back() != View::SelectedCell);
}

} // namespace
} // namespace zanfold
