#include "imaging/picture.h"

#include "support/jpeg_maker.h"
#include "support/qt_print.h"
#include "support/temp_dir.h"

#include <QTransform>

#include <gtest/gtest.h>

#include <cmath>

namespace zanfold {
namespace {

using test::JpegOptions;
using test::TempDir;

ImageSource sourceOf(const QString& path, int orientation = 1, int turns = 0) {
    return {path, orientation, turns};
}

// The whole picture at its own size: every decoded pixel.
QImage decodeAll(const QString& path, QSize size) {
    return renderCrop(sourceOf(path), QRect(QPoint(0, 0), size), size.width(), size.height(), qRgb(0, 0, 0))
        .image;
}

QImage grayOf(const QImage& rgb) {
    QImage out = rgb.convertToFormat(QImage::Format_RGB888);
    for (int y = 0; y < out.height(); ++y) {
        uchar* p = out.scanLine(y);
        for (int x = 0; x < out.width(); ++x) {
            const uchar v = static_cast<uchar>(
                std::lround(0.299 * p[3 * x] + 0.587 * p[3 * x + 1] + 0.114 * p[3 * x + 2]));
            p[3 * x] = p[3 * x + 1] = p[3 * x + 2] = v;
        }
    }
    return out;
}

// Float area average of the rectangle of `picture` onto out: the reference every resampler is held to.
QImage areaReference(const QImage& picture, const QRectF& rect, QSize out) {
    QImage result(out, QImage::Format_RGB888);
    const double fx = rect.width() / out.width(), fy = rect.height() / out.height();
    for (int oy = 0; oy < out.height(); ++oy) {
        for (int ox = 0; ox < out.width(); ++ox) {
            const double x0 = rect.x() + ox * fx, x1 = x0 + fx, y0 = rect.y() + oy * fy, y1 = y0 + fy;
            double sum[3] = {0, 0, 0}, area = 0;
            for (int y = int(std::floor(y0)); y < int(std::ceil(y1)); ++y) {
                const double wy = std::min(y1, y + 1.0) - std::max(y0, double(y));
                for (int x = int(std::floor(x0)); x < int(std::ceil(x1)); ++x) {
                    const double w = wy * (std::min(x1, x + 1.0) - std::max(x0, double(x)));
                    const QRgb p = picture.pixel(x, y);
                    sum[0] += w * qRed(p);
                    sum[1] += w * qGreen(p);
                    sum[2] += w * qBlue(p);
                    area += w;
                }
            }
            result.setPixel(ox, oy,
                            qRgb(int(std::lround(sum[0] / area)), int(std::lround(sum[1] / area)),
                                 int(std::lround(sum[2] / area))));
        }
    }
    return result;
}

struct KindCase {
    const char* name;
    JpegOptions options;
    int width, height;
    friend void PrintTo(const KindCase& c, std::ostream* os) { *os << c.name; }
};

class InputKindTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(InputKindTest, DecodesToTheEncodedColours) {
    const KindCase c = GetParam();
    TempDir dir;
    const QImage original = test::gradientImage(c.width, c.height);
    const QString path = dir.write(QStringLiteral("photo.jpg"), test::makeJpeg(original, c.options));

    const PictureInfo info = probe(path);
    ASSERT_TRUE(info.ok()) << info.error.toStdString();
    EXPECT_EQ(info.kind, PictureKind::Jpeg);
    EXPECT_EQ(info.size, QSize(c.width, c.height));
    EXPECT_EQ(info.orientation, c.options.exifOrientation > 0 ? c.options.exifOrientation : 1);

    const QImage decoded = decodeAll(path, info.size);
    ASSERT_FALSE(decoded.isNull());
    const bool gray = c.options.color == JpegOptions::Color::Gray;
    EXPECT_LT(test::meanAbsDiff(decoded, gray ? grayOf(original) : original), 2.5);

    const Rendered thumb = thumbnail(sourceOf(path), 20, 15, ThumbMode::Fast);
    ASSERT_TRUE(thumb.ok()) << thumb.error.toStdString();
    EXPECT_EQ(thumb.image.size(), QSize(20, 15));
}

JpegOptions with(auto change) {
    JpegOptions o;
    change(o);
    return o;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, InputKindTest,
    ::testing::Values(
        KindCase{"baseline420", {}, 96, 64},
        KindCase{"baseline422", with([](JpegOptions& o) { o.lumaV = 1; }), 96, 64},
        KindCase{"baseline444", with([](JpegOptions& o) { o.lumaH = o.lumaV = 1; }), 96, 64},
        KindCase{"progressive420", with([](JpegOptions& o) { o.progressive = true; }), 96, 64},
        KindCase{"progressive444", with([](JpegOptions& o) {
                     o.progressive = true;
                     o.lumaH = o.lumaV = 1;
                 }),
                 96, 64},
        KindCase{"grayscale", with([](JpegOptions& o) { o.color = JpegOptions::Color::Gray; }), 96, 64},
        KindCase{"cmyk", with([](JpegOptions& o) { o.color = JpegOptions::Color::Cmyk; }), 96, 64},
        KindCase{"ycck", with([](JpegOptions& o) { o.color = JpegOptions::Color::Ycck; }), 96, 64},
        KindCase{"restarts", with([](JpegOptions& o) { o.restartRows = 1; }), 96, 64},
        KindCase{"exifAndIcc", with([](JpegOptions& o) {
                     o.exifOrientation = 1;
                     o.iccProfile = QByteArray(3000, 0x5A); // no profile lcms2 can read
                 }),
                 96, 64},
        KindCase{"oddSize", {}, 37, 23},
        KindCase{"oddSizeProgressive", with([](JpegOptions& o) { o.progressive = true; }), 41, 19},
        KindCase{"onePixel", {}, 1, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// Decoding only the rows and columns of a rectangle gives the same pixels as decoding everything.
TEST(RenderCrop, RegionDecodeMatchesFullDecode) {
    TempDir dir;
    for (const bool progressive : {false, true}) {
        JpegOptions o;
        o.progressive = progressive;
        const QString path =
            dir.write(QStringLiteral("p.jpg"), test::makeJpeg(test::gradientImage(300, 200), o));
        const QImage all = decodeAll(path, {300, 200});
        for (const QRect r :
             {QRect(37, 53, 101, 77), QRect(0, 0, 16, 16), QRect(250, 150, 50, 50), QRect(1, 199, 299, 1)}) {
            const Rendered part = renderCrop(sourceOf(path), r, r.width(), r.height(), qRgb(0, 0, 0));
            ASSERT_TRUE(part.ok());
            EXPECT_LT(test::meanAbsDiff(part.image, all.copy(r)), 0.01) << r.x() << "," << r.y();
        }
    }
}

TEST(RenderCrop, OutputHasExactlyTheAskedSize) {
    TempDir dir;
    const QSize sources[] = {{1, 1}, {17, 9}, {640, 480}, {480, 640}};
    const QSize outs[] = {{1, 1}, {13, 7}, {1920, 1080}, {1080, 1920}, {200, 200}};
    for (const QSize s : sources) {
        const QString path =
            dir.write(QStringLiteral("s.jpg"), test::makeJpeg(test::gradientImage(s.width(), s.height())));
        const QRect rects[] = {
            {0, 0, s.width(), s.height()},
            {s.width() / 3, s.height() / 4, std::max(1, s.width() / 2), std::max(1, s.height() / 3)},
            {-s.width(), -2, s.width() * 3, s.height() + 5}};
        for (const QRect& r : rects) {
            for (const QSize out : outs) {
                for (int turns = 0; turns < 4; ++turns) {
                    const Rendered img =
                        renderCrop(sourceOf(path, 1, turns), r, out.width(), out.height(), qRgb(1, 2, 3));
                    ASSERT_TRUE(img.ok()) << img.error.toStdString();
                    EXPECT_EQ(img.image.size(), out);
                    EXPECT_EQ(img.image.format(), QImage::Format_RGB888);
                }
            }
        }
    }
}

TEST(RenderCrop, ShrinkMatchesAreaAverageReference) {
    TempDir dir;
    JpegOptions o;
    o.quality = 100;
    o.lumaH = o.lumaV = 1;
    const QImage original = test::gradientImage(400, 300);
    const QString path = dir.write(QStringLiteral("g.jpg"), test::makeJpeg(original, o));
    struct Case {
        QRect rect;
        QSize out;
    };
    for (const Case& c : {Case{{40, 30, 300, 210}, {100, 70}}, Case{{13, 7, 250, 190}, {97, 61}},
                          Case{{0, 0, 400, 300}, {37, 29}}, Case{{100, 100, 64, 48}, {60, 45}}}) {
        const Rendered img = renderCrop(sourceOf(path), c.rect, c.out.width(), c.out.height(), qRgb(0, 0, 0));
        ASSERT_TRUE(img.ok());
        EXPECT_LT(test::meanAbsDiff(img.image, areaReference(original, c.rect, c.out)), 2.0)
            << c.out.width() << "x" << c.out.height();
    }
}

TEST(RenderCrop, FineCheckerboardShrinksToFlatGrey) {
    TempDir dir;
    JpegOptions o;
    o.lumaH = o.lumaV = 1;
    const QString path =
        dir.write(QStringLiteral("c.jpg"), test::makeJpeg(test::checkerImage(600, 600, 1), o));
    for (const QSize out : {QSize(100, 100), QSize(97, 103)}) {
        const Rendered img =
            renderCrop(sourceOf(path), {0, 0, 600, 600}, out.width(), out.height(), qRgb(0, 0, 0));
        ASSERT_TRUE(img.ok());
        int worst = 0;
        for (int y = 0; y < out.height(); ++y)
            for (int x = 0; x < out.width(); ++x)
                worst = std::max(worst, std::abs(qGray(img.image.pixel(x, y)) - 128));
        EXPECT_LT(worst, 12) << "aliasing at " << out.width() << "x" << out.height();
    }
}

TEST(RenderCrop, OutsideThePhotoIsBackground) {
    TempDir dir;
    const QString path =
        dir.write(QStringLiteral("r.jpg"), test::makeJpeg(test::solidImage(100, 80, qRgb(200, 20, 20))));
    const QRgb bg = qRgb(10, 40, 250);
    auto near = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) < 6 && std::abs(qGreen(a) - qGreen(b)) < 6 &&
               std::abs(qBlue(a) - qBlue(b)) < 6;
    };
    const QImage half = renderCrop(sourceOf(path), {-50, 0, 100, 80}, 100, 80, bg).image;
    EXPECT_TRUE(near(half.pixel(10, 40), bg));
    EXPECT_TRUE(near(half.pixel(90, 40), qRgb(200, 20, 20)));

    const QImage away = renderCrop(sourceOf(path), {200, 200, 50, 50}, 30, 30, bg).image;
    ASSERT_EQ(away.size(), QSize(30, 30));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(away.pixel(x, y), bg);

    const QImage enlarged = renderCrop(sourceOf(path, 1, 1), {-10, -10, 20, 20}, 200, 200, bg).image;
    EXPECT_TRUE(near(enlarged.pixel(20, 20), bg));
    EXPECT_TRUE(near(enlarged.pixel(180, 180), qRgb(200, 20, 20)));
}

// The stored picture for each EXIF orientation, made with Qt's transforms so the test does not share the
// decoder's arithmetic.
QImage storedFor(const QImage& upright, int exif) {
    switch (exif) {
    case 2:
        return upright.mirrored(true, false);
    case 3:
        return upright.transformed(QTransform().rotate(180));
    case 4:
        return upright.mirrored(false, true);
    case 5:
        return upright.transformed(QTransform(0, 1, 1, 0, 0, 0));
    case 6:
        return upright.transformed(QTransform().rotate(-90));
    case 7:
        return upright.transformed(QTransform(0, -1, -1, 0, 0, 0));
    case 8:
        return upright.transformed(QTransform().rotate(90));
    default:
        return upright;
    }
}

TEST(Orientation, EveryExifOrientationComesOutUpright) {
    TempDir dir;
    const QImage upright = test::quadrantImage(64, 48);
    for (int exif = 1; exif <= 8; ++exif) {
        JpegOptions o;
        o.exifOrientation = exif;
        o.lumaH = o.lumaV = 1;
        const QImage stored = storedFor(upright, exif).convertToFormat(QImage::Format_RGB888);
        const QString path = dir.write(QStringLiteral("o%1.jpg").arg(exif), test::makeJpeg(stored, o));
        const PictureInfo info = probe(path);
        ASSERT_EQ(info.orientation, exif);
        EXPECT_EQ(info.size, stored.size());

        const Rendered thumb = thumbnail(sourceOf(path, exif), 64, 48, ThumbMode::Safe);
        ASSERT_TRUE(thumb.ok());
        EXPECT_LT(test::meanAbsDiff(thumb.image, upright), 4.0) << "orientation " << exif;
        // The left half of the upright picture, cut through the stored file.
        const Rendered left = renderCrop(sourceOf(path, exif), {0, 0, 32, 48}, 32, 48, qRgb(0, 0, 0));
        EXPECT_LT(test::meanAbsDiff(left.image, upright.copy(0, 0, 32, 48)), 4.0) << "orientation " << exif;
        // Not applying the orientation gives the picture as stored.
        const Rendered raw = thumbnail(sourceOf(path, 1), stored.width(), stored.height(), ThumbMode::Safe);
        EXPECT_LT(test::meanAbsDiff(raw.image, stored), 4.0);
    }
}

TEST(Orientation, QuarterTurnsFollowTheUser) {
    TempDir dir;
    const QImage upright = test::quadrantImage(64, 48);
    const QString path = dir.write(QStringLiteral("q.jpg"), test::makeJpeg(upright));
    const Rendered left = thumbnail(sourceOf(path, 1, 1), 48, 64, ThumbMode::Safe);
    EXPECT_LT(test::meanAbsDiff(left.image, upright.transformed(QTransform().rotate(-90))), 4.0);
    const Rendered half = thumbnail(sourceOf(path, 1, 2), 64, 48, ThumbMode::Safe);
    EXPECT_LT(test::meanAbsDiff(half.image, upright.transformed(QTransform().rotate(180))), 4.0);
}

TEST(Thumbnail, FastAndSafeAgree) {
    TempDir dir;
    const QString path = dir.write(QStringLiteral("t.jpg"), test::makeJpeg(test::gradientImage(800, 600)));
    const Rendered fast = thumbnail(sourceOf(path), 200, 150, ThumbMode::Fast);
    const Rendered safe = thumbnail(sourceOf(path), 200, 150, ThumbMode::Safe);
    ASSERT_TRUE(fast.ok());
    ASSERT_TRUE(safe.ok());
    EXPECT_EQ(fast.image.size(), QSize(200, 150));
    EXPECT_LT(test::meanAbsDiff(fast.image, safe.image), 1.5);
}

TEST(BrokenFiles, FailCleanly) {
    TempDir dir;
    const QByteArray good = test::makeJpeg(test::gradientImage(200, 200));
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", QByteArray()},
        {"text", QByteArray("this is not a picture\n")},
        {"garbage after SOI", QByteArray("\xFF\xD8\xFF\xE0") + QByteArray(500, '\x13')},
        {"header cut", good.left(20)},
        {"header cut later", good.left(150)},
    };
    for (const auto& [name, bytes] : cases) {
        const QString path = dir.write(QStringLiteral("bad.jpg"), bytes);
        const PictureInfo info = probe(path);
        EXPECT_FALSE(info.ok()) << name;
        const Rendered thumb = thumbnail(sourceOf(path), 50, 50, ThumbMode::Fast);
        EXPECT_FALSE(thumb.ok()) << name;
        EXPECT_FALSE(thumb.error.isEmpty()) << name;
        EXPECT_FALSE(renderCrop(sourceOf(path), {0, 0, 10, 10}, 10, 10, 0).ok()) << name;
    }
    EXPECT_FALSE(probe(dir.file(QStringLiteral("missing.jpg"))).ok());
}

TEST(BrokenFiles, TruncatedDataStillGivesAPicture) {
    TempDir dir;
    for (const bool progressive : {false, true}) {
        JpegOptions o;
        o.progressive = progressive;
        const QByteArray good = test::makeJpeg(test::gradientImage(200, 200), o);
        const QString path = dir.write(QStringLiteral("cut.jpg"), good.left(good.size() * 6 / 10));
        const Rendered thumb = thumbnail(sourceOf(path), 100, 100, ThumbMode::Fast);
        ASSERT_TRUE(thumb.ok()) << thumb.error.toStdString();
        EXPECT_EQ(thumb.image.size(), QSize(100, 100));
    }
}

// A header may claim any size up to 65535 x 65535; no path may try to allocate for that.
TEST(BrokenFiles, HugeHeaderIsRefusedOrBounded) {
    TempDir dir;
    QByteArray bytes = test::makeJpeg(test::gradientImage(64, 64));
    const qsizetype sof = bytes.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(sof, 0);
    for (int i = 0; i < 4; ++i)
        bytes[sof + 5 + i] = '\xFF'; // height and width
    const QString path = dir.write(QStringLiteral("huge.jpg"), bytes);
    EXPECT_FALSE(probe(path).ok());
    EXPECT_FALSE(thumbnail(sourceOf(path), 200, 200, ThumbMode::Fast).ok());
    EXPECT_FALSE(thumbnail(sourceOf(path), 200, 200, ThumbMode::Safe).ok());
    EXPECT_FALSE(renderCrop(sourceOf(path), {0, 0, 65535, 65535}, 1920, 1080, 0).ok());
}

// A header claiming 32000 x 32000 in a file of a few hundred bytes took seconds of safe decoding to come
// out grey; it is refused from the header.
TEST(BrokenFiles, SizeImplausibleForTheFileIsRefusedFromTheHeader) {
    TempDir dir;
    QByteArray bytes = test::makeJpeg(test::gradientImage(64, 64));
    const qsizetype sof = bytes.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(sof, 0);
    const char size[] = {'\x7D', '\x00', '\x7D', '\x00'}; // 32000 x 32000
    for (int i = 0; i < 4; ++i)
        bytes[sof + 5 + i] = size[i];
    const QString path = dir.write(QStringLiteral("forged.jpg"), bytes);
    const PictureInfo info = probe(path);
    EXPECT_FALSE(info.ok());
    EXPECT_TRUE(info.error.contains(QStringLiteral("32000 x 32000 pixels cannot be held")))
        << info.error.toStdString();
    EXPECT_FALSE(thumbnail(sourceOf(path), 200, 200, ThumbMode::Safe).ok());
    // Real pictures of every kind stay far from the bound: a flat grey one compresses best.
    const QString flat = dir.write(QStringLiteral("flat.jpg"),
                                   test::makeJpeg(test::solidImage(6000, 4000, qRgb(128, 128, 128))));
    EXPECT_TRUE(probe(flat).ok());
}

TEST(OtherKinds, PngNamedJpgIsReadByContent) {
    TempDir dir;
    const QImage picture = test::quadrantImage(40, 30);
    const QString path = dir.write(QStringLiteral("IMG_1.JPG"), test::makePng(picture));
    const PictureInfo info = probe(path);
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info.kind, PictureKind::Other);
    EXPECT_EQ(info.size, QSize(40, 30));
    const Rendered thumb = thumbnail(sourceOf(path), 40, 30, ThumbMode::Fast);
    ASSERT_TRUE(thumb.ok());
    EXPECT_LT(test::meanAbsDiff(thumb.image, picture), 0.5);
    const Rendered turned = renderCrop(sourceOf(path, 1, 3), {0, 0, 30, 40}, 30, 40, 0);
    EXPECT_LT(test::meanAbsDiff(turned.image, picture.transformed(QTransform().rotate(90))), 0.5);
}

TEST(Masks, ScaledToTheDisplaySize) {
    TempDir dir;
    QImage mask(400, 300, QImage::Format_ARGB32);
    mask.fill(qRgba(0, 0, 0, 128));
    ASSERT_TRUE(mask.save(dir.file(QStringLiteral("A001.png"))));
    const QImage shown = loadMask(dir.file(QStringLiteral("A001.png")), {200, 150});
    EXPECT_EQ(shown.size(), QSize(200, 150));
    EXPECT_TRUE(shown.hasAlphaChannel());
    EXPECT_TRUE(loadMask(dir.file(QStringLiteral("none.png")), {200, 150}).isNull());
}

} // namespace
} // namespace zanfold
