#pragma once

#include "core/app_state.h"
#include "core/commands.h"
#include "crop/canvas.h"
#include "crop/crop_geometry.h"
#include "crop/slots.h"
#include "history/undo_redo.h"
#include "support/recording_ui.h"
#include "support/work_fixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace zanfold::test {

// An album of six photos (three landscape, two portrait, one square), a library of two templates and a
// clock the test moves by hand.
class HistoryTest : public ::testing::Test {
protected:
    AppState state;
    RecordingUi ui;
    long long now = 0;
    int mixed = -1;
    int small = -1;

    void SetUp() override {
        setCanvasArea(state);
        setAlbum(state, {{4000, 3000}, {4000, 3000}, {4000, 3000}, {3000, 4000}, {3000, 4000}, {2000, 2000}});
        mixed = addLibraryTemplate(state, QStringLiteral("Mixed"),
                                   {{'A', 3, 1920, 1080, 4}, {'B', 3, 1080, 1920, 2}});
        small = addLibraryTemplate(state, QStringLiteral("Small"), {{'S', 1, 1080, 1920, 3}});
        state.History.setClock([this] { return now; });
    }

    // A user action as the window records it.
    void act(const QString& name, const std::function<void()>& action) {
        state.History.record(state, name, action);
    }

    void addTemplate(int t) {
        act(stepName(command::ChooseTemplates), [&] { addToWork(state, ui, t); });
    }

    // A hand-made crop: the photo of position (w, s, n) dragged by `by` thumbnail pixels, as one step.
    void drag(int w, int s, int n, QPoint by) {
        CLIP_SELECT(state, ui, w, s, n);
        const SlotRecord& slot = state.Slots[currentSlotIndex(state)];
        state.History.begin(state, dragStepName());
        state.DragOrigin = {slot.cropX, slot.cropY};
        state.DragStart = {100, 100};
        // Several moves, as the mouse reports them; the crop follows the pointer the other way.
        for (int k = 1; k <= 3; ++k) {
            state.DragPoint = state.DragStart - by * k / 3;
            CLIP_MOVE(state, ui);
        }
        state.History.commit(state);
    }

    void zoom(bool shrink) {
        state.History.record(
            state, zoomStepName(), [&] { CLIP_ZOOM(state, ui, shrink); }, zoomMergeKey(state));
    }
};

} // namespace zanfold::test
