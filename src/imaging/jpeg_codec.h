#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>

#include "core/records.h"
#include "imaging/colour.h"

namespace zanfold {

// Receives decoded rows: row y of the (scaled) picture, RGB pixels starting at column x0.
using RowSink = std::function<void(int y, const uchar* rgb, int x0)>;

// libjpeg-turbo behind a small interface. Opening reads the header only (size, EXIF orientation); decode()
// then reads just the rows and columns asked for at a DCT scale of n/8, which skips most of the work for
// thumbnails and crops. Corrupt data gives warnings and still an image; fatal errors give a message, never
// an exit or a crash.
class JpegReader {
public:
    explicit JpegReader(const QString& path);
    ~JpegReader();
    JpegReader(const JpegReader&) = delete;
    JpegReader& operator=(const JpegReader&) = delete;

    bool ok() const;
    // The file starts like a JPEG (whether or not its header then reads).
    bool isJpeg() const;
    // A file that is no JPEG: its whole content, for the other picture decoders (once); empty, with the
    // system's reason in `error`, when it could not be opened or read.
    QByteArray otherPicture(QString* error);
    // The file as it was when opened (invalid when it did not open).
    FileIdentity identity() const;
    QString error() const;
    QSize size() const;      // stored pixel size
    int orientation() const; // EXIF orientation 1..8, 1 when none is recorded
    // The decoder met corrupt data (a truncated file, damaged scans) and filled in what it could not read.
    bool damaged() const;
    // The embedded colour profile could not be used (colourPlan() said so): the pixels stay as they are.
    bool profileRejected() const;
    // The embedded ICC profile, reassembled from its chunks; empty when there is none.
    QByteArray iccProfile() const;
    // The way from the embedded profile to sRGB.
    ColourPlan colourPlan();
    // The photo is stored as CMYK (or YCCK): its rows are converted to RGB while decoding.
    bool cmyk() const;

    // Size of the picture decoded at scale eighths/8 (eighths in 1, 2, 4, 8).
    QSize scaledSize(int eighths) const;
    // Decodes the rectangle (in scaled pixels) and hands its rows to the sink in order. `fast` trades a
    // little chroma smoothness for speed; `rows` converts every decoded row (CMYK photos with a profile).
    // One decode per reader.
    bool decode(int eighths, const QRect& region, const RowSink& sink, bool fast,
                const ColourTransform* rows = nullptr);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// The picture as JPEG bytes (RGB, 4:2:0, quality 1..100); empty with a message on failure.
QByteArray encodeJpeg(const QImage& image, int quality, QString* error = nullptr);

} // namespace zanfold
