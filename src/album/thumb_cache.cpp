#include "album/thumb_cache.h"

#include "imaging/jpeg_codec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>

#include <atomic>
#include <cmath>
#include <cstdio>

namespace zanfold {

namespace {

constexpr int kThumbQuality = 92;
// Rows hold a few numbers and a path beside the thumbnail.
constexpr qint64 kRowOverhead = 200;

void note(const QString& text) {
    std::fprintf(stderr, "zanfold: %s\n", qPrintable(text));
}

// Why the last statement failed, in words: SQLite's own text, or its code when it gave none.
QString reason(const QSqlError& error) {
    QString text = error.databaseText().trimmed();
    if (text.isEmpty()) text = error.driverText().trimmed();
    if (!error.nativeErrorCode().isEmpty())
        text += QStringLiteral("（SQLite %1）").arg(error.nativeErrorCode());
    return text.isEmpty() ? QStringLiteral("未知原因") : text;
}

// Another process holds the database (a write under way, a long clean-up): it is not damaged.
bool busy(const QSqlError& error) {
    bool number = false;
    const int code = error.nativeErrorCode().toInt(&number);
    // SQLITE_BUSY and SQLITE_LOCKED, with or without their extended codes.
    return number && ((code & 0xFF) == 5 || (code & 0xFF) == 6);
}

QString uniqueConnection() {
    static std::atomic<int> next{0};
    return QStringLiteral("zanfold-thumbs-%1").arg(next++);
}

} // namespace

QString facesText(const std::vector<FaceBox>& faces) {
    QStringList parts;
    for (const FaceBox& f : faces) {
        const QRectF& r = f.rect;
        // Every digit, so a found row gives exactly the faces a decode gave.
        QStringList v;
        for (double n : {r.x(), r.y(), r.width(), r.height(), static_cast<double>(f.confidence)})
            v << QString::number(n, 'g', 17);
        parts << v.join(QLatin1Char(' '));
    }
    // Not a null string: the cache tells "none found" (empty) from "not looked" (NULL).
    return parts.isEmpty() ? QStringLiteral("") : parts.join(QLatin1Char(';'));
}

std::optional<std::vector<FaceBox>> parseFacesText(const QString& text) {
    std::vector<FaceBox> faces;
    for (const QString& part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList v = part.split(QLatin1Char(' '));
        if (v.size() != 5) return std::nullopt;
        double n[5];
        for (int i = 0; i < 5; ++i) {
            bool ok = false;
            n[i] = v[i].toDouble(&ok);
            if (!ok || !std::isfinite(n[i])) return std::nullopt;
        }
        if (n[2] <= 0 || n[3] <= 0) return std::nullopt;
        faces.push_back({QRectF(n[0], n[1], n[2], n[3]), static_cast<float>(n[4])});
    }
    return faces;
}

int cacheMode(bool safe, bool autoOrient, bool manageColour) {
    // Thumbnails cached before colours were managed carry no colour bit, so they are not taken for
    // converted ones.
    return (safe ? 1 : 0) | (autoOrient ? 2 : 0) | (manageColour ? 4 : 0);
}

QByteArray settleThumbnail(QImage& thumb) {
    const QByteArray jpeg = encodeJpeg(thumb, kThumbQuality);
    const QImage back = cachedImage(jpeg);
    if (!back.isNull()) thumb = back;
    return jpeg;
}

QImage cachedImage(const QByteArray& jpeg) {
    // The format decoding gives a thumbnail, so a found one is the same image in every respect.
    return QImage::fromData(jpeg, "JPEG").convertToFormat(QImage::Format_RGB888);
}

ThumbCache::ThumbCache(const QString& file, qint64 limitBytes) : limit_(limitBytes) {
    if (file.isEmpty()) return;
    QSqlError failure;
    if (open(file, &failure)) return;
    // A database another program is using is not broken: this import does without it, and it stays.
    if (busy(failure)) {
        note(QStringLiteral("缩略图缓存正被另一个程序使用，本次导入不使用缓存：%1").arg(file));
        return;
    }
    // A database that fails its checks is kept aside for a look, and a new one started once.
    note(QStringLiteral("缩略图缓存无法使用（%1）").arg(reason(failure)));
    const QString aside = file + QStringLiteral(".broken");
    QFile::remove(aside);
    if (QFile::exists(file) && QFile::rename(file, aside))
        note(QStringLiteral("缩略图缓存无法使用，已移到 %1").arg(aside));
    if (!open(file, &failure))
        note(QStringLiteral("缩略图缓存无法使用，本次导入不使用缓存：%1（%2）").arg(file, reason(failure)));
}

ThumbCache::~ThumbCache() {
    close();
}

QString ThumbCache::defaultFile() {
    // Shared by the desktop program and zanfold-cli: a project rendered on the command line reopens fast too.
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/zanfold/thumbnails.sqlite");
}

bool ThumbCache::open(const QString& file, QSqlError* failure) {
    if (!QDir().mkpath(QFileInfo(file).absolutePath())) {
        *failure = QSqlError(QStringLiteral("无法建立文件夹 ") + QFileInfo(file).absolutePath(), QString());
        return false;
    }
    const QString name = uniqueConnection();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        // A write of another process (an import storing its rows, a clean-up) is waited for this long.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        bool ok = db.open();
        QSqlQuery q(db);
        // The journal keeps the file whole through a crash in the middle of a write.
        ok = ok && q.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
        ok = ok &&
             q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS thumbs (path TEXT PRIMARY KEY, size INTEGER, "
                                   "mtime INTEGER, mode INTEGER, width INTEGER, height INTEGER, "
                                   "orientation INTEGER, damaged INTEGER, jpeg BLOB, used INTEGER)"));
        ok = ok && q.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS thumbs_used ON thumbs(used)"));
        // Caches of earlier versions gain the newer columns. Their rows hold no faces (NULL: not looked) and
        // no change time, so they never match again: a copy with the old size and modification time is not
        // taken for the old photo.
        QStringList columns;
        ok = ok && q.exec(QStringLiteral("PRAGMA table_info(thumbs)"));
        while (ok && q.next())
            columns << q.value(1).toString();
        ok = ok && (columns.contains(QStringLiteral("faces")) ||
                    q.exec(QStringLiteral("ALTER TABLE thumbs ADD COLUMN faces TEXT")));
        ok = ok && (columns.contains(QStringLiteral("ctime")) ||
                    q.exec(QStringLiteral("ALTER TABLE thumbs ADD COLUMN ctime INTEGER")));
        // A file that is not a database, or a damaged one, fails here rather than at the first lookup.
        ok = ok && q.exec(QStringLiteral("SELECT COALESCE(MAX(used), 0) FROM thumbs")) && q.next();
        if (ok) {
            clock_ = q.value(0).toLongLong();
            connection_ = name;
            return true;
        }
        *failure = q.lastError().isValid() ? q.lastError() : db.lastError();
        q = QSqlQuery();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return false;
}

void ThumbCache::close() {
    if (connection_.isEmpty()) return;
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
    connection_.clear();
}

std::optional<CachedThumb> ThumbCache::find(const QString& path, FileIdentity stamp, int mode) {
    if (!usable() || !stamp.valid()) return std::nullopt;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare(QStringLiteral("SELECT width, height, orientation, damaged, jpeg, faces FROM thumbs "
                             "WHERE path = ? AND size = ? AND mtime = ? AND ctime = ? AND mode = ?"));
    q.addBindValue(path);
    q.addBindValue(stamp.size);
    q.addBindValue(stamp.modifiedNs);
    q.addBindValue(stamp.changedNs);
    q.addBindValue(mode);
    if (!q.exec() || !q.next()) return std::nullopt;
    CachedThumb t;
    t.width = q.value(0).toInt();
    t.height = q.value(1).toInt();
    t.orientation = q.value(2).toInt();
    // One column for both marks: bit 0 corrupt data, bit 1 an unusable colour profile.
    t.damaged = (q.value(3).toInt() & 1) != 0;
    t.profileUnusable = (q.value(3).toInt() & 2) != 0;
    t.jpeg = q.value(4).toByteArray();
    if (!q.value(5).isNull()) {
        // A list that does not read counts as not looked: the faces are found again.
        const auto faces = parseFacesText(q.value(5).toString());
        t.facesDetected = faces.has_value();
        if (faces) t.faces = *faces;
    }
    if (t.jpeg.isEmpty() || t.width <= 0 || t.height <= 0) return std::nullopt;
    return t;
}

void ThumbCache::store(const std::vector<CacheRow>& rows, int mode, const std::vector<QString>& used) {
    if (!usable() || (rows.empty() && used.empty())) return;
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (!db.transaction()) {
        note(QStringLiteral("缩略图缓存未能写入：%1").arg(reason(db.lastError())));
        return;
    }
    const qint64 now = ++clock_;
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT OR REPLACE INTO thumbs (path, size, mtime, ctime, mode, width, "
                                  "height, orientation, damaged, jpeg, used, faces) "
                                  "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    bool ok = true;
    QSqlError failed; // the first statement that failed, whose reason is the real one
    auto run = [&](QSqlQuery& q) {
        if (!ok) return;
        ok = q.exec();
        if (!ok) failed = q.lastError();
    };
    for (const CacheRow& row : rows) {
        if (!row.stamp.valid()) continue;
        insert.addBindValue(row.path);
        insert.addBindValue(row.stamp.size);
        insert.addBindValue(row.stamp.modifiedNs);
        insert.addBindValue(row.stamp.changedNs);
        insert.addBindValue(mode);
        insert.addBindValue(row.thumb.width);
        insert.addBindValue(row.thumb.height);
        insert.addBindValue(row.thumb.orientation);
        insert.addBindValue((row.thumb.damaged ? 1 : 0) | (row.thumb.profileUnusable ? 2 : 0));
        insert.addBindValue(row.thumb.jpeg);
        insert.addBindValue(now);
        insert.addBindValue(row.thumb.facesDetected ? QVariant(facesText(row.thumb.faces))
                                                    : QVariant(QMetaType(QMetaType::QString)));
        run(insert);
    }
    QSqlQuery touch(db);
    touch.prepare(QStringLiteral("UPDATE thumbs SET used = ? WHERE path = ?"));
    for (const QString& path : used) {
        touch.addBindValue(now);
        touch.addBindValue(path);
        run(touch);
    }
    if (ok && !db.commit()) {
        ok = false;
        failed = db.lastError();
    }
    if (!ok) {
        db.rollback();
        note(QStringLiteral("缩略图缓存未能写入：%1").arg(reason(failed)));
        return;
    }
    evict();
}

qint64 ThumbCache::bytes() {
    if (!usable()) return 0;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    if (!q.exec(
            QStringLiteral("SELECT COALESCE(SUM(LENGTH(jpeg) + LENGTH(path)), 0), COUNT(*) FROM thumbs")) ||
        !q.next())
        return 0;
    return q.value(0).toLongLong() + q.value(1).toLongLong() * kRowOverhead;
}

int ThumbCache::rows() {
    if (!usable()) return 0;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    return q.exec(QStringLiteral("SELECT COUNT(*) FROM thumbs")) && q.next() ? q.value(0).toInt() : 0;
}

void ThumbCache::evict() {
    qint64 total = bytes();
    if (limit_ <= 0 || total <= limit_) return;
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery oldest(db);
    // Down to nine tenths of the limit, so the next imports do not evict a few rows each.
    if (!oldest.exec(QStringLiteral("SELECT path, LENGTH(jpeg) + LENGTH(path) FROM thumbs ORDER BY used")))
        return;
    QStringList gone;
    const qint64 target = limit_ / 10 * 9;
    while (total > target && oldest.next()) {
        gone << oldest.value(0).toString();
        total -= oldest.value(1).toLongLong() + kRowOverhead;
    }
    oldest.finish();
    if (!db.transaction()) return;
    QSqlQuery remove(db);
    remove.prepare(QStringLiteral("DELETE FROM thumbs WHERE path = ?"));
    for (const QString& path : gone) {
        remove.addBindValue(path);
        remove.exec();
    }
    db.commit();
    QSqlQuery(db).exec(QStringLiteral("VACUUM"));
}

} // namespace zanfold
