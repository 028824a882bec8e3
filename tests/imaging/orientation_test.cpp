#include "imaging/orientation.h"

#include "support/jpeg_maker.h"

#include <QTransform>

#include <gtest/gtest.h>

namespace zanfold {
namespace {

using test::gradientImage;

// Cutting a rectangle out of the upright picture must give the same pixels as cutting its stored
// rectangle out of the stored picture and turning that upright: output relies on it.
TEST(Orient, StoredRectangleMatchesUprightCut) {
    const QImage stored = gradientImage(23, 17);
    const QRect rects[] = {{0, 0, 5, 4}, {3, 2, 7, 9}, {1, 0, 1, 1}};
    for (int exif = 1; exif <= 8; ++exif) {
        for (int turns = 0; turns < 4; ++turns) {
            const Orient o = orientFor(exif, turns);
            const QImage upright = applyOrient(stored, o);
            ASSERT_EQ(upright.size(), uprightSize(stored.size(), o));
            for (const QRect& r : rects) {
                const QImage direct = upright.copy(r);
                const QImage viaStored = applyOrient(stored.copy(toStored(r, stored.size(), o)), o);
                EXPECT_EQ(direct, viaStored) << "exif " << exif << " turns " << turns;
            }
        }
    }
}

TEST(Orient, QuarterTurnsAreCounterClockwise) {
    const QImage picture = gradientImage(9, 5);
    EXPECT_EQ(rotateQuarters(picture, 1),
              picture.transformed(QTransform().rotate(-90)).convertToFormat(QImage::Format_RGB888));
    EXPECT_EQ(rotateQuarters(picture, 3),
              picture.transformed(QTransform().rotate(90)).convertToFormat(QImage::Format_RGB888));
    EXPECT_EQ(rotateQuarters(picture, 2),
              picture.transformed(QTransform().rotate(180)).convertToFormat(QImage::Format_RGB888));
    EXPECT_EQ(rotateQuarters(picture, 4), picture);
    EXPECT_EQ(rotateQuarters(picture, -1), rotateQuarters(picture, 3));
}

TEST(Orient, TurnsComposeWithExif) {
    for (int exif = 1; exif <= 8; ++exif) {
        EXPECT_EQ(orientFor(exif, 4), orientFor(exif, 0));
        const QImage stored = gradientImage(7, 4);
        EXPECT_EQ(applyOrient(stored, orientFor(exif, 1)),
                  rotateQuarters(applyOrient(stored, orientFor(exif, 0)), 1));
    }
    EXPECT_EQ(orientFor(0, 0), orientFor(1, 0)); // unknown values read as upright
    EXPECT_EQ(orientFor(9, 0), orientFor(1, 0));
}

} // namespace
} // namespace zanfold
