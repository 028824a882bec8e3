#include "allocation/allocation.h"
#include "core/commands.h"
#include "crop/assignment.h"
#include "crop/work_templates.h"
#include "history/history_fixture.h"
#include "support/qt_print.h"
#include "support/work_compare.h"

#include <gtest/gtest.h>

namespace zanfold {
namespace {

using test::HistoryTest;

class History : public HistoryTest {
protected:
    void SetUp() override {
        HistoryTest::SetUp();
        addTemplate(mixed);
        act(stepName(command::AllocatePhotos), [&] { ALLOT_PHOTOS(state, ui, false); });
        state.History.reset(); // the work as opened
    }
};

TEST_F(History, KeepsTheLastStepsBeyondTwoHundred) {
    const WorkSnapshot start = takeSnapshot(state);
    for (int k = 0; k < 300; ++k)
        drag(0, 0, k % 3, {0, k % 2 ? 1 : -1});
    EXPECT_GE(state.History.steps(), 200);
    EXPECT_EQ(state.History.steps(), WorkHistory::kLimit);
    int undone = 0;
    while (state.History.canUndo()) {
        UNDO(state, ui);
        ++undone;
    }
    EXPECT_EQ(undone, WorkHistory::kLimit);
    // The oldest steps are gone: the start itself is out of reach, and the work still counts as changed.
    EXPECT_NE(test::workDifference(start, takeSnapshot(state)), QString());
    EXPECT_TRUE(state.History.changed());
}

TEST_F(History, ChangedFollowsTheSavedPoint) {
    EXPECT_FALSE(state.History.changed());
    drag(0, 0, 0, {0, 3});
    EXPECT_TRUE(state.History.changed());
    UNDO(state, ui);
    EXPECT_FALSE(state.History.changed()); // back where it was opened
    REDO(state, ui);
    state.History.markSaved();
    EXPECT_FALSE(state.History.changed());
    UNDO(state, ui);
    EXPECT_TRUE(state.History.changed());
    // A new step where the saved point was redoable: the saved work can no longer be reached.
    drag(0, 0, 1, {0, 3});
    UNDO(state, ui);
    EXPECT_TRUE(state.History.changed());
    state.History.reset();
    EXPECT_FALSE(state.History.changed());
    EXPECT_FALSE(state.History.canUndo());
}

TEST_F(History, ActionsThatChangeNothingAreNoSteps) {
    act(QStringLiteral("select"), [&] { CLIP_SELECT(state, ui, 0, 1, 1); });
    act(QStringLiteral("click"), [&] { CLIP_CLICK(state, ui, 50, 50); });
    state.History.begin(state, dragStepName()); // a press without a move
    state.History.commit(state);
    EXPECT_EQ(state.History.steps(), 0);
    EXPECT_FALSE(state.History.changed());
}

TEST_F(History, ACommandDuringADragIsAStepOfItsOwn) {
    const WorkSnapshot start = takeSnapshot(state);
    CLIP_SELECT(state, ui, 0, 0, 0);
    state.History.begin(state, dragStepName());
    state.DragOrigin = {state.Slots[0].cropX, state.Slots[0].cropY};
    state.DragStart = {50, 50};
    state.DragPoint = {50, 45};
    CLIP_MOVE(state, ui);
    // A key pressed with the button held.
    act(stepName(command::PresetFirst + 8), [&] { CLIP_SETPOS(state, ui, 8); });
    state.DragPoint = {50, 40};
    CLIP_MOVE(state, ui);
    state.History.commit(state);
    EXPECT_EQ(state.History.steps(), 3);
    while (state.History.canUndo())
        UNDO(state, ui);
    EXPECT_EQ(test::workDifference(start, takeSnapshot(state)), QString());
}

TEST_F(History, StepsFollowTheLibraryWhenATemplateLeavesIt) {
    const int third = test::addLibraryTemplate(state, QStringLiteral("Third"), {{'T', 2, 1000, 1000, 2}});
    addTemplate(third);
    ui.answers = {Answer::Ok};
    act(stepName(command::RemoveCurrentTemplate), [&] { CLIP_DELTEMPLATE(state, ui); });
    // Library entry "Small" (not in the work) is deleted: "Third" moves down from 2 to 1.
    state.Templates.erase(state.Templates.begin() + small);
    state.TemplateNames.removeAt(small);
    state.History.templateRemoved(small);
    UNDO(state, ui);
    ASSERT_EQ(state.WorkTemplates.size(), 2u);
    EXPECT_EQ(state.TemplateNames.value(state.WorkTemplates[1].template_), QStringLiteral("Third"));
    EXPECT_EQ(checkInvariants(state), QString());

    // "Third" itself can go once the work no longer holds it; the steps that could bring it back are
    // dropped, and the work still counts as changed.
    REDO(state, ui);
    ASSERT_EQ(state.WorkTemplates.size(), 1u);
    state.Templates.erase(state.Templates.begin() + 1);
    state.TemplateNames.removeAt(1);
    state.History.templateRemoved(1);
    EXPECT_FALSE(state.History.canUndo());
    EXPECT_FALSE(state.History.canRedo());
    EXPECT_TRUE(state.History.changed());
}

TEST_F(History, AStepThatNoLongerFitsTheWorkIsDroppedNotApplied) {
    addTemplate(small);
    // Something outside the history shortened the work (which must never happen): undo refuses.
    state.Slots.resize(2);
    EXPECT_FALSE(state.History.undo(state).has_value());
    EXPECT_FALSE(state.History.canUndo());
    EXPECT_EQ(state.Slots.size(), 2u);
    EXPECT_TRUE(state.History.changed());
}

TEST_F(History, TheListenerHearsEveryChange) {
    int heard = 0;
    state.History.setListener([&] { ++heard; });
    drag(0, 0, 0, {0, 2});
    UNDO(state, ui);
    REDO(state, ui);
    state.History.markSaved();
    state.History.reset();
    EXPECT_EQ(heard, 5);
    state.History.setListener({});
}

} // namespace
} // namespace zanfold
