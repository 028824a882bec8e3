#pragma once

#include "core/app_state.h"
#include "core/ui.h"
#include "crop/crop_geometry.h"

#include <QPoint>
#include <QRectF>
#include <QSize>

#include <vector>

namespace zanfold {

// The part of a picture a crop must hold to keep a face whole: the face with a quarter of its width beside
// it, nearly half its height above it for the hair and a third below for the chin, as far as the picture
// reaches. (The detector's box runs from the brows to the mouth.)
QRectF faceRoom(const QRectF& face, QSize picture);

// Where a crop of `crop` size goes in a picture of `picture` size (both in one unit, the crop never resized):
// of the places that keep every face's room, the one nearest `preferred`; when none keeps them all, a place
// that keeps the most faces and as much of the others as it can; with no faces, `preferred` itself.
QPoint faceAwarePosition(QSize crop, QSize picture, QPoint preferred, const std::vector<QRectF>& faces);

// The initial crop of a position of ratio aw : ah holding `photo`: CLIP_INIT's rectangle, moved to keep the
// photo's faces whole when FaceCrop is on.
CropRect initialCrop(const Settings& settings, int aw, int ah, const PhotoRecord& photo);

// 对准人脸: the selected position's crop, its size kept, moves to keep the faces of its photo whole, whatever
// FaceCrop says. The faces are looked for now when import did not; a message says when there are none.
void CLIP_FACEPOS(AppState& state, Ui& ui);

// With FaceCrop on, the photos whose faces were never looked for (the setting was off at import) are looked
// at now on all cores, with a progress bar the user may cancel.
void findMissingFaces(AppState& state, Ui& ui);

} // namespace zanfold
