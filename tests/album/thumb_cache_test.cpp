#include "album/thumb_cache.h"

#include "album/album_import.h"
#include "album/photo_ops.h"
#include "support/jpeg_maker.h"
#include "support/qt_print.h"
#include "support/recording_ui.h"
#include "support/system_faults.h"
#include "support/temp_dir.h"
#include "support/work_fixture.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

#include <gtest/gtest.h>

#include <map>

namespace zanfold {
namespace {

using test::RecordingUi;
using test::TempDir;

// Everything import leaves in a record, by file name.
struct Seen {
    QImage thumb;
    int width, height, thumbWidth, thumbHeight, stripWidth, stripHeight, orient, orientation;
    bool damaged;
    bool operator==(const Seen& o) const {
        return thumb == o.thumb && width == o.width && height == o.height && thumbWidth == o.thumbWidth &&
               thumbHeight == o.thumbHeight && stripWidth == o.stripWidth && stripHeight == o.stripHeight &&
               orient == o.orient && orientation == o.orientation && damaged == o.damaged;
    }
};

class Cache : public ::testing::Test {
protected:
    TempDir dir;
    AppState state;
    RecordingUi ui;
    QString album;

    void SetUp() override {
        state.AppTitle = QStringLiteral("Zanfold2015");
        test::setCanvasArea(state);
        state.ThumbCacheFile = dir.file(QStringLiteral("cache/thumbnails.sqlite"));
        album = dir.file(QStringLiteral("trip"));
        dir.write(QStringLiteral("trip/a.jpg"), test::makeJpeg(test::gradientImage(1200, 800)));
        test::JpegOptions turned;
        turned.exifOrientation = 6; // stored landscape, shown portrait
        dir.write(QStringLiteral("trip/b.jpg"), test::makeJpeg(test::quadrantImage(900, 600), turned));
        QByteArray cut = test::makeJpeg(test::checkerImage(800, 800, 40));
        dir.write(QStringLiteral("trip/c.jpg"), cut.left(cut.size() * 2 / 3)); // damaged
    }
    std::map<QString, Seen> import() {
        state.AlbumPath.clear();
        EXPECT_EQ(ALBUM_OPEN(state, ui, album, true), 1);
        std::map<QString, Seen> seen;
        for (const PhotoRecord& p : state.Photos)
            seen[p.fileName] = {p.thumb,      p.width,       p.height, p.thumbWidth,        p.thumbHeight,
                                p.stripWidth, p.stripHeight, p.orient, p.image.orientation, p.damaged};
        return seen;
    }
    // Puts a green picture of the same size into the cache row of `name`: an import that shows green used
    // the cache.
    void markRow(const QString& name) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("mark"));
        {
            db.setDatabaseName(state.ThumbCacheFile);
            ASSERT_TRUE(db.open());
            QSqlQuery size(db);
            ASSERT_TRUE(size.exec(QStringLiteral("SELECT jpeg FROM thumbs WHERE path LIKE '%/") + name +
                                  QLatin1Char('\'')) &&
                        size.next());
            const QImage old = cachedImage(size.value(0).toByteArray());
            QImage green(old.size(), QImage::Format_RGB32);
            green.fill(Qt::green);
            QImage settled = green;
            const QByteArray bytes = settleThumbnail(settled);
            QSqlQuery q(db);
            q.prepare(QStringLiteral("UPDATE thumbs SET jpeg = ? WHERE path LIKE ?"));
            q.addBindValue(bytes);
            q.addBindValue(QStringLiteral("%/") + name);
            ASSERT_TRUE(q.exec());
            db.close();
        }
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("mark"));
    }
    bool looksGreen(const QString& name) const {
        for (const PhotoRecord& p : state.Photos)
            if (p.fileName == name) {
                const QColor c = p.thumb.pixelColor(p.thumb.width() / 2, p.thumb.height() / 2);
                return c.green() > 200 && c.red() < 60;
            }
        return false;
    }
};

TEST_F(Cache, AHitGivesExactlyWhatADecodeGave) {
    const auto cold = import();
    ASSERT_EQ(cold.size(), 3u);
    EXPECT_TRUE(cold.at(QStringLiteral("c.jpg")).damaged);
    EXPECT_EQ(cold.at(QStringLiteral("b.jpg")).orientation, 6);
    ThumbCache probe(state.ThumbCacheFile, 1 << 30);
    EXPECT_EQ(probe.rows(), 3);
    const qint64 perPhoto = probe.bytes() / 3;
    EXPECT_LT(perPhoto, 15 * 1024);
    markRow(QStringLiteral("a.jpg"));
    const auto warm = import();
    EXPECT_TRUE(looksGreen(QStringLiteral("a.jpg"))); // it came from the cache
    for (const char* name : {"b.jpg", "c.jpg"})
        EXPECT_TRUE(warm.at(QString::fromLatin1(name)) == cold.at(QString::fromLatin1(name))) << name;
}

TEST_F(Cache, ChangedFilesSettingsAndReloadsMiss) {
    import();
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        markRow(QString::fromLatin1(name));
    // A new file under the same name; another with the same content but a new time.
    dir.write(QStringLiteral("trip/a.jpg"), test::makeJpeg(test::solidImage(1200, 800, qRgb(200, 0, 0))));
    ASSERT_EQ(test::setModifiedTime(album + QStringLiteral("/b.jpg"), 1000000000123456700LL), QString());
    import();
    EXPECT_FALSE(looksGreen(QStringLiteral("a.jpg")));
    EXPECT_FALSE(looksGreen(QStringLiteral("b.jpg")));
    EXPECT_TRUE(looksGreen(QStringLiteral("c.jpg")));

    // Other decode settings: AutoOrient off shows b.jpg as stored.
    state.settings.AutoOrient = 0;
    const auto upright = import();
    EXPECT_FALSE(looksGreen(QStringLiteral("c.jpg")));
    EXPECT_EQ(upright.at(QStringLiteral("b.jpg")).width, 900);

    // A safe reload decodes again and refreshes the row.
    markRow(QStringLiteral("c.jpg"));
    import();
    ASSERT_TRUE(looksGreen(QStringLiteral("c.jpg")));
    for (int i = 0; i < static_cast<int>(state.Photos.size()); ++i)
        if (state.Photos[i].fileName == QStringLiteral("c.jpg")) state.CurrentPhoto = i;
    PHOTO_SAFELOAD(state, ui);
    EXPECT_FALSE(looksGreen(QStringLiteral("c.jpg")));
}

// Another picture padded to the old file's size, with the old modification time put back, is still
// another file: its change time gives it away.
TEST_F(Cache, ACopyWithTheOldSizeAndTimeIsNotTakenForTheOldPhoto) {
    const auto cold = import();
    markRow(QStringLiteral("a.jpg"));
    const QString path = album + QStringLiteral("/a.jpg");
    const FileIdentity before = fileIdentity(path);
    QByteArray other = test::makeJpeg(test::gradientImage(600, 900));
    ASSERT_LT(other.size(), before.size);
    other.append(QByteArray(static_cast<qsizetype>(before.size - other.size()), '\0'));
    dir.write(QStringLiteral("trip/a.jpg"), other);
    ASSERT_EQ(test::setModifiedTime(path, before.modifiedNs), QString());
    const FileIdentity after = fileIdentity(path);
    ASSERT_EQ(after.size, before.size);
    ASSERT_EQ(after.modifiedNs, before.modifiedNs);
    const auto warm = import();
    EXPECT_FALSE(looksGreen(QStringLiteral("a.jpg")));
    EXPECT_EQ(warm.at(QStringLiteral("a.jpg")).height, 900);
}

// A cache another process holds for longer than the wait is neither moved aside nor emptied: this import
// goes on without it, and the next one finds its rows.
TEST_F(Cache, ABusyCacheIsKept) {
    import();
    QSqlDatabase holder = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
    {
        holder.setDatabaseName(state.ThumbCacheFile);
        ASSERT_TRUE(holder.open());
        QSqlQuery lock(holder);
        ASSERT_TRUE(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        EXPECT_EQ(import().size(), 3u);
        EXPECT_FALSE(QFile::exists(state.ThumbCacheFile + QStringLiteral(".broken")));
        ASSERT_TRUE(lock.exec(QStringLiteral("ROLLBACK")));
        holder.close();
    }
    holder = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("holder"));
    EXPECT_EQ(ThumbCache(state.ThumbCacheFile, 1 << 30).rows(), 3);
    markRow(QStringLiteral("b.jpg"));
    import();
    EXPECT_TRUE(looksGreen(QStringLiteral("b.jpg")));
}

TEST_F(Cache, ABrokenOrUnreachableCacheLeavesImportWorking) {
    const auto plain = [&] {
        AppState none;
        none.AppTitle = state.AppTitle;
        test::setCanvasArea(none);
        EXPECT_EQ(ALBUM_OPEN(none, ui, album, true), 1);
        return none.Photos.size();
    }();
    // Not a database at all: moved aside, a new one started.
    dir.write(QStringLiteral("cache/thumbnails.sqlite"), QByteArray(4096, 'x'));
    EXPECT_EQ(import().size(), plain);
    EXPECT_TRUE(QFile::exists(state.ThumbCacheFile + QStringLiteral(".broken")));
    EXPECT_EQ(ThumbCache(state.ThumbCacheFile, 1 << 30).rows(), 3);
    // A folder that cannot be made (a file stands where it would go): no cache, same album.
    dir.write(QStringLiteral("blocked"), "a file");
    state.ThumbCacheFile = dir.file(QStringLiteral("blocked/cache/thumbnails.sqlite"));
    EXPECT_EQ(import().size(), plain);
    // The only messages are the ones about the damaged photo, one per import.
    ASSERT_EQ(ui.messages.size(), 3u);
    for (const auto& m : ui.messages)
        EXPECT_TRUE(m.text.contains(QStringLiteral("损坏"))) << m.text.toStdString();
}

TEST(CacheBound, EvictsTheLeastRecentlyUsedPastTheLimit) {
    TempDir dir;
    const QString file = dir.file(QStringLiteral("c.sqlite"));
    ThumbCache cache(file, 100 * 1024);
    const QByteArray blob(10 * 1024, 'j');
    for (int i = 0; i < 30; ++i) {
        const QString path = QStringLiteral("/p/%1.jpg").arg(i);
        cache.store({{path, {1, i}, {blob, 10, 10, 1, false}}}, 0);
        if (i >= 2) cache.store({}, 0, {QStringLiteral("/p/0.jpg")}); // photo 0 keeps being used
    }
    EXPECT_LE(cache.bytes(), 100 * 1024);
    EXPECT_TRUE(cache.find(QStringLiteral("/p/0.jpg"), {1, 0}, 0));
    EXPECT_TRUE(cache.find(QStringLiteral("/p/29.jpg"), {1, 29}, 0));
    EXPECT_FALSE(cache.find(QStringLiteral("/p/1.jpg"), {1, 1}, 0));
    EXPECT_FALSE(cache.find(QStringLiteral("/p/29.jpg"), {1, 28}, 0)); // another stamp
}

// A process killed in the middle of writing leaves the database as it was before that write.
TEST_F(Cache, AKillDuringAWriteLeavesAUsableCache) {
    const auto cold = import();
    // In a process of its own, killed before its commit.
    const QString why = test::killedHalfway([&] {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("child"));
        db.setDatabaseName(state.ThumbCacheFile);
        if (!db.open() || !db.transaction()) return false;
        QSqlQuery q(db);
        q.exec(QStringLiteral("DELETE FROM thumbs"));
        for (int i = 0; i < 200; ++i)
            q.exec(
                QStringLiteral("INSERT INTO thumbs (path, size, mtime, mode, jpeg) VALUES ('/x/%1', 1, 1, 0, "
                               "zeroblob(20000))")
                    .arg(i));
        return true;
    });
    if (why.startsWith(QStringLiteral("not on"))) GTEST_SKIP() << why.toStdString();
    ASSERT_EQ(why, QString());
    EXPECT_EQ(ThumbCache(state.ThumbCacheFile, 1 << 30).rows(), 3);
    const auto warm = import();
    for (const auto& [name, seen] : cold)
        EXPECT_TRUE(warm.at(name) == seen) << name.toStdString();
}

} // namespace
} // namespace zanfold
