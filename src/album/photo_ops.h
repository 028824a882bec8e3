#pragma once

#include "core/app_state.h"
#include "core/ui.h"
#include "core/usage.h"

#include <vector>

namespace zanfold {

// Operations on the selected photo (CurrentPhoto) of the catalogue.

// The uses named by the selected photo's usage text, in text order (complete entries only).
std::vector<UsageEntry> ALBUM_GETUSES(const AppState& state);

// Takes the selected photo out of every position that holds it (found by scanning, so uses beyond a full
// usage text go too). The number of uses it had, minus one.
int PHOTO_NOUSE(AppState& state);

// Removes the selected photo from the catalogue after asking; the file stays. Positions keep their photos.
void PHOTO_DELETE(AppState& state, Ui& ui);

// Opens the selected photo's file in the desktop's viewer.
void PHOTO_VIEW(const AppState& state, Ui& ui);

// Turns the selected photo in memory: quarter turns counter-clockwise (1 left, 2 half, 3 right). It stays in
// its positions: a half turn turns their crops with it, a quarter turn gives them their initial crops; after
// a quarter turn it moves to its new orientation group.
void PHOTO_ROTATE(AppState& state, Ui& ui, int turns);

// Reads the selected photo's file again (it may have been edited). A file that no longer decodes removes
// the photo from the catalogue, with a message.
void PHOTO_SAFELOAD(AppState& state, Ui& ui);

// Selects the first (next = false) or the next photo that no position holds.
void PHOTO_SEARCH(AppState& state, Ui& ui, bool next);

// After Photos was reordered or shortened (index still holding each record's old place): every position
// points at its photo's new place, or is emptied when the photo is gone.
void CLIP_REMAP(AppState& state, Ui& ui);

// Each record's index becomes its place.
void PHOTO_UPINDEX(AppState& state);

int ZF_GETPHOTOTYPE(int width, int height);

} // namespace zanfold
