#pragma once

#include "core/records.h"

#include <QImage>
#include <QRect>
#include <QRgb>
#include <QSize>
#include <QString>

namespace zanfold {

enum class PictureKind { None, Jpeg, Other };

// What a file holds, read from its header only (never its pixels), recognised by content, not by name.
struct PictureInfo {
    PictureKind kind = PictureKind::None;
    QSize size;          // stored pixel size
    int orientation = 1; // EXIF orientation 1..8 (JPEG only)
    QString error;
    bool ok() const { return kind != PictureKind::None; }
};

PictureInfo probe(const QString& path);

// Why a crop refused its photo: the file is no longer the one its record was made from.
QString photoChangedText();

// A decoded picture, or the reason there is none.
struct Rendered {
    QImage image; // RGB888
    QString error;
    // Decoded from corrupt data (parts of the picture are filled in).
    bool damaged = false;
    // When asked for: the whole upright picture in grey at faceDetectionSize(), from the same decode.
    QImage grey = QImage();
    // The embedded colour profile could not be used: the pixels are as stored.
    bool profileUnusable = false;
    bool ok() const { return !image.isNull(); }
};

enum class ThumbMode {
    Fast, // decode at the smallest DCT scale that still covers the size, then average
    Safe, // decode every pixel, then average
};

// The whole upright picture (source orientation and quarter turns applied) at exactly width x height.
// With `manageColour` the embedded colour profile's colours become sRGB. With `grey` the result carries the
// picture faces are looked for in too; the decode then runs at the scale that one needs.
Rendered thumbnail(const ImageSource& source, int width, int height, ThumbMode mode, bool manageColour = true,
                   bool grey = false);

// The rectangle `rect` of the upright picture (full-size pixels; it may reach outside the picture, which
// shows as backColor there) at exactly outWidth x outHeight. Only the rows and columns the rectangle needs
// are decoded, at the smallest DCT scale that keeps at least the output's resolution.
Rendered renderCrop(const ImageSource& source, const QRect& rect, int outWidth, int outHeight, QRgb backColor,
                    bool manageColour = true);

// A mask picture (PNG) scaled smoothly to the display size; a null image when it cannot be read.
QImage loadMask(const QString& path, QSize displaySize);

} // namespace zanfold
