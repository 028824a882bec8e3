#pragma once

#include "core/app_state.h"
#include "core/ui.h"

#include <QPoint>

namespace zanfold {

// The crop canvas as a grid of 200 x 200 cells, 210 pixels apart, showing the positions of the current
// specification from row FirstRow on. The widget paints from these functions; the operations change the
// work and tell the window what to draw again.

inline constexpr int kCellSize = 200;
inline constexpr int kCellPitch = 210;

// Top-left corner of visible cell i (0 = first cell of row FirstRow).
QPoint cellCorner(const AppState& state, int i);
// Top-left corner of the frame (FrameWidth x FrameHeight) centred in visible cell i.
QPoint frameCorner(const AppState& state, int i);

// Where the marker of a too-much-enlarged position goes: inside the top right corner of frame `frame`.
QRect enlargedMarker(const QRect& frame);

// The output of position n of the shown specification enlarges its photo beyond kEnlargementWarning.
bool enlargedTooMuch(const AppState& state, int n);
// What the marker means, shown when the pointer rests on it.
QString enlargedMarkerText();

// Enables the position commands (the presets, 查找照片, 删除照片, 单张裁图) when the selected position holds
// a photo and greys them otherwise; they start greyed, before any position is selected.
void showPositionCommands(const AppState& state, Ui& ui);

// Position number under the canvas point, or -1; remembers that cell's corners (CellLeft .. FrameTop).
int CLIP_HITTEST(AppState& state, int x, int y);

// Selects the cell under the point and arms dragging when the press is inside a photo's frame.
// 1 when a cell is selected afterwards.
int CLIP_CLICK(AppState& state, Ui& ui, int x, int y);

// Takes the selection frame off position n (-1: none). 1 when there was one.
int CLIP_CANCEL(AppState& state, Ui& ui, int n);

// Right button: selects under the point; true when the position menu is to be shown.
bool CLIP_POPUP(AppState& state, Ui& ui, int x, int y);

// Shows work template w, specification s, with position n selected and scrolled into view.
void CLIP_SELECT(AppState& state, Ui& ui, int w, int s, int n);

// A strip photo dropped on the canvas: the position under the point gets the current photo.
void CLIP_DROP(AppState& state, Ui& ui, int x, int y);

// Puts the strip's current photo into the selected position with a fresh crop.
void CLIP_USEPHOTO(AppState& state, Ui& ui);

// Takes the photo out of the selected position.
void CLIP_DELPHOTO(AppState& state, Ui& ui);

// Shows the selected position's photo in the strip.
void CLIP_FINDPHOTO(AppState& state, Ui& ui);

// " 需要裁图： 15 (横 12 竖 3 方 0)" in status part 3.
void CLIP_STATUS(const AppState& state, Ui& ui);

} // namespace zanfold
