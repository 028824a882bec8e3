#pragma once

#include "core/app_state.h"
#include "core/ui.h"

namespace zanfold {

// A crop rectangle in thumbnail pixels of the assigned photo.
struct CropRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const CropRect&, const CropRect&) = default;
};

// The largest rectangle of ratio aw : ah inside a pw x ph thumbnail, its spare room divided by ClipLeft and
// ClipTop (0 .. 50; 25 centres it). The ratio is single precision, as stored rectangles were made with it.
CropRect CLIP_INIT(const Settings& settings, int aw, int ah, int pw, int ph);
// Where CLIP_INIT puts a rectangle of width x height: its spare room divided by ClipLeft and ClipTop.
QPoint initialPlace(const Settings& settings, int width, int height, int pw, int ph);

// Places the selected position's rectangle: preset 0 is the initial rectangle, 1 .. 9 keep the size and move
// it as the numeric keypad shows (7 top left .. 3 bottom right).
void CLIP_SETPOS(AppState& state, Ui& ui, int preset);

// One wheel step: shrink makes the rectangle smaller (the photo larger), about its centre. A step that would
// leave a side under one thumbnail pixel is refused.
void CLIP_ZOOM(AppState& state, Ui& ui, bool shrink);

// Follows the mouse from DragStart to DragPoint: the photo moves with the pointer.
void CLIP_MOVE(AppState& state, Ui& ui);

// The limits of CheckMove on the selected position: no larger than the specification or the thumbnail,
// and inside the thumbnail.
void CLIP_CHECKSIZE(AppState& state);
void CLIP_CHECKPOS(AppState& state);

// A position's crop in pixels of the full upright photo, as the output reads it.
QRect sourceRect(const PhotoRecord& photo, const SlotRecord& slot);

// How much the output enlarges the photo: its size over the crop's size in photo pixels (the larger of the
// two sides). Above kEnlargementWarning the output looks soft, and the user is told.
double enlargementFactor(const QRect& source, QSize out);
inline constexpr double kEnlargementWarning = 1.25;

// The crop reaches outside its photo, so the output shows the background there.
bool showsBackground(const PhotoRecord& photo, const QRect& source);

} // namespace zanfold
