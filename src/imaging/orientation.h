#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

namespace zanfold {

// How a stored picture becomes upright: upright pixel (u, v) is stored pixel (x, y) with
// (a, b) = swap ? (v, u) : (u, v), x = flipX ? W - 1 - a : a, y = flipY ? H - 1 - b : b, W x H the stored
// size. The eight values are the eight EXIF orientations.
struct Orient {
    bool swap = false;
    bool flipX = false;
    bool flipY = false;
    bool isIdentity() const { return !swap && !flipX && !flipY; }
    friend bool operator==(const Orient&, const Orient&) = default;
};

// The EXIF orientation (1..8; anything else counts as 1) followed by counter-clockwise quarter turns.
Orient orientFor(int exifOrientation, int quarterTurnsCcw);

QSize uprightSize(QSize stored, Orient orient);

// The stored rectangle whose pixels become the upright rectangle.
QRect toStored(const QRect& upright, QSize stored, Orient orient);

// The upright picture of a stored one.
QImage applyOrient(const QImage& stored, Orient orient);

// Counter-clockwise quarter turns of a picture (negative turns go clockwise).
QImage rotateQuarters(const QImage& image, int quarterTurnsCcw);

} // namespace zanfold
