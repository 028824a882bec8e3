#pragma once

#include "core/records.h"
#include "imaging/regular_file.h"

#include <QByteArray>
#include <QImage>
#include <QSqlError>
#include <QString>

#include <optional>
#include <vector>

namespace zanfold {

// What import computes for one photo file, as the cache keeps it. `orientation` is the EXIF orientation
// the photo is shown in (1 when AutoOrient is off).
struct CachedThumb {
    QByteArray jpeg; // the thumbnail
    int width = 0;   // the photo as shown
    int height = 0;
    int orientation = 1;
    bool damaged = false;
    bool profileUnusable = false;
    bool facesDetected = false; // the faces were looked for when the row was made
    std::vector<FaceBox> faces{};
};

// The faces as the cache keeps them ("x y w h confidence" per face, ";" between faces), and back; nullopt
// for a text that is not such a list.
QString facesText(const std::vector<FaceBox>& faces);
std::optional<std::vector<FaceBox>> parseFacesText(const QString& text);

// One photo for store(): the file, its stamp and what to keep for it.
struct CacheRow {
    QString path;
    FileIdentity stamp; // a row stands for the file while its identity is what it was
    CachedThumb thumb;
};

// The decode settings that shape a thumbnail: a row made under others is a miss.
int cacheMode(bool safe, bool autoOrient, bool manageColour);

// Turns the thumbnail into exactly the one the cache gives back (a JPEG at high quality, decoded again) and
// returns the stored form, so a photo looks the same whether it was decoded or found.
QByteArray settleThumbnail(QImage& thumb);
// The thumbnail kept in `jpeg`, in the format import gives; null when it cannot be read.
QImage cachedImage(const QByteArray& jpeg);

// The thumbnail cache: a SQLite database in the user's cache folder, one row per photo file by absolute
// path. It can never make import worse: a database that fails its checks (not a database, damaged, another
// schema) is moved aside once and a new one started; one that another process holds past the busy timeout
// is left alone and this import goes on without it (a line on standard error, no message box); every
// failure after that just means a miss.
// Used from the user-interface thread only.
class ThumbCache {
public:
    // An empty file name gives a cache that finds nothing and keeps nothing.
    ThumbCache(const QString& file, qint64 limitBytes);
    ~ThumbCache();
    ThumbCache(const ThumbCache&) = delete;
    ThumbCache& operator=(const ThumbCache&) = delete;

    static QString defaultFile();
    bool usable() const { return !connection_.isEmpty(); }

    std::optional<CachedThumb> find(const QString& path, FileIdentity stamp, int mode);
    // Writes the rows (replacing older ones of the same files) and marks `used` as used now, in one
    // transaction; then evicts the least recently used rows past the size limit.
    void store(const std::vector<CacheRow>& rows, int mode, const std::vector<QString>& used = {});
    // The bytes the rows take (their thumbnails and fields), for the size limit.
    qint64 bytes();
    int rows();

private:
    bool open(const QString& file, QSqlError* failure);
    void close();
    void evict();

    QString connection_;
    qint64 limit_ = 0;
    qint64 clock_ = 0; // the newest "used" value: a counter, so order survives clock changes
};

} // namespace zanfold
