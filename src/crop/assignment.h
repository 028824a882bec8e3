#pragma once

#include "core/app_state.h"
#include "core/ui.h"
#include "core/usage.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace zanfold {

// The two steps every change of a position goes through, so use counts and usage texts never drift.

// Puts photo p into position (w, s, n) with the initial crop for the aspect size aw x ah.
void assignPhoto(AppState& state, int p, int w, int s, int n, int aw, int ah);

// Takes the photo out of position (w, s, n); the crop stays as it was.
void releaseSlot(AppState& state, int w, int s, int n);

// Every position that holds photo p, found by scanning the positions (the usage text may be full).
std::vector<UsageEntry> positionsOf(const AppState& state, int p);

// Rewrites photo p's usage: its entries that still name a position holding it, each mapped through `remap`
// first (nullopt drops it), then the positions it holds that the text did not name, cut to the field.
void refreshUsage(AppState& state, int p,
                  const std::function<std::optional<UsageEntry>(const UsageEntry&)>& remap = {});

// Enables or greys the commands that need an allocation: allocate remaining, copy, clear, start cropping.
void setAllocationCommands(Ui& ui, bool enable);

// The first broken rule of the work, or an empty text: use counts match the positions, usage texts name
// exactly those positions as far as 99 bytes reach, photo indices are valid, and the work templates cover
// consecutive ranges of Slots.
QString checkInvariants(const AppState& state);

} // namespace zanfold
