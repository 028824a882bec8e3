#pragma once

#include "imaging/file_utils.h"

#include <QImage>
#include <QString>

namespace zanfold {

// Status numbers of the save helpers.
inline constexpr int kSaveOk = 0;
inline constexpr int kSaveInvalidParameter = 2; // no image, no file name or no encoder
inline constexpr int kSaveWriteFailed = 7;      // the file could not be written: see the reason

inline constexpr int kDefaultJpegQuality = 90;

// The encoder for a MIME type: "image/jpeg" or "image/png" when the text is part of one (any letter
// case), else empty.
QString GDIPLUSGETENCODER(const QString& mimeType);

// Saves the image with the encoder of the MIME type, atomically. `reason` (optional) receives the system's
// reason when writing failed.
int GDIPLUSSAVEIMAGE(const QImage& image, const QString& fileName, const QString& mimeType,
                     int quality = kDefaultJpegQuality, FileError* reason = nullptr);

int GDIPLUSSAVEJPEG(const QImage& image, const QString& fileName, int quality = kDefaultJpegQuality,
                    FileError* reason = nullptr);

} // namespace zanfold
