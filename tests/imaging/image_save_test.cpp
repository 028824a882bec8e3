#include "imaging/image_save.h"
#include "imaging/picture.h"

#include "support/jpeg_maker.h"
#include "support/temp_dir.h"

#include <QDir>

#include <gtest/gtest.h>

namespace zanfold {
namespace {

using test::TempDir;

TEST(Encoder, FoundByPartOfItsMimeType) {
    EXPECT_EQ(GDIPLUSGETENCODER(QStringLiteral("image/jpeg")), QStringLiteral("image/jpeg"));
    EXPECT_EQ(GDIPLUSGETENCODER(QStringLiteral("JPEG")), QStringLiteral("image/jpeg"));
    EXPECT_EQ(GDIPLUSGETENCODER(QStringLiteral("png")), QStringLiteral("image/png"));
    EXPECT_TRUE(GDIPLUSGETENCODER(QStringLiteral("image/bmp")).isEmpty());
    EXPECT_TRUE(GDIPLUSGETENCODER(QString()).isEmpty());
}

TEST(SaveJpeg, InvalidArgumentsWriteNothing) {
    TempDir dir;
    const QString target = dir.file(QStringLiteral("A001.jpg"));
    EXPECT_EQ(GDIPLUSSAVEJPEG(QImage(), target), kSaveInvalidParameter);
    EXPECT_EQ(GDIPLUSSAVEJPEG(test::solidImage(4, 4, qRgb(1, 2, 3)), QString()), kSaveInvalidParameter);
    EXPECT_EQ(GDIPLUSSAVEIMAGE(test::solidImage(4, 4, qRgb(1, 2, 3)), target, QStringLiteral("image/tiff")),
              kSaveInvalidParameter);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST(SaveJpeg, WritesTheImageAtItsSize) {
    TempDir dir;
    const QString target = dir.file(QStringLiteral("A001.jpg"));
    const QImage picture = test::gradientImage(1920, 1080);
    ASSERT_EQ(GDIPLUSSAVEJPEG(picture, target, 90), kSaveOk);
    const PictureInfo info = probe(target);
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info.kind, PictureKind::Jpeg);
    EXPECT_EQ(info.size, QSize(1920, 1080));
    const Rendered back = thumbnail({target, 1, 0}, 1920, 1080, ThumbMode::Safe);
    EXPECT_LT(test::meanAbsDiff(back.image, picture), 2.0);
    // Replacing keeps one file.
    ASSERT_EQ(GDIPLUSSAVEJPEG(test::solidImage(8, 8, qRgb(0, 0, 0)), target), kSaveOk);
    EXPECT_EQ(probe(target).size, QSize(8, 8));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

TEST(SaveJpeg, UnwritablePlaceGivesTheReason) {
    TempDir dir;
    FileError reason;
    const int status = GDIPLUSSAVEJPEG(test::solidImage(4, 4, qRgb(1, 2, 3)),
                                       dir.file(QStringLiteral("no/A001.jpg")), 90, &reason);
    EXPECT_EQ(status, kSaveWriteFailed);
    EXPECT_TRUE(reason.failed());
    EXPECT_FALSE(reason.description.isEmpty());
}

TEST(SaveJpeg, QualityChangesTheFile) {
    TempDir dir;
    const QImage picture = test::checkerImage(256, 256, 3);
    ASSERT_EQ(GDIPLUSSAVEJPEG(picture, dir.file(QStringLiteral("lo.jpg")), 20), kSaveOk);
    ASSERT_EQ(GDIPLUSSAVEJPEG(picture, dir.file(QStringLiteral("hi.jpg")), 95), kSaveOk);
    EXPECT_LT(TempDir::read(dir.file(QStringLiteral("lo.jpg"))).size(),
              TempDir::read(dir.file(QStringLiteral("hi.jpg"))).size());
}

} // namespace
} // namespace zanfold
