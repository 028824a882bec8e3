#include "imaging/faces.h"

#include "imaging/orientation.h"
#include "imaging/picture.h"
#include "support/face_photos.h"
#include "support/jpeg_maker.h"
#include "support/qt_print.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace zanfold {
namespace {

using test::TempDir;

double overlapShare(const QRectF& a, const QRectF& b) {
    const QRectF both = a & b;
    const double i = both.width() * both.height();
    return i / (a.width() * a.height() + b.width() * b.height() - i);
}

// The box of the white pixels of a black picture.
QRect whiteBox(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) > 128) box |= QRect(x, y, 1, 1);
    return box;
}

// The face boxes turn exactly as the picture does, whichever way and however often.
TEST(Faces, TurnWithThePicture) {
    QImage picture(60, 40, QImage::Format_RGB888);
    picture.fill(Qt::black);
    const QRect face(7, 5, 12, 20);
    for (int y = face.top(); y <= face.bottom(); ++y)
        for (int x = face.left(); x <= face.right(); ++x)
            picture.setPixelColor(x, y, Qt::white);
    const std::vector<FaceBox> faces{{QRectF(face), 0.7f}};
    for (int turns : {1, 2, 3, 4, 5, -1}) {
        const QImage turned = rotateQuarters(picture, ((turns % 4) + 4) % 4);
        const std::vector<FaceBox> moved = turnFaces(faces, picture.size(), turns);
        ASSERT_EQ(moved.size(), 1u);
        EXPECT_EQ(moved[0].rect, QRectF(whiteBox(turned))) << turns;
        EXPECT_EQ(moved[0].confidence, 0.7f);
        const QSize now = ((turns % 2) != 0) ? picture.size().transposed() : picture.size();
        EXPECT_EQ(turnFaces(moved, now, 4 - (((turns % 4) + 4) % 4)), faces) << "and back, " << turns;
    }
}

// Real faces at known places are found there, in pixels of the upright photo, from the grey picture the
// thumbnail's decode gives; a picture without faces gives none.
TEST(Faces, FoundWhereTheyAreAndNowhereElse) {
    TempDir dir;
    const std::vector<QRect> truth{QRect(300, 500, 260, 260), QRect(1900, 300, 200, 200)};
    const QImage picture = test::pictureWithFaces(2400, 1600, truth);
    ASSERT_FALSE(picture.isNull()) << "dlib's example photos are missing";
    const QString file = dir.write(QStringLiteral("two.jpg"), test::makeJpeg(picture));
    const Rendered r = thumbnail({file, 1, 0}, 200, 133, ThumbMode::Fast, true, true);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.grey.format(), QImage::Format_Grayscale8);
    EXPECT_EQ(r.grey.size(), QSize(1024, 683));
    const std::vector<FaceBox> found = photoFaces(r.grey, picture.size());
    ASSERT_EQ(found.size(), truth.size());
    for (const QRect& t : truth) {
        bool hit = false;
        for (const FaceBox& f : found)
            hit = hit || overlapShare(QRectF(t), f.rect) > 0.5;
        EXPECT_TRUE(hit) << testing::PrintToString(t);
    }
    for (const FaceBox& f : found)
        EXPECT_GE(f.confidence, 0.0f);

    const QString none = dir.write(QStringLiteral("none.jpg"), test::makeJpeg(test::facelessPicture(2400, 1600)));
    EXPECT_TRUE(photoFaces(thumbnail({none, 1, 0}, 200, 133, ThumbMode::Fast, true, true).grey, {2400, 1600})
                    .empty());
}

// A photo stored on its side: its face is found once the turn that makes it upright is applied, at its
// place in the upright photo.
TEST(Faces, LookedForInTheTurnedPhoto) {
    TempDir dir;
    const QRect upright(700, 400, 300, 300);
    const QImage picture = test::pictureWithFaces(1600, 2400, {upright});
    ASSERT_FALSE(picture.isNull());
    // Stored turned a quarter clockwise; one counter-clockwise quarter turn shows it upright.
    const QString file = dir.write(QStringLiteral("side.jpg"), test::makeJpeg(rotateQuarters(picture, 3)));
    PhotoRecord sideways;
    sideways.image = {file, 1, 0};
    sideways.width = 2400;
    sideways.height = 1600;
    ASSERT_TRUE(findPhotoFaces(sideways));
    EXPECT_TRUE(sideways.faces.empty());

    PhotoRecord turned;
    turned.image = {file, 1, 1};
    turned.width = 1600;
    turned.height = 2400;
    ASSERT_TRUE(findPhotoFaces(turned));
    EXPECT_TRUE(turned.facesDetected);
    ASSERT_EQ(turned.faces.size(), 1u);
    EXPECT_GT(overlapShare(QRectF(upright), turned.faces[0].rect), 0.5)
        << testing::PrintToString(turned.faces[0].rect);

    PhotoRecord gone;
    gone.image = {dir.file(QStringLiteral("missing.jpg")), 1, 0};
    EXPECT_FALSE(findPhotoFaces(gone));
    EXPECT_FALSE(gone.facesDetected);
}

} // namespace
} // namespace zanfold
