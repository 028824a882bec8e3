#pragma once

#include <QByteArray>
#include <QImage>

namespace zanfold::test {

// How a test JPEG is written: every kind of file cameras and editors produce.
struct JpegOptions {
    enum class Color { Rgb, Gray, Cmyk, Ycck };
    int quality = 95;
    bool progressive = false;
    int lumaH = 2, lumaV = 2; // sampling of the first component: 2x2 is 4:2:0, 2x1 4:2:2, 1x1 4:4:4
    Color color = Color::Rgb;
    int restartRows = 0; // restart marker every n MCU rows
    int exifOrientation = 0;
    QByteArray iccProfile; // embedded as APP2 chunks when not empty
};

// Encodes the picture with libjpeg-turbo as the options say.
QByteArray makeJpeg(const QImage& picture, const JpegOptions& options = {});

// The picture as PNG bytes.
QByteArray makePng(const QImage& picture);

// Test pictures, RGB888.
QImage gradientImage(int width, int height);          // smooth red/green ramps, blue constant
QImage checkerImage(int width, int height, int cell); // black and white squares
QImage quadrantImage(int width, int height);          // red, green, blue, yellow quarters
QImage solidImage(int width, int height, QRgb colour);

// Mean absolute difference per channel of two pictures of the same size (255 when the sizes differ).
double meanAbsDiff(const QImage& a, const QImage& b);

} // namespace zanfold::test
