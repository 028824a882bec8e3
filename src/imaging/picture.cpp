#include "imaging/picture.h"

#include "imaging/faces.h"
#include "imaging/jpeg_codec.h"
#include "imaging/orientation.h"
#include "imaging/regular_file.h"
#include "imaging/resample.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageReader>

#include <optional>

namespace zanfold {

namespace {

// Outputs and thumbnails beyond this are refused before anything is allocated.
constexpr qint64 kMaxOutputPixels = qint64(1) << 28;

// The smallest scale n/8 at which the stored rectangle still has the output's resolution.
int pickEighths(QSize region, QSize out) {
    for (int eighths : {1, 2, 4}) {
        if (region.width() * eighths >= 8 * out.width() && region.height() * eighths >= 8 * out.height())
            return eighths;
    }
    return 8;
}

struct Request {
    std::optional<QRect> rect; // upright full-size pixels; none = the whole picture
    QSize out;                 // upright
    QRgb background = qRgb(255, 255, 255);
    bool allowScaling = true;
    bool fast = false;
    bool manageColour = true;
    bool grey = false; // also the picture for face detection (whole pictures only)
};

// The request in the stored picture's own orientation: resampling happens there, and only the finished
// output (small) is turned upright.
struct Plan {
    Orient orient;
    QRect region;    // stored full-size pixels
    QSize outStored; // output size before turning upright
};

Plan planFor(const ImageSource& source, QSize stored, const Request& req) {
    Plan p;
    p.orient = orientFor(source.orientation, source.quarterTurns);
    const QRect upright = req.rect.value_or(QRect(QPoint(0, 0), uprightSize(stored, p.orient)));
    p.region = toStored(upright, stored, p.orient);
    p.outStored = p.orient.swap ? req.out.transposed() : req.out;
    return p;
}

// The smallest scale n/8 whose picture is large enough to look for faces in.
int greyEighths(QSize region) {
    const int longSide = std::max(region.width(), region.height());
    for (int eighths : {1, 2, 4}) {
        if (longSide * eighths >= 8 * kFaceDetectionMinSide) return eighths;
    }
    return 8;
}

// The plan of the grey picture beside `p`: the same region at the detection size, or at what the decode
// scale `eighths` gives when that is less.
Plan greyPlanFor(const Plan& p, int eighths) {
    Plan g = p;
    g.outStored = faceDetectionSize(p.region.size() * eighths / 8);
    return g;
}

QImage greyPicture(const QImage& rgb, const Orient& orient) {
    return applyOrient(rgb, orient).convertToFormat(QImage::Format_Grayscale8);
}

// A resampler from the picture decoded at scale k (its size `scaled`) to the output.
StreamResampler resamplerFor(const Plan& p, double k, QSize scaled, QRgb background) {
    return StreamResampler(
        makeAxisFilter(p.region.x() * k, p.region.width() * k, scaled.width(), p.outStored.width()),
        makeAxisFilter(p.region.y() * k, p.region.height() * k, scaled.height(), p.outStored.height()),
        background);
}

Rendered renderJpeg(JpegReader& reader, const ImageSource& source, const Request& req) {
    if (!reader.ok()) return {{}, reader.error()};
    const Plan plan = planFor(source, reader.size(), req);
    int eighths = req.allowScaling ? pickEighths(plan.region.size(), plan.outStored) : 8;
    if (req.grey) eighths = std::max(eighths, greyEighths(plan.region.size()));
    const Plan greyPlan = greyPlanFor(plan, eighths);
    const QSize scaled = reader.scaledSize(eighths);
    StreamResampler resampler = resamplerFor(plan, eighths / 8.0, scaled, req.background);
    std::optional<StreamResampler> greyResampler;
    if (req.grey) greyResampler.emplace(resamplerFor(greyPlan, eighths / 8.0, scaled, req.background));
    auto needOf = [](const StreamResampler& r) {
        return QRect(r.firstColumn(), r.firstRow(), r.endColumn() - r.firstColumn(),
                     r.endRow() - r.firstRow());
    };
    const QRect need = greyResampler ? needOf(resampler) | needOf(*greyResampler) : needOf(resampler);
    // CMYK rows become RGB through the profile as they are decoded; RGB photos convert the finished picture,
    // so the cost goes with the output's pixels, not the photo's.
    const ColourPlan colour = req.manageColour ? reader.colourPlan() : ColourPlan{};
    const ColourTransform* rows = reader.cmyk() ? colour.transform.get() : nullptr;
    if (!need.isEmpty()) {
        const bool ok = reader.decode(
            eighths, need,
            [&](int y, const uchar* rgb, int x0) {
                resampler.pushRow(y, rgb, x0);
                if (greyResampler) greyResampler->pushRow(y, rgb, x0);
            },
            req.fast, rows);
        if (!ok) return {{}, reader.error()};
    }
    QImage picture = resampler.finish();
    if (colour.transform && !rows) {
        for (int y = 0; y < picture.height(); ++y)
            colour.transform->toSrgb(picture.constScanLine(y), picture.scanLine(y), picture.width());
    }
    Rendered done{applyOrient(picture, plan.orient), {}, reader.damaged()};
    done.profileUnusable = reader.profileRejected();
    if (greyResampler) done.grey = greyPicture(greyResampler->finish(), plan.orient);
    return done;
}

// A picture of another kind than JPEG from the file's bytes.
QImage readOther(const QByteArray& bytes, QString* error) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    const QImage picture = reader.read();
    if (picture.isNull() && error) *error = reader.errorString();
    return picture;
}

Rendered renderOther(JpegReader& opened, const ImageSource& source, const Request& req) {
    QString error;
    const QByteArray bytes = opened.otherPicture(&error);
    if (!error.isEmpty()) return {{}, error};
    QImage picture = readOther(bytes, &error);
    if (picture.isNull()) return {{}, error};
    // Pictures of other kinds carry their colour space with them; Qt converts those itself.
    if (req.manageColour && picture.colorSpace().isValid() && picture.colorSpace() != QColorSpace::SRgb)
        picture.convertToColorSpace(QColorSpace::SRgb);
    if (picture.hasAlphaChannel()) {
        // Transparent parts show the background, as they would behind the photo.
        QImage flat(picture.size(), QImage::Format_RGB888);
        flat.fill(req.background);
        QImage argb = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < argb.height(); ++y) {
            const QRgb* src = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            uchar* dst = flat.scanLine(y);
            for (int x = 0; x < argb.width(); ++x) {
                const int a = qAlpha(src[x]);
                dst[3 * x] = static_cast<uchar>(qRed(src[x]) + dst[3 * x] * (255 - a) / 255);
                dst[3 * x + 1] = static_cast<uchar>(qGreen(src[x]) + dst[3 * x + 1] * (255 - a) / 255);
                dst[3 * x + 2] = static_cast<uchar>(qBlue(src[x]) + dst[3 * x + 2] * (255 - a) / 255);
            }
        }
        picture = flat;
    } else {
        picture = picture.convertToFormat(QImage::Format_RGB888);
    }
    const Plan plan = planFor(source, picture.size(), req);
    StreamResampler resampler = resamplerFor(plan, 1.0, picture.size(), req.background);
    std::optional<StreamResampler> greyResampler;
    if (req.grey)
        greyResampler.emplace(resamplerFor(greyPlanFor(plan, 8), 1.0, picture.size(), req.background));
    // Each resampler takes the rows it needs of every row given.
    for (int y = 0; y < picture.height(); ++y) {
        resampler.pushRow(y, picture.constScanLine(y), 0);
        if (greyResampler) greyResampler->pushRow(y, picture.constScanLine(y), 0);
    }
    Rendered done{applyOrient(resampler.finish(), plan.orient), {}};
    if (greyResampler) done.grey = greyPicture(greyResampler->finish(), plan.orient);
    return done;
}

Rendered render(const ImageSource& source, const Request& req) {
    if (req.out.width() <= 0 || req.out.height() <= 0 ||
        qint64(req.out.width()) * req.out.height() > kMaxOutputPixels)
        return {{}, QStringLiteral("invalid output size %1 x %2").arg(req.out.width()).arg(req.out.height())};
    // One open of the file: recognised by its first bytes, then read by the right decoder.
    JpegReader reader(source.file);
    // A photo replaced or rewritten since its record was made would be cut with the old one's geometry.
    if (source.identity.valid() && reader.identity().valid() && reader.identity() != source.identity)
        return {{}, photoChangedText()};
    if (reader.isJpeg()) return renderJpeg(reader, source, req);
    return renderOther(reader, source, req);
}

} // namespace

QString photoChangedText() {
    return QStringLiteral("照片文件在导入后已被修改或替换");
}

PictureInfo probe(const QString& path) {
    PictureInfo info;
    JpegReader reader(path);
    if (reader.isJpeg()) {
        if (!reader.ok()) {
            info.error = reader.error();
            return info;
        }
        info.kind = PictureKind::Jpeg;
        info.size = reader.size();
        info.orientation = reader.orientation();
        return info;
    }
    const QByteArray bytes = reader.otherPicture(&info.error);
    if (!info.error.isEmpty()) return info;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader other(&buffer);
    other.setDecideFormatFromContent(true);
    const QSize size = other.canRead() ? other.size() : QSize();
    if (!size.isValid() || size.isEmpty()) {
        info.error = other.errorString();
        return info;
    }
    info.kind = PictureKind::Other;
    info.size = size;
    return info;
}

Rendered thumbnail(const ImageSource& source, int width, int height, ThumbMode mode, bool manageColour,
                   bool grey) {
    Request req;
    req.manageColour = manageColour;
    req.grey = grey;
    req.out = QSize(width, height);
    req.allowScaling = mode == ThumbMode::Fast;
    req.fast = mode == ThumbMode::Fast;
    return render(source, req);
}

Rendered renderCrop(const ImageSource& source, const QRect& rect, int outWidth, int outHeight, QRgb backColor,
                    bool manageColour) {
    Request req;
    req.manageColour = manageColour;
    req.rect = rect;
    req.out = QSize(outWidth, outHeight);
    req.background = backColor;
    return render(source, req);
}

QImage loadMask(const QString& path, QSize displaySize) {
    RegularFile file(path);
    const QImage mask = readOther(file.readAll(), nullptr);
    if (mask.isNull() || displaySize.isEmpty()) return {};
    return mask.convertToFormat(QImage::Format_ARGB32_Premultiplied)
        .scaled(displaySize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace zanfold
