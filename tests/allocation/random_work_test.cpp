#include "allocation/allocation.h"

#include "album/photo_ops.h"
#include "crop/assignment.h"
#include "crop/canvas.h"
#include "crop/crop_geometry.h"
#include "crop/slots.h"
#include "crop/work_templates.h"
#include "history/undo_redo.h"
#include "support/work_compare.h"
#include "support/work_fixture.h"

#include <gtest/gtest.h>

#include <random>

namespace zanfold {
namespace {

using test::RecordingUi;

// Long random runs of everything a user can do to a work, with undo and redo among them; the work must stay
// consistent after every step, and the history must lead back to where each run began and forward again.
class RandomWork : public ::testing::TestWithParam<unsigned> {};

TEST_P(RandomWork, InvariantsHoldAndTheHistoryRestoresEveryField) {
    std::mt19937 rng(GetParam());
    auto pick = [&](int n) { return n <= 0 ? 0 : static_cast<int>(rng() % static_cast<unsigned>(n)); };
    AppState state;
    RecordingUi ui;
    test::setCanvasArea(state);
    std::vector<QSize> sizes;
    // Slivers have a thumbnail side of one pixel: every crop of them must still keep both sides.
    const QSize kinds[] = {{4000, 3000}, {3000, 4000}, {2000, 2000}, {4000, 3999},
                           {6000, 2000}, {8000, 40},   {40, 8000},   {20000, 30}};
    for (int i = 0, n = 3 + pick(8); i < n; ++i)
        sizes.push_back(kinds[pick(static_cast<int>(std::size(kinds)))]);
    test::setAlbum(state, sizes);
    test::addLibraryTemplate(state, QStringLiteral("Mixed"),
                             {{'A', 3, 1920, 1080, 12}, {'B', 3, 1080, 1920, 3}, {'C', 2, 1000, 1000, 2}});
    test::addLibraryTemplate(state, QStringLiteral("Small"), {{'S', 1, 1080, 1920, 2}});
    test::addLibraryTemplate(state, QStringLiteral("Wide"), {{'W', 2, 3000, 1000, 18}});
    test::addLibraryTemplate(state, QStringLiteral("Tall"), {{'T', 2, 100, 3000, 4}});

    // CheckMove for the whole run: rectangles made without it may be larger than their photo.
    state.settings.CheckMove = GetParam() % 2;
    // Each round stays within the steps the history keeps, so it can be undone to its start.
    for (int round = 0; round < 10; ++round) {
        state.History.reset();
        const WorkSnapshot start = takeSnapshot(state);
        for (int step = 0; step < 150; ++step) {
            Settings& s = state.settings;
            s.LockType = pick(2);
            s.LoopPhoto = pick(2);
            s.FirstPhoto = pick(2);
            s.SurplusPhoto = pick(2);
            const int works = static_cast<int>(state.WorkTemplates.size());
            const int op = pick(21);
            ui.answers = {Answer::Ok, Answer::Ok};
            auto act = [&](const std::function<void()>& action) {
                state.History.record(state, QStringLiteral("step"), action);
            };
            switch (op) {
            case 0:
                if (works < 6) act([&] { test::addToWork(state, ui, pick(4)); });
                break;
            case 1:
                act([&] { CLIP_DELTEMPLATE(state, ui); });
                break;
            case 2:
                if (pick(4) == 0) act([&] { CLIP_CLEARTEMPLATES(state, ui, true); });
                break;
            case 3:
                act([&] { ALLOT_PHOTOS(state, ui, pick(2)); });
                break;
            case 4:
                act([&] { ALLOT_SURPLUS(state, ui, pick(2), true); });
                break;
            case 5:
                act([&] { ALLOT_TYPE(state, ui); });
                break;
            case 6:
                if (works)
                    act([&] { ALLOT_COPY_SPEC(state, ui, state.CurrentWork, state.CurrentSpec, true); });
                break;
            case 7:
                act([&] { ALLOT_COPY_ALL(state, ui); });
                break;
            case 8:
                act([&] {
                    pick(2) ? ALLOT_CLEAR_CURRENT(state, ui, pick(2)) : ALLOT_CLEAR_ALL(state, ui, pick(2));
                });
                break;
            case 9:
                state.CurrentPhoto = pick(static_cast<int>(state.Photos.size()));
                act([&] { CLIP_USEPHOTO(state, ui); });
                break;
            case 10:
                act([&] { CLIP_DELPHOTO(state, ui); });
                break;
            case 11:
                if (works) {
                    const int w = pick(works);
                    const TemplateRecord& t = templateOf(state, w);
                    const int sp = pick(t.pTypeSum);
                    CLIP_SELECT(state, ui, w, sp, pick(t.spec[sp].count));
                }
                break;
            case 12:
                state.History.record(
                    state, QStringLiteral("zoom"), [&] { CLIP_ZOOM(state, ui, pick(2)); },
                    zoomMergeKey(state));
                break;
            case 13:
                // A drag: one step from press to release, however many moves.
                state.History.begin(state, QStringLiteral("drag"));
                state.DragOrigin = {pick(100), pick(100)};
                state.DragStart = {pick(400), pick(400)};
                for (int moves = 1 + pick(3); moves > 0; --moves) {
                    state.DragPoint = {pick(400), pick(400)};
                    CLIP_MOVE(state, ui);
                }
                state.History.commit(state);
                break;
            case 14:
                act([&] { CLIP_SETPOS(state, ui, pick(10)); });
                break;
            case 15:
                CLIP_CLICK(state, ui, pick(900), pick(700));
                break;
            case 16:
                act([&] { CLIP_DROP(state, ui, pick(900), pick(700)); });
                break;
            case 17:
                state.CurrentPhoto = pick(static_cast<int>(state.Photos.size()));
                act([&] { PHOTO_ROTATE(state, ui, 1 + pick(3)); });
                break;
            case 18:
                state.CurrentPhoto = pick(static_cast<int>(state.Photos.size()));
                if (state.Photos.size() > 2 && pick(3) == 0) act([&] { PHOTO_DELETE(state, ui); });
                break;
            case 19:
                UNDO(state, ui);
                break;
            case 20:
                REDO(state, ui);
                break;
            }
            const QString broken = checkInvariants(state);
            ASSERT_EQ(broken, QString()) << "round " << round << " step " << step << " operation " << op;
            // With CheckMove every edited rectangle stays inside its photo and at least one pixel wide.
            const int g = currentSlotIndex(state);
            if (g >= 0 && state.Slots[g].photo >= 0 && s.CheckMove && (op == 12 || op == 13)) {
                const SlotRecord& slot = state.Slots[g];
                const PhotoRecord& p = state.Photos[slot.photo];
                ASSERT_GE(slot.cropWidth, 1);
                ASSERT_GE(slot.cropHeight, 1);
                ASSERT_GE(slot.cropX, 0);
                ASSERT_GE(slot.cropY, 0);
                ASSERT_LE(slot.cropX + slot.cropWidth, p.thumbWidth);
                ASSERT_LE(slot.cropY + slot.cropHeight, p.thumbHeight);
            }
        }
        const WorkSnapshot end = takeSnapshot(state);
        int undone = 0;
        while (state.History.canUndo()) {
            UNDO(state, ui);
            ++undone;
            ASSERT_EQ(checkInvariants(state), QString()) << "round " << round << " undo " << undone;
        }
        ASSERT_EQ(test::workDifference(start, takeSnapshot(state)), QString()) << "round " << round;
        EXPECT_FALSE(state.History.changed());
        for (int k = 0; k < undone; ++k) {
            REDO(state, ui);
            ASSERT_EQ(checkInvariants(state), QString()) << "round " << round << " redo " << k;
        }
        ASSERT_EQ(test::workDifference(end, takeSnapshot(state)), QString()) << "round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomWork, ::testing::Values(1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u));

} // namespace
} // namespace zanfold
