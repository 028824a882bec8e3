#pragma once

#include "core/app_state.h"

namespace zanfold {

// Addressing of positions: work template w, its specification s, position n within the specification.

const TemplateRecord& templateOf(const AppState& state, int w);
const SpecRecord& specOf(const AppState& state, int w, int s);

// Offset of specification s's first position from the first position of work template w.
int GETTEMPLATESLOTS(const AppState& state, int w, int s);

// Global index in Slots of position n of specification s of work template w (no range check).
int CLIP_GETSLOT(const AppState& state, int w, int s, int n);

// The global index of the selected position on the canvas, or -1 when none is selected.
int currentSlotIndex(const AppState& state);

// "template：position", how messages name position g of work template w.
QString positionLabel(const AppState& state, int w, int g);

// The specification the canvas shows.
const SpecRecord& currentSpecRecord(const AppState& state);

} // namespace zanfold
