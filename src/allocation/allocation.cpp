#include "allocation/allocation.h"

#include "core/geometry.h"
#include "crop/assignment.h"
#include "crop/slots.h"

#include <algorithm>
#include <numeric>

namespace zanfold {

namespace {

int workCount(const AppState& state) {
    return static_cast<int>(state.WorkTemplates.size());
}
int photoCount(const AppState& state) {
    return static_cast<int>(state.Photos.size());
}

void redrawAll(Ui& ui) {
    ui.redraw(View::Canvas);
    ui.redraw(View::Strip);
}

// First photo of orientation group o: import keeps Photos sorted by orientation.
int groupStart(const AppState& state, int o) {
    int start = 0;
    for (int k = 0; k < o; ++k)
        start += state.AlbumOrientCount[k];
    return start;
}

QSize displaySize(const SpecRecord& spec) {
    int w = spec.width, h = spec.height;
    ZF_GETZOOM(200, 200, w, h);
    return {w, h};
}

// Fills work template w in photo order from photo p on (shared by the two orders).
void fillInOrder(AppState& state, int w, int& p) {
    const TemplateRecord& t = templateOf(state, w);
    for (int s = 0; s < t.pTypeSum; ++s) {
        const SpecRecord& spec = t.spec[s];
        for (int n = 0; n < spec.count; ++n) {
            if (p == photoCount(state)) {
                if (!state.settings.LoopPhoto) break;
                p = 0;
            }
            assignPhoto(state, p, w, s, n, spec.width, spec.height);
            ++p;
        }
    }
}

// Fills specification s of w from the orientation group [start, start + size), from photo p on; `taken`
// counts the photos used since the group last started. When the group runs out it starts over with
// LoopPhoto; without it the specification stops, and `restartAfterStop` tells whether the next specification
// of this orientation starts at the group's first photo again or finds the group used up.
void fillFromGroup(AppState& state, int w, int s, int start, int size, int& p, int& taken,
                   bool restartAfterStop) {
    const SpecRecord& spec = specOf(state, w, s);
    const QSize aspect = displaySize(spec);
    for (int n = 0; n < spec.count; ++n) {
        if (taken == size) {
            if (!state.settings.LoopPhoto && !restartAfterStop) break;
            taken = 0;
            p = start;
            if (!state.settings.LoopPhoto) break;
        }
        assignPhoto(state, p, w, s, n, aspect.width(), aspect.height());
        ++p;
        ++taken;
    }
}

// Before an allocation fills positions [first, end) anew: when the user set some of them by hand, asks
// whether to go on (Cancel the default). True when the allocation may go on.
bool mayReplaceHandSet(AppState& state, Ui& ui, int first, int end) {
    const int handSet = static_cast<int>(std::count_if(state.Slots.begin() + first, state.Slots.begin() + end,
                                                       [](const SlotRecord& s) { return s.handSet; }));
    return handSet == 0 || confirm(ui, handSetQuestion(handSet), Answer::Cancel);
}

} // namespace

QString handSetQuestion(int positions) {
    return QStringLiteral("将替换 %1 个手工调整过的位置，是否继续？").arg(positions);
}

void ALLOT_MENU(Ui& ui, bool enable) {
    setAllocationCommands(ui, enable);
}

void ALLOT_PHOTOS(AppState& state, Ui& ui, bool currentOnly) {
    if (state.Photos.empty() || state.WorkTemplates.empty()) return;
    if (currentOnly) {
        if (state.CurrentWork < 0) return;
        const int first = state.WorkTemplates[state.CurrentWork].firstSlot;
        if (!mayReplaceHandSet(state, ui, first, first + templateOf(state, state.CurrentWork).count)) return;
    } else if (!mayReplaceHandSet(state, ui, 0, static_cast<int>(state.Slots.size()))) {
        return;
    }
    if (state.settings.LockType == 0)
        currentOnly ? ALLOT_BYORDER_CURRENT(state, ui) : ALLOT_BYORDER(state, ui);
    else
        currentOnly ? ALLOT_BYTYPE_CURRENT(state, ui) : ALLOT_BYTYPE(state, ui);
}

void ALLOT_BYORDER(AppState& state, Ui& ui) {
    if (state.Photos.empty() || state.WorkTemplates.empty()) return;
    ALLOT_CLEAR_ALL(state, ui, true);
    int p = 0;
    for (int w = 0; w < workCount(state); ++w) {
        if (state.settings.FirstPhoto) p = 0;
        fillInOrder(state, w, p);
    }
    redrawAll(ui);
    ALLOT_MENU(ui, true);
}

void ALLOT_BYORDER_CURRENT(AppState& state, Ui& ui) {
    if (state.Photos.empty() || state.WorkTemplates.empty() || state.CurrentWork < 0) return;
    ALLOT_CLEAR_CURRENT(state, ui, true);
    int p = 0;
    fillInOrder(state, state.CurrentWork, p);
    redrawAll(ui);
    ALLOT_MENU(ui, true);
}

void ALLOT_BYTYPE(AppState& state, Ui& ui) {
    if (state.Photos.empty() || state.WorkTemplates.empty()) return;
    ALLOT_CLEAR_ALL(state, ui, true);
    for (int o = kLandscape; o <= kSquare; ++o) {
        const int size = state.AlbumOrientCount[o];
        if (size <= 0) continue;
        const int start = groupStart(state, o);
        int p = start, taken = 0;
        for (int w = 0; w < workCount(state); ++w) {
            if (state.settings.FirstPhoto) {
                p = start;
                taken = 0;
            }
            const TemplateRecord& t = templateOf(state, w);
            for (int s = 0; s < t.pTypeSum; ++s) {
                if (PHOTO_GETTYPE(t.spec[s].width, t.spec[s].height) == o)
                    fillFromGroup(state, w, s, start, size, p, taken, true);
            }
        }
    }
    if (state.settings.SurplusPhoto) ALLOT_SURPLUS(state, ui, false, false);
    redrawAll(ui);
    ALLOT_MENU(ui, true);
}

void ALLOT_BYTYPE_CURRENT(AppState& state, Ui& ui) {
    if (state.Photos.empty() || state.WorkTemplates.empty() || state.CurrentWork < 0) return;
    ALLOT_CLEAR_CURRENT(state, ui, true);
    const int w = state.CurrentWork;
    const TemplateRecord& t = templateOf(state, w);
    for (int o = kLandscape; o <= kSquare; ++o) {
        const int size = state.AlbumOrientCount[o];
        if (size <= 0) continue;
        const int start = groupStart(state, o);
        int p = start, taken = 0;
        for (int s = 0; s < t.pTypeSum; ++s) {
            if (PHOTO_GETTYPE(t.spec[s].width, t.spec[s].height) == o)
                fillFromGroup(state, w, s, start, size, p, taken, false);
        }
    }
    if (state.settings.SurplusPhoto) ALLOT_SURPLUS(state, ui, true, false);
    redrawAll(ui);
    ALLOT_MENU(ui, true);
}

void ALLOT_SURPLUS_TEMPLATE(AppState& state, int w, const std::vector<int>& freePhotos, int& pos) {
    const TemplateRecord& t = templateOf(state, w);
    for (int s = 0; s < t.pTypeSum; ++s) {
        const SpecRecord& spec = t.spec[s];
        for (int n = 0; n < spec.count; ++n) {
            if (state.Slots[CLIP_GETSLOT(state, w, s, n)].photo >= 0) continue;
            if (pos == static_cast<int>(freePhotos.size())) return;
            assignPhoto(state, freePhotos[pos], w, s, n, spec.width, spec.height);
            ++pos;
        }
    }
}

void ALLOT_SURPLUS(AppState& state, Ui& ui, bool currentOnly, bool refresh) {
    std::vector<int> freePhotos;
    for (int p = 0; p < photoCount(state); ++p) {
        if (state.Photos[p].useCount == 0) freePhotos.push_back(p);
    }
    if (freePhotos.empty() || state.WorkTemplates.empty()) return;
    int pos = 0;
    if (currentOnly) {
        if (state.CurrentWork >= 0) ALLOT_SURPLUS_TEMPLATE(state, state.CurrentWork, freePhotos, pos);
    } else {
        for (int w = 0; w < workCount(state); ++w)
            ALLOT_SURPLUS_TEMPLATE(state, w, freePhotos, pos);
    }
    if (refresh) {
        redrawAll(ui);
        ALLOT_MENU(ui, true);
    }
}

void ALLOT_TYPE(AppState& state, Ui& ui) {
    if (state.WorkTemplates.empty() || state.CurrentSpec < 0 || state.CurrentWork < 0) return;
    const int first = CLIP_GETSLOT(state, state.CurrentWork, state.CurrentSpec, 0);
    const int filled = std::min(currentSpecRecord(state).count, photoCount(state));
    if (!mayReplaceHandSet(state, ui, first, first + filled)) return;
    std::vector<int> order(state.Photos.size());
    std::iota(order.begin(), order.end(), 0);
    // Least used first; equal counts keep photo order. The counts are those before this run.
    std::vector<int> uses(state.Photos.size());
    for (size_t p = 0; p < uses.size(); ++p)
        uses[p] = state.Photos[p].useCount;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return uses[a] < uses[b]; });
    const SpecRecord& spec = currentSpecRecord(state);
    for (int n = 0; n < spec.count && n < photoCount(state); ++n) {
        releaseSlot(state, state.CurrentWork, state.CurrentSpec, n);
        assignPhoto(state, order[n], state.CurrentWork, state.CurrentSpec, n, spec.width, spec.height);
    }
    redrawAll(ui);
    ALLOT_MENU(ui, true);
}

void ALLOT_COPY_SPEC(AppState& state, Ui& ui, int w, int s, bool refresh) {
    if (w < 0 || s < 0 || w >= workCount(state)) return;
    const SpecRecord& spec = specOf(state, w, s);
    std::vector<int> filled, empty;
    for (int n = 0; n < spec.count; ++n)
        (state.Slots[CLIP_GETSLOT(state, w, s, n)].photo >= 0 ? filled : empty).push_back(n);
    if (filled.empty() || empty.empty()) return;
    size_t j = 0;
    for (int e : empty) {
        const SlotRecord from = state.Slots[CLIP_GETSLOT(state, w, s, filled[j])];
        SlotRecord& to = state.Slots[CLIP_GETSLOT(state, w, s, e)];
        to.photo = from.photo;
        to.cropX = from.cropX;
        to.cropY = from.cropY;
        to.cropWidth = from.cropWidth;
        to.cropHeight = from.cropHeight;
        PhotoRecord& photo = state.Photos[from.photo];
        ++photo.useCount;
        appendUsage(photo.usage, {w, s, e});
        j = (j + 1) % filled.size();
    }
    if (refresh) redrawAll(ui);
}

void ALLOT_COPY_ALL(AppState& state, Ui& ui) {
    for (int w = 0; w < workCount(state); ++w) {
        for (int s = 0; s < templateOf(state, w).pTypeSum; ++s)
            ALLOT_COPY_SPEC(state, ui, w, s, false);
    }
    redrawAll(ui);
}

void ALLOT_CLEAR_CURRENT(AppState& state, Ui& ui, bool quiet) {
    if (state.WorkTemplates.empty() || state.CurrentWork < 0) return;
    const TemplateRecord& t = templateOf(state, state.CurrentWork);
    for (int s = 0; s < t.pTypeSum; ++s) {
        for (int n = 0; n < t.spec[s].count; ++n)
            releaseSlot(state, state.CurrentWork, s, n);
    }
    state.CurrentSlot = -1;
    if (!quiet) {
        redrawAll(ui);
        if (workCount(state) == 1) ALLOT_MENU(ui, false);
    }
}

void ALLOT_CLEAR_ALL(AppState& state, Ui& ui, bool quiet) {
    for (SlotRecord& slot : state.Slots)
        slot.photo = -1;
    for (PhotoRecord& photo : state.Photos) {
        photo.useCount = 0;
        photo.usage.clear();
    }
    state.CurrentSlot = -1;
    if (!quiet) redrawAll(ui);
    ALLOT_MENU(ui, false);
}

} // namespace zanfold
