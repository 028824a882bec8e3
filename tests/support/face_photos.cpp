#include "support/face_photos.h"

#include <QPainter>

#include <algorithm>

namespace zanfold::test {

namespace {

// A frontal face of 109 pixels, as dlib's example labels give its box.
const char* const kExamplePhoto = "/usr/share/doc/libdlib19.1/examples/faces/2008_002506.jpg";
const QRectF kExampleFace(329, 78, 109, 109);

} // namespace

QImage facelessPicture(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB888);
    unsigned noise = 12345;
    for (int y = 0; y < height; ++y) {
        uchar* row = picture.scanLine(y);
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int grain = static_cast<int>((noise >> 16) & 15) - 8;
            row[3 * x] = static_cast<uchar>(std::clamp(60 + 120 * x / width + grain, 0, 255));
            row[3 * x + 1] = static_cast<uchar>(std::clamp(90 + 100 * y / height + grain, 0, 255));
            row[3 * x + 2] = static_cast<uchar>(std::clamp(140 + grain, 0, 255));
        }
    }
    return picture;
}

QImage pictureWithFaces(int width, int height, const std::vector<QRect>& faces) {
    const QImage example(QString::fromLatin1(kExamplePhoto));
    if (example.isNull()) return {};
    QImage picture = facelessPicture(width, height);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // The head and shoulders around the face's box, so the detector sees a whole head.
    const QRectF around = kExampleFace.adjusted(-30, -40, 30, 50) & QRectF(example.rect());
    for (const QRect& face : faces) {
        const double kx = face.width() / kExampleFace.width(), ky = face.height() / kExampleFace.height();
        const QRectF target(face.x() - (kExampleFace.x() - around.x()) * kx,
                            face.y() - (kExampleFace.y() - around.y()) * ky, around.width() * kx,
                            around.height() * ky);
        painter.drawImage(target, example, around);
    }
    painter.end();
    return picture;
}

} // namespace zanfold::test
