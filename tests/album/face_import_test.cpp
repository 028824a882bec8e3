#include "album/album_import.h"

#include "album/photo_ops.h"
#include "album/thumb_cache.h"
#include "allocation/allocation.h"
#include "crop/face_crop.h"
#include "imaging/faces.h"
#include "support/face_photos.h"
#include "support/jpeg_maker.h"
#include "support/qt_print.h"
#include "support/temp_dir.h"
#include "support/work_fixture.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <map>

namespace zanfold {
namespace {

using test::RecordingUi;
using test::TempDir;

// Landscape photos of 2400 x 1600: one face near the right edge, two faces far apart, none.
const std::map<QString, std::vector<QRect>> kTruth = {
    {QStringLiteral("1-edge.jpg"), {QRect(2060, 520, 240, 240)}},
    {QStringLiteral("2-apart.jpg"), {QRect(100, 600, 220, 220), QRect(2050, 500, 260, 260)}},
    {QStringLiteral("3-none.jpg"), {}},
};

class FaceImport : public ::testing::Test {
protected:
    TempDir dir;
    AppState state;
    RecordingUi ui;
    QString album;

    void SetUp() override {
        test::setCanvasArea(state);
        album = dir.file(QStringLiteral("people"));
        for (const auto& [name, faces] : kTruth) {
            const QImage picture = test::pictureWithFaces(2400, 1600, faces);
            ASSERT_FALSE(picture.isNull()) << "dlib's example photos are missing";
            dir.write(QStringLiteral("people/") + name, test::makeJpeg(picture));
        }
    }
    void import(int faceCrop) {
        state.settings.FaceCrop = faceCrop;
        state.AlbumPath.clear();
        ASSERT_EQ(ALBUM_OPEN(state, ui, album, true), 1);
    }
    const PhotoRecord& photo(const QString& name) const {
        for (const PhotoRecord& p : state.Photos)
            if (p.fileName == name) return p;
        throw std::runtime_error("no such photo");
    }
    int indexOf(const QString& name) const { return static_cast<int>(&photo(name) - state.Photos.data()); }
};

bool sameFace(const QRectF& a, const QRectF& b) {
    const QRectF both = a & b;
    return both.width() * both.height() > 0.5 * a.width() * a.height();
}

// Faces are looked for only with FaceCrop on, and then found where they are.
TEST_F(FaceImport, FoundOnlyWhenAskedAndWhereTheyAre) {
    import(0);
    for (const PhotoRecord& p : state.Photos) {
        EXPECT_FALSE(p.facesDetected) << p.fileName.toStdString();
        EXPECT_TRUE(p.faces.empty());
    }
    import(1);
    for (const auto& [name, truth] : kTruth) {
        const PhotoRecord& p = photo(name);
        EXPECT_TRUE(p.facesDetected);
        ASSERT_EQ(p.faces.size(), truth.size()) << name.toStdString();
        for (const QRect& t : truth) {
            bool hit = false;
            for (const FaceBox& f : p.faces)
                hit = hit || sameFace(QRectF(t), f.rect);
            EXPECT_TRUE(hit) << name.toStdString() << " " << testing::PrintToString(t);
        }
    }
}

// Allocation into portrait positions: with FaceCrop on the crop holds the face near the edge, one of two
// faces far apart (no crop holds both), and the fixed place without faces; off, every crop is the fixed one.
TEST_F(FaceImport, AllocationKeepsFacesWhole) {
    for (int faceCrop : {0, 1}) {
        import(faceCrop);
        state.settings.LockType = 0;
        test::addToWork(
            state, ui,
            test::addLibraryTemplate(state, QStringLiteral("P%1").arg(faceCrop), {{'A', 3, 1080, 1920, 3}}));
        ALLOT_PHOTOS(state, ui, false);
        for (const SlotRecord& slot : state.Slots) {
            ASSERT_GE(slot.photo, 0);
            const PhotoRecord& p = state.Photos[slot.photo];
            const CropRect fixed = CLIP_INIT(state.settings, 1080, 1920, p.thumbWidth, p.thumbHeight);
            const CropRect made{slot.cropX, slot.cropY, slot.cropWidth, slot.cropHeight};
            const std::vector<QRect>& truth = kTruth.at(p.fileName);
            if (faceCrop == 0 || truth.empty()) {
                EXPECT_EQ(made, fixed) << p.fileName.toStdString();
                continue;
            }
            EXPECT_EQ(made.width, fixed.width);
            EXPECT_EQ(made.height, fixed.height);
            const QRect crop = sourceRect(p, slot);
            int whole = 0;
            for (const QRect& t : truth)
                whole += crop.contains(t);
            EXPECT_EQ(whole, 1) << p.fileName.toStdString() << " " << testing::PrintToString(crop);
        }
    }
}

// The faces are kept in the thumbnail cache: a later import finds the same ones without a decode. A row made
// without looking for faces is decoded again once they are wanted, and then holds them.
TEST_F(FaceImport, FacesSurviveACacheHit) {
    state.ThumbCacheFile = dir.file(QStringLiteral("cache/thumbnails.sqlite"));
    import(0);
    const QString path = album + QStringLiteral("/1-edge.jpg");
    const int mode = cacheMode(false, true, true);
    {
        ThumbCache cache(state.ThumbCacheFile, 1 << 30);
        const auto row = cache.find(path, fileIdentity(path), mode);
        ASSERT_TRUE(row);
        EXPECT_FALSE(row->facesDetected);
    }
    import(1);
    const std::vector<FaceBox> found = photo(QStringLiteral("1-edge.jpg")).faces;
    ASSERT_EQ(found.size(), 1u);
    {
        ThumbCache cache(state.ThumbCacheFile, 1 << 30);
        const auto row = cache.find(path, fileIdentity(path), mode);
        ASSERT_TRUE(row);
        EXPECT_TRUE(row->facesDetected);
        EXPECT_EQ(row->faces, found);
        const QString none = album + QStringLiteral("/3-none.jpg");
        const auto empty = cache.find(none, fileIdentity(none), mode);
        ASSERT_TRUE(empty);
        EXPECT_TRUE(empty->facesDetected); // looked, none found: not looked for again
        EXPECT_TRUE(empty->faces.empty());
    }
    // Off again, the faces the cache holds come with the photo all the same.
    import(0);
    EXPECT_TRUE(photo(QStringLiteral("1-edge.jpg")).facesDetected);
    EXPECT_EQ(photo(QStringLiteral("1-edge.jpg")).faces, found);
    import(1);
    EXPECT_EQ(photo(QStringLiteral("1-edge.jpg")).faces, found);
}

// A cache made before faces were kept gains their column: it is neither set aside nor left unused.
TEST_F(FaceImport, ACacheOfAnEarlierVersionTakesFaces) {
    state.ThumbCacheFile = dir.file(QStringLiteral("cache/thumbnails.sqlite"));
    QDir().mkpath(dir.file(QStringLiteral("cache")));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("old"));
        db.setDatabaseName(state.ThumbCacheFile);
        ASSERT_TRUE(db.open());
        ASSERT_TRUE(QSqlQuery(db).exec(QStringLiteral(
            "CREATE TABLE thumbs (path TEXT PRIMARY KEY, size INTEGER, mtime INTEGER, mode INTEGER, "
            "width INTEGER, height INTEGER, orientation INTEGER, damaged INTEGER, jpeg BLOB, "
            "used INTEGER)")));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("old"));
    import(1);
    EXPECT_FALSE(QFile::exists(state.ThumbCacheFile + QStringLiteral(".broken")));
    ThumbCache cache(state.ThumbCacheFile, 1 << 30);
    EXPECT_EQ(cache.rows(), 3);
    const QString path = album + QStringLiteral("/2-apart.jpg");
    const auto row = cache.find(path, fileIdentity(path), cacheMode(false, true, true));
    ASSERT_TRUE(row);
    EXPECT_EQ(row->faces.size(), 2u);
}

// A list of faces the cache cannot read counts as never looked for.
TEST(FacesText, ReadsBackWhatItWroteAndRefusesTheRest) {
    const std::vector<FaceBox> faces{{QRectF(1.25, 2.5, 30.125, 31), 0.123456789f},
                                     {QRectF(0, 0, 1, 1), -0.5f}};
    EXPECT_EQ(parseFacesText(facesText(faces)), faces);
    EXPECT_EQ(parseFacesText(facesText({})), std::vector<FaceBox>{});
    EXPECT_FALSE(facesText({}).isNull());
    for (const char* bad : {"1 2 3", "1 2 3 4 x", "1 2 0 4 1", "1 2 3 4 nan", "1 2 3 4 1;5"})
        EXPECT_FALSE(parseFacesText(QString::fromLatin1(bad))) << bad;
}

// A turned photo's faces turn with it; a reload looks for them again in the file as it is now.
TEST_F(FaceImport, TurnedWithThePhotoAndFoundAgainOnReload) {
    import(1);
    state.CurrentPhoto = indexOf(QStringLiteral("1-edge.jpg"));
    const PhotoRecord before = photo(QStringLiteral("1-edge.jpg"));
    PHOTO_ROTATE(state, ui, 1);
    const PhotoRecord& turned = photo(QStringLiteral("1-edge.jpg"));
    EXPECT_EQ(turned.faces, turnFaces(before.faces, QSize(before.width, before.height), 1));
    ASSERT_EQ(turned.faces.size(), 1u);
    // The face was at the right edge; a quarter turn counter-clockwise takes it to the top.
    EXPECT_LT(turned.faces[0].rect.top(), 400);

    // Reloading takes the file as it is now: the face has moved to the left.
    dir.write(QStringLiteral("people/1-edge.jpg"),
              test::makeJpeg(test::pictureWithFaces(2400, 1600, {QRect(100, 520, 240, 240)})));
    state.CurrentPhoto = indexOf(QStringLiteral("1-edge.jpg"));
    PHOTO_SAFELOAD(state, ui);
    const PhotoRecord& reloaded = photo(QStringLiteral("1-edge.jpg"));
    ASSERT_EQ(reloaded.faces.size(), 1u);
    EXPECT_TRUE(sameFace(QRectF(100, 520, 240, 240), reloaded.faces[0].rect));
}

// Turned on after import: the faces of the album are found then, all of them, on the workers. Finding them
// is no change to the work: nothing to undo, nothing unsaved.
TEST_F(FaceImport, TurningTheSettingOnFindsTheMissingFaces) {
    import(0);
    state.settings.FaceCrop = 1;
    state.History.record(state, QStringLiteral("设置"), [&] { findMissingFaces(state, ui); });
    EXPECT_FALSE(state.History.canUndo());
    EXPECT_FALSE(state.History.changed());
    EXPECT_EQ(photo(QStringLiteral("2-apart.jpg")).faces.size(), 2u);
    for (const PhotoRecord& p : state.Photos)
        EXPECT_TRUE(p.facesDetected) << p.fileName.toStdString();
}

} // namespace
} // namespace zanfold
