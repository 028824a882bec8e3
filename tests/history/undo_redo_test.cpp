#include "album/photo_ops.h"
#include "allocation/allocation.h"
#include "core/commands.h"
#include "crop/assignment.h"
#include "crop/slots.h"
#include "crop/work_templates.h"
#include "history/history_fixture.h"
#include "history/undo_redo.h"
#include "support/qt_print.h"
#include "support/work_compare.h"

#include <gtest/gtest.h>

namespace zanfold {
namespace {

using test::HistoryTest;

// Each kind of step: undo brings back the work exactly as it was before it, redo exactly as after it, and
// the window shows the position the step changed.
class Steps : public HistoryTest {
protected:
    void SetUp() override {
        HistoryTest::SetUp();
        addTemplate(mixed);
        act(stepName(command::AllocatePhotos), [&] { ALLOT_PHOTOS(state, ui, false); });
    }

    // Undoes the last step and redoes it, checking the work against the snapshots on both sides.
    void expectRoundTrip(const WorkSnapshot& before, const QString& name) {
        const WorkSnapshot after = takeSnapshot(state);
        ASSERT_NE(test::workDifference(before, after), QString()) << "the step changed nothing";
        EXPECT_EQ(undoEntryText(state.History), QStringLiteral("撤销 ") + name);
        UNDO(state, ui);
        EXPECT_EQ(test::workDifference(before, takeSnapshot(state)), QString());
        EXPECT_EQ(redoEntryText(state.History), QStringLiteral("重做 ") + name);
        REDO(state, ui);
        EXPECT_EQ(test::workDifference(after, takeSnapshot(state)), QString());
        UNDO(state, ui);
        EXPECT_EQ(checkInvariants(state), QString());
    }
};

TEST_F(Steps, ADragFromPressToReleaseIsOneStep) {
    const WorkSnapshot before = takeSnapshot(state);
    const int steps = state.History.steps();
    drag(0, 1, 1, {7, 0});
    EXPECT_EQ(state.History.steps(), steps + 1);
    // Undone from elsewhere: the dragged position is selected and scrolled to again.
    CLIP_SELECT(state, ui, 0, 0, 3);
    expectRoundTrip(before, QStringLiteral("移动照片"));
    EXPECT_EQ(state.CurrentSpec, 1);
    EXPECT_EQ(state.CurrentSlot, 1);
    EXPECT_EQ(ui.currentTab[TabStrip::Specs], 1);
    EXPECT_FALSE(state.DragArmed);
}

TEST_F(Steps, WheelZoomsOfOnePositionWithinASecondAreOneStep) {
    CLIP_SELECT(state, ui, 0, 0, 2);
    const WorkSnapshot before = takeSnapshot(state);
    const int steps = state.History.steps();
    for (int k = 0; k < 4; ++k, now += 900)
        zoom(true);
    EXPECT_EQ(state.History.steps(), steps + 1);
    const WorkSnapshot zoomed = takeSnapshot(state);
    now += 1200; // a pause: a new step
    zoom(true);
    CLIP_SELECT(state, ui, 0, 0, 1); // another position: a new step
    zoom(true);
    EXPECT_EQ(state.History.steps(), steps + 3);
    UNDO(state, ui);
    UNDO(state, ui);
    EXPECT_EQ(test::workDifference(zoomed, takeSnapshot(state)), QString());
    EXPECT_EQ(state.CurrentSlot, 2);
    REDO(state, ui);
    UNDO(state, ui);
    expectRoundTrip(before, QStringLiteral("缩放照片"));
}

TEST_F(Steps, AnAllocationOverHandMadeCropsIsTakenBackExactly) {
    drag(0, 0, 0, {0, 5});
    CLIP_SELECT(state, ui, 0, 0, 1);
    zoom(true);
    act(stepName(command::PresetFirst + 9), [&] { CLIP_SETPOS(state, ui, 9); });
    drag(0, 0, 2, {0, -4});
    const WorkSnapshot before = takeSnapshot(state);
    // The key A: the current specification allocated anew, every crop in it reset.
    act(stepName(command::AllocateCurrentSpec), [&] { ALLOT_TYPE(state, ui); });
    expectRoundTrip(before, QStringLiteral("分配当前规格"));
}

TEST_F(Steps, RemovingAWorkingTemplateWithAssignments) {
    addTemplate(small);
    act(stepName(command::AllocatePhotos), [&] { ALLOT_PHOTOS(state, ui, false); });
    drag(1, 0, 2, {3, 0});
    // The first template goes: the second moves down and its photos' usage texts are renumbered.
    CLIP_SELECT(state, ui, 0, 1, 1);
    const WorkSnapshot before = takeSnapshot(state);
    ui.answers = {Answer::Ok};
    act(stepName(command::RemoveCurrentTemplate), [&] { CLIP_DELTEMPLATE(state, ui); });
    ASSERT_EQ(state.WorkTemplates.size(), 1u);
    expectRoundTrip(before, QStringLiteral("删除当前裁图模板"));
    // The window shows both templates again, the removed one selected, and counts its positions.
    EXPECT_EQ(ui.tabs[TabStrip::Works], (QStringList{QStringLiteral("Mixed  "), QStringLiteral("Small  ")}));
    EXPECT_EQ(ui.currentTab[TabStrip::Works], 0);
    EXPECT_EQ(state.CurrentSpec, 1);
    EXPECT_EQ(state.CurrentSlot, 1);
    EXPECT_EQ(ui.status[3], QStringLiteral(" 需要裁图： 9 (横 4 竖 5 方 0)"));
}

TEST_F(Steps, TurningAUsedPhoto) {
    // Photo 0 in two positions, one of them cropped by hand.
    state.CurrentPhoto = 0;
    CLIP_SELECT(state, ui, 0, 0, 3);
    act(stepName(command::UsePhoto), [&] { CLIP_USEPHOTO(state, ui); });
    drag(0, 0, 0, {0, 6});
    ASSERT_EQ(state.Photos[0].useCount, 2);
    state.CurrentPhoto = 0;
    const WorkSnapshot before = takeSnapshot(state);
    // Turned upright it leaves its positions and moves among the portraits.
    act(stepName(command::RotateLeft), [&] { PHOTO_ROTATE(state, ui, 1); });
    ASSERT_NE(state.CurrentPhoto, 0);
    expectRoundTrip(before, QStringLiteral("向左旋转"));
    EXPECT_EQ(state.CurrentPhoto, 0);
    EXPECT_EQ(ui.shownPhoto, 0);
    EXPECT_EQ(ui.status[2], QStringLiteral(" 照片数量： 6 (横 3 竖 2 方 1)"));
}

TEST_F(Steps, DeletingAPhotoFromTheAlbum) {
    state.CurrentPhoto = 1;
    const WorkSnapshot before = takeSnapshot(state);
    ui.answers = {Answer::Ok};
    act(stepName(command::DeletePhoto), [&] { PHOTO_DELETE(state, ui); });
    ASSERT_EQ(state.Photos.size(), 5u);
    expectRoundTrip(before, QStringLiteral("删除照片"));
}

TEST_F(Steps, ClearingTheWorkAndTakingItBack) {
    const WorkSnapshot before = takeSnapshot(state);
    ui.answers = {Answer::Ok};
    act(stepName(command::RemoveAllTemplates), [&] { CLIP_CLEARTEMPLATES(state, ui, false); });
    REDO(state, ui); // nothing to redo: nothing happens
    EXPECT_TRUE(state.WorkTemplates.empty());
    UNDO(state, ui);
    EXPECT_EQ(test::workDifference(before, takeSnapshot(state)), QString());
    // The commands of a work with allocated photos are back.
    for (int id : {command::AllocatePhotos, command::SaveProject, command::RemoveAllTemplates,
                   command::ClearAllAllocation, command::StartCropping})
        EXPECT_TRUE(ui.enabled[id]) << id;
    REDO(state, ui);
    EXPECT_EQ(ui.tabs[TabStrip::Works], QStringList{emptyWorkTab()});
    EXPECT_EQ(ui.tabs[TabStrip::Specs], QStringList{emptySpecTab()});
    for (int id : {command::AllocatePhotos, command::SaveProject, command::ClearAllAllocation})
        EXPECT_FALSE(ui.enabled[id]) << id;
    EXPECT_EQ(state.CurrentWork, -1);
    EXPECT_EQ(ui.status[3], QStringLiteral(" 需要裁图： 0 (横 0 竖 0 方 0)"));
}

TEST_F(Steps, EntriesNameTheStep) {
    AppState empty;
    EXPECT_EQ(undoEntryText(empty.History), QStringLiteral("撤销"));
    EXPECT_EQ(redoEntryText(empty.History), QStringLiteral("重做"));
    EXPECT_EQ(undoEntryText(state.History), QStringLiteral("撤销 分配照片"));
    UNDO(state, ui);
    EXPECT_EQ(undoEntryText(state.History), QStringLiteral("撤销 添加模板"));
    EXPECT_EQ(redoEntryText(state.History), QStringLiteral("重做 分配照片"));
}

} // namespace
} // namespace zanfold
