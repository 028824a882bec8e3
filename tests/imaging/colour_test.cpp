#include "imaging/colour.h"
#include "imaging/picture.h"

#include "support/icc_profiles.h"
#include "support/jpeg_maker.h"
#include "support/qt_print.h"
#include "support/temp_dir.h"

#include <QColorSpace>

#include <gtest/gtest.h>

#include <cstdlib>

namespace zanfold {
namespace {

using test::JpegOptions;
using test::TempDir;

constexpr QSize kPicture{64, 48};

// A solid patch, tagged with `profile` (or untagged), written as a JPEG of its own.
QString patch(TempDir& dir, const QString& name, QRgb colour, const QByteArray& profile,
              JpegOptions::Color kind = JpegOptions::Color::Rgb) {
    JpegOptions o;
    o.iccProfile = profile;
    o.color = kind;
    o.lumaH = o.lumaV = 1; // 4:4:4: no chroma blur in a solid patch
    return dir.write(name, test::makeJpeg(test::solidImage(kPicture.width(), kPicture.height(), colour), o));
}

ImageSource sourceOf(const QString& path) {
    return {path, 1, 0};
}

// The two ways a photo is shown and delivered: its thumbnail and a crop.
struct Views {
    Rendered thumb;
    Rendered crop;
};

Views render(const QString& path, bool manage) {
    return {thumbnail(sourceOf(path), 32, 24, ThumbMode::Safe, manage),
            renderCrop(sourceOf(path), QRect(QPoint(0, 0), kPicture), 40, 30, qRgb(0, 0, 0), manage)};
}

std::array<int, 4> centre(const QImage& image) {
    const QColor c = image.pixelColor(image.width() / 2, image.height() / 2);
    return {c.red(), c.green(), c.blue(), 255};
}

void expectNear(const std::array<int, 4>& actual, const std::array<int, 3>& expected, int levels,
                const char* what) {
    for (int i = 0; i < 3; ++i)
        EXPECT_LE(std::abs(actual[i] - expected[i]), levels)
            << what << " channel " << i << ": " << actual[i] << " vs " << expected[i];
}

// An Adobe RGB photo is delivered in sRGB: every pixel as lcms2 itself converts the decoded values.
TEST(Colour, AnAdobeRgbPatchBecomesItsSrgbColour) {
    TempDir dir;
    const QByteArray adobe = test::adobeRgbProfile();
    const QString path = patch(dir, QStringLiteral("adobe.jpg"), qRgb(60, 180, 90), adobe);
    const Views raw = render(path, false);
    const Views managed = render(path, true);
    for (const auto& [as, converted] :
         {std::pair{raw.thumb, managed.thumb}, std::pair{raw.crop, managed.crop}}) {
        ASSERT_TRUE(converted.ok());
        EXPECT_FALSE(converted.damaged);
        const std::array<int, 3> expected = test::lcmsToSrgb(adobe, centre(as.image), false);
        expectNear(centre(converted.image), expected, 2, "managed");
    }
    // The shift users see when it is missing: green is far more saturated in sRGB terms.
    EXPECT_LT(centre(managed.crop.image)[0], 30);
}

// Adobe RGB and Display P3 take the fast path; over the whole cube of colours it stays within 2 levels of
// lcms2's own conversion.
TEST(Colour, TheFastPathAgreesWithLcmsOverEveryColour) {
    QByteArray cube;
    for (int r = 0; r < 256; r += 5)
        for (int g = 0; g < 256; g += 5)
            for (int b = 0; b < 256; b += 5)
                cube.append(static_cast<char>(r)).append(static_cast<char>(g)).append(static_cast<char>(b));
    for (const QByteArray& profile : {test::adobeRgbProfile(), test::displayP3Profile()}) {
        const ColourPlan plan = colourPlanFor(profile, DecodedPixels::Rgb);
        ASSERT_TRUE(plan.transform);
        QByteArray ours(cube.size(), '\0');
        plan.transform->toSrgb(reinterpret_cast<const uchar*>(cube.constData()),
                               reinterpret_cast<uchar*>(ours.data()), static_cast<int>(cube.size() / 3));
        const QByteArray theirs = test::lcmsToSrgb(profile, cube);
        int worst = 0;
        for (qsizetype i = 0; i < cube.size(); ++i)
            worst = std::max(worst, std::abs(static_cast<uchar>(ours[i]) - static_cast<uchar>(theirs[i])));
        EXPECT_LE(worst, 2) << profile.size();
    }
}

// Untagged and sRGB-tagged photos come out exactly as without colour management, at no extra work.
TEST(Colour, UntaggedAndSrgbPhotosAreUntouched) {
    TempDir dir;
    EXPECT_FALSE(colourPlanFor(test::srgbProfile(), DecodedPixels::Rgb).transform);
    EXPECT_FALSE(colourPlanFor({}, DecodedPixels::Rgb).transform);
    for (const QByteArray& profile : {QByteArray(), test::srgbProfile()}) {
        JpegOptions o;
        o.iccProfile = profile;
        const QString path =
            dir.write(QStringLiteral("p.jpg"), test::makeJpeg(test::gradientImage(64, 48), o));
        const Views raw = render(path, false);
        const Views managed = render(path, true);
        EXPECT_EQ(managed.thumb.image, raw.thumb.image) << profile.size();
        EXPECT_EQ(managed.crop.image, raw.crop.image) << profile.size();
        EXPECT_FALSE(managed.crop.damaged);
    }
}

// A CMYK photo with a profile goes through it; without one it keeps the plain conversion.
TEST(Colour, ACmykPhotoWithAProfileConvertsThroughIt) {
    TempDir dir;
    const QByteArray cmyk = test::cmykProfile();
    const QRgb stored = qRgb(200, 120, 40); // inverted ink: cyan 55, magenta 135, yellow 215, no black
    const QString tagged = patch(dir, QStringLiteral("tagged.jpg"), stored, cmyk, JpegOptions::Color::Cmyk);
    const QString plain = patch(dir, QStringLiteral("plain.jpg"), stored, {}, JpegOptions::Color::Cmyk);
    const Views managed = render(tagged, true);
    ASSERT_TRUE(managed.crop.ok());
    EXPECT_FALSE(managed.crop.damaged);
    const std::array<int, 4> decoded = centre(render(tagged, false).crop.image); // K stays 255 (no ink)
    expectNear(centre(managed.crop.image), test::lcmsToSrgb(cmyk, decoded, true), 2, "cmyk");
    EXPECT_EQ(render(plain, true).crop.image, render(plain, false).crop.image);
    EXPECT_NE(managed.crop.image, render(tagged, false).crop.image);
}

// A picture of another kind (a PNG under a .jpg name) converts by the colour space it carries.
TEST(Colour, OtherPicturesConvertByTheirColourSpace) {
    TempDir dir;
    QImage adobe = test::solidImage(kPicture.width(), kPicture.height(), qRgb(60, 180, 90));
    adobe.setColorSpace(QColorSpace::AdobeRgb);
    const QString path = dir.write(QStringLiteral("png.jpg"), test::makePng(adobe));
    const Views managed = render(path, true);
    ASSERT_TRUE(managed.crop.ok());
    expectNear(centre(managed.crop.image),
               test::lcmsToSrgb(test::adobeRgbProfile(), {60, 180, 90, 255}, false), 3, "png");
    EXPECT_EQ(centre(render(path, false).crop.image), (std::array<int, 4>{60, 180, 90, 255}));
}

// A profile lcms2 cannot use is left aside: the photo still decodes and crops, and is marked.
TEST(Colour, AnUnusableProfileMarksThePhotoAndIsIgnored) {
    TempDir dir;
    QByteArray broken = test::adobeRgbProfile();
    broken.truncate(broken.size() / 2);
    const struct {
        const char* name;
        QByteArray profile;
    } cases[] = {
        {"truncated", broken},
        {"noise", QByteArray(700, '\x5A')},
        {"cmykOnRgb", test::cmykProfile()},
        {"negativeGamma", test::negativeGammaProfile()},
        {"zeroColorant", test::zeroColorantProfile()}};
    for (const auto& c : cases) {
        const QString path =
            patch(dir, QString::fromLatin1(c.name) + QStringLiteral(".jpg"), qRgb(60, 180, 90), c.profile);
        const Views managed = render(path, true);
        const Views raw = render(path, false);
        ASSERT_TRUE(managed.thumb.ok()) << c.name;
        ASSERT_TRUE(managed.crop.ok()) << c.name;
        EXPECT_TRUE(managed.thumb.profileUnusable) << c.name;
        EXPECT_TRUE(managed.crop.profileUnusable) << c.name;
        EXPECT_EQ(managed.crop.image, raw.crop.image) << c.name;
        EXPECT_FALSE(raw.crop.profileUnusable) << c.name; // colour management off: the profile is never read
    }
}

} // namespace
} // namespace zanfold
