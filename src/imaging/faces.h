#pragma once

#include "core/records.h"

#include <QImage>
#include <QSize>

#include <vector>

namespace zanfold {

// The long side of the grey picture faces are looked for in. The detector's window is 80 pixels, so at this
// size it finds faces down to about 7 % of the photo's long side: the faces of a group photo.
inline constexpr int kFaceDetectionSide = 1024;

// A decode scale that gives at least this much serves for detection as it is, rather than the next larger
// (and four times as costly) scale.
inline constexpr int kFaceDetectionMinSide = 896;

// The size of the grey picture for a photo of `size`: its long side kFaceDetectionSide, never enlarged.
QSize faceDetectionSize(QSize size);

// The faces in a grey picture (Format_Grayscale8), in its pixels, clearest first. Safe to call from several
// threads at once: each thread keeps its own detector.
std::vector<FaceBox> detectFaces(const QImage& grey);

// The faces in the grey form of a photo, in pixels of the upright photo of `photo`'s size.
std::vector<FaceBox> photoFaces(const QImage& grey, QSize photo);

// Looks for the faces of a photo that was never looked at, decoding its file again (turns taken into
// account); false when the file does not decode.
bool findPhotoFaces(PhotoRecord& photo);

// The faces found in a picture of `from`'s size, in pixels of a picture of `to`'s size.
std::vector<FaceBox> scaleFaces(const std::vector<FaceBox>& faces, QSize from, QSize to);

// The faces of an upright picture of `size` after turning it by quarter turns counter-clockwise.
std::vector<FaceBox> turnFaces(const std::vector<FaceBox>& faces, QSize size, int quarterTurns);

} // namespace zanfold
