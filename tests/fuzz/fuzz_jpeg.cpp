// Pictures: probe the header, make both kinds of thumbnail, render a region.
#include "core/geometry.h"
#include "fuzz/fuzz_support.h"
#include "imaging/jpeg_codec.h"
#include "imaging/picture.h"

#include <QFile>

namespace zanfold::fuzz {

void writeSeeds(const QString& folder) {
    const struct {
        const char* name;
        int width, height, quality;
    } seeds[] = {{"small.jpg", 64, 48, 90}, {"tall.jpg", 33, 70, 50}, {"tiny.jpg", 8, 8, 100}};
    for (const auto& s : seeds) {
        QImage image(s.width, s.height, QImage::Format_RGB888);
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x)
                image.setPixel(x, y, qRgb(x * 7, y * 5, (x ^ y) * 3));
        QFile file(folder + QLatin1Char('/') + QString::fromLatin1(s.name));
        if (file.open(QIODevice::WriteOnly)) file.write(encodeJpeg(image, s.quality));
    }
}

} // namespace zanfold::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zanfold;
    using namespace zanfold::fuzz;
    const QString path = writeInput(QStringLiteral("input.jpg"), data, size);
    const PictureInfo info = probe(path);
    if (!info.ok()) return 0;
    const ImageSource source{path, info.orientation, 1};
    int width = info.size.width(), height = info.size.height();
    ZF_GETZOOM(200, 200, width, height);
    width = std::max(1, width);
    height = std::max(1, height);
    for (const ThumbMode mode : {ThumbMode::Fast, ThumbMode::Safe}) {
        const Rendered thumb = thumbnail(source, width, height, mode);
        if (thumb.ok() && thumb.image.size() != QSize(width, height)) broken("a thumbnail of the wrong size");
    }
    const QRect region(info.size.width() / 4, info.size.height() / 4, info.size.width() / 2 + 1,
                       info.size.height() / 2 + 1);
    const Rendered crop = renderCrop(source, region, 96, 64, qRgb(255, 255, 255));
    if (crop.ok() && crop.image.size() != QSize(96, 64)) broken("a crop of the wrong size");
    return 0;
}
