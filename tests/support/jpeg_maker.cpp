#include "support/jpeg_maker.h"

#include <QBuffer>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace zanfold::test {

QByteArray makePng(const QImage& picture) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return png;
}

QByteArray makeJpeg(const QImage& picture, const JpegOptions& o) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = static_cast<JDIMENSION>(rgb.width());
    c.image_height = static_cast<JDIMENSION>(rgb.height());
    const bool gray = o.color == JpegOptions::Color::Gray;
    const bool cmyk = o.color == JpegOptions::Color::Cmyk || o.color == JpegOptions::Color::Ycck;
    c.input_components = gray ? 1 : cmyk ? 4 : 3;
    c.in_color_space = gray ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&c);
    if (o.color == JpegOptions::Color::Ycck) jpeg_set_colorspace(&c, JCS_YCCK);
    jpeg_set_quality(&c, o.quality, TRUE);
    if (!gray) {
        c.comp_info[0].h_samp_factor = o.lumaH;
        c.comp_info[0].v_samp_factor = o.lumaV;
    }
    if (o.progressive) jpeg_simple_progression(&c);
    c.restart_in_rows = o.restartRows;
    jpeg_start_compress(&c, TRUE);
    if (o.exifOrientation > 0) {
        // Little-endian TIFF with one IFD0 entry: Orientation (0x0112), SHORT, count 1.
        const unsigned char exif[] = {'E', 'x',  'i',  'f', 0,
                                      0,   'I',  'I',  42,  0,
                                      8,   0,    0,    0,   1,
                                      0,   0x12, 0x01, 3,   0,
                                      1,   0,    0,    0,   static_cast<unsigned char>(o.exifOrientation),
                                      0,   0,    0,    0,   0,
                                      0,   0};
        jpeg_write_marker(&c, JPEG_APP0 + 1, exif, sizeof exif);
    }
    if (!o.iccProfile.isEmpty())
        jpeg_write_icc_profile(&c, reinterpret_cast<const JOCTET*>(o.iccProfile.constData()),
                               static_cast<unsigned>(o.iccProfile.size()));
    std::vector<unsigned char> row(static_cast<size_t>(rgb.width()) * c.input_components);
    while (c.next_scanline < c.image_height) {
        const uchar* src = rgb.constScanLine(static_cast<int>(c.next_scanline));
        for (int x = 0; x < rgb.width(); ++x) {
            const uchar r = src[3 * x], g = src[3 * x + 1], b = src[3 * x + 2];
            if (gray) {
                row[x] = static_cast<unsigned char>(std::lround(0.299 * r + 0.587 * g + 0.114 * b));
            } else if (cmyk) {
                // Adobe's inverted CMYK with no black ink: the stored values are the RGB values, K is 255.
                unsigned char* p = &row[4 * static_cast<size_t>(x)];
                p[0] = r;
                p[1] = g;
                p[2] = b;
                p[3] = 255;
            } else {
                row[3 * x] = r;
                row[3 * x + 1] = g;
                row[3 * x + 2] = b;
            }
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    QByteArray out(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    jpeg_destroy_compress(&c);
    std::free(buffer);
    return out;
}

QImage gradientImage(int width, int height) {
    QImage img(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        uchar* p = img.scanLine(y);
        for (int x = 0; x < width; ++x) {
            p[3 * x] = static_cast<uchar>(x * 255 / std::max(1, width - 1));
            p[3 * x + 1] = static_cast<uchar>(y * 255 / std::max(1, height - 1));
            p[3 * x + 2] = 128;
        }
    }
    return img;
}

QImage checkerImage(int width, int height, int cell) {
    QImage img(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        uchar* p = img.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const uchar v = ((x / cell + y / cell) % 2) ? 255 : 0;
            p[3 * x] = p[3 * x + 1] = p[3 * x + 2] = v;
        }
    }
    return img;
}

QImage quadrantImage(int width, int height) {
    QImage img(width, height, QImage::Format_RGB888);
    const QRgb colours[4] = {qRgb(220, 30, 30), qRgb(30, 200, 30), qRgb(30, 30, 220), qRgb(230, 220, 30)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.setPixel(x, y, colours[(y >= height / 2) * 2 + (x >= width / 2)]);
    return img;
}

QImage solidImage(int width, int height, QRgb colour) {
    QImage img(width, height, QImage::Format_RGB888);
    img.fill(colour);
    return img;
}

double meanAbsDiff(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.isNull()) return 255;
    const QImage x = a.convertToFormat(QImage::Format_RGB888), y = b.convertToFormat(QImage::Format_RGB888);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const uchar* p = x.constScanLine(row);
        const uchar* q = y.constScanLine(row);
        for (int i = 0; i < x.width() * 3; ++i)
            sum += std::abs(int(p[i]) - int(q[i]));
    }
    return sum / (double(x.width()) * x.height() * 3);
}

} // namespace zanfold::test
