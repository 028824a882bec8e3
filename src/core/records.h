#pragma once

#include <QImage>
#include <QRectF>
#include <QString>

#include <array>
#include <vector>

namespace zanfold {

// Byte capacities of the fixed text fields (GB18030 bytes, terminator included).
inline constexpr int kFileNameCapacity = 100;
inline constexpr int kUsageCapacity = 100;
inline constexpr int kPathCapacity = 260;
inline constexpr int kTypeCapacity = 6;
inline constexpr int kTemplateNameCapacity = 60;
inline constexpr int kSlotNameCapacity = 10;
inline constexpr int kMaxSpecs = 9;

// What the file system says of a file. When any of it changed, the file may hold another picture, even
// where a copy kept its size and its modification time (`touch -d`): the change time moves with every
// write and every change of the other two. Times in nanoseconds.
struct FileIdentity {
    qint64 size = -1;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;
    bool valid() const { return size >= 0; }
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// Where a photo's pixels come from: its file, the EXIF orientation applied on decoding (1 = as stored) and
// the quarter turns the user applied since. Full pixels are decoded from this only when a crop is rendered.
struct ImageSource {
    QString file;
    int orientation = 1;
    int quarterTurns = 0; // counter-clockwise quarter turns, 0..3
    // The file as it was when the record was made from it; a crop refuses a file that is no longer that
    // one. Not known (invalid): not checked.
    FileIdentity identity = {};
};

// A face found in a photo: its box in pixels of the upright photo (EXIF orientation and turns applied) and
// the detector's confidence (0 at its own threshold, higher for clearer faces).
struct FaceBox {
    QRectF rect;
    float confidence = 0;
    friend bool operator==(const FaceBox&, const FaceBox&) = default;
};

struct PhotoRecord {
    int index = 0;
    bool hasImage = false; // the file decoded at import
    ImageSource image;
    QImage thumb;
    int width = 0;
    int height = 0;
    int thumbWidth = 0;
    int thumbHeight = 0;
    int stripWidth = 0;
    int stripHeight = 0;
    QString fileName;
    int useCount = 0;
    QString usage;
    int orient = 0;
    bool damaged = false;         // the file holds corrupt data: its thumbnail and crops are partly filled in
    bool profileUnusable = false; // its embedded colour profile could not be used: shown and cut as stored
    bool facesDetected = false;   // `faces` holds what detection found (maybe none); false: never looked
    std::vector<FaceBox> faces;
};

struct SpecRecord {
    char prefix = 0;
    int flength = 0;
    int width = 0;
    int height = 0;
    int count = 0;
};

struct TemplateRecord {
    int pTypeSum = 0;
    std::array<SpecRecord, kMaxSpecs + 1> spec{};
    int count = 0;
    QString path;
    QString type;
};

struct WorkTemplate {
    int template_ = -1; // index into Templates ("template" is a C++ keyword)
    int firstSlot = 0;
};

struct SlotRecord {
    QImage mask;
    int photo = -1;
    int cropX = 0;
    int cropY = 0;
    int cropWidth = 0;
    int cropHeight = 0;
    int srcX = 0;
    int srcY = 0;
    int srcWidth = 0;
    int srcHeight = 0;
    int outWidth = 0;
    int outHeight = 0;
    QString name;
    QString outFolder;
    // The user put its photo here or changed its crop since allocation last filled it: an allocation that
    // would replace it asks first.
    bool handSet = false;
};

} // namespace zanfold
