#include "imaging/orientation.h"

#include <cstring>

namespace zanfold {

namespace {

// One more counter-clockwise quarter turn after the given mapping.
Orient turnedLeft(Orient o) {
    if (o.swap) return {false, o.flipX, !o.flipY};
    return {true, !o.flipX, o.flipY};
}

} // namespace

Orient orientFor(int exifOrientation, int quarterTurnsCcw) {
    static constexpr Orient kExif[9] = {
        {},                    // unknown
        {false, false, false}, // 1 as stored
        {false, true, false},  // 2 mirrored left-right
        {false, true, true},   // 3 turned 180
        {false, false, true},  // 4 mirrored top-bottom
        {true, false, false},  // 5 transposed
        {true, false, true},   // 6 needs a clockwise turn
        {true, true, true},    // 7 transversed
        {true, true, false},   // 8 needs a counter-clockwise turn
    };
    Orient o = (exifOrientation >= 1 && exifOrientation <= 8) ? kExif[exifOrientation] : Orient{};
    for (int t = ((quarterTurnsCcw % 4) + 4) % 4; t > 0; --t)
        o = turnedLeft(o);
    return o;
}

QSize uprightSize(QSize stored, Orient orient) {
    return orient.swap ? stored.transposed() : stored;
}

QRect toStored(const QRect& upright, QSize stored, Orient orient) {
    const QRect r =
        orient.swap ? QRect(upright.y(), upright.x(), upright.height(), upright.width()) : upright;
    const int x = orient.flipX ? stored.width() - r.x() - r.width() : r.x();
    const int y = orient.flipY ? stored.height() - r.y() - r.height() : r.y();
    return {x, y, r.width(), r.height()};
}

QImage applyOrient(const QImage& stored, Orient orient) {
    if (orient.isIdentity() || stored.isNull()) return stored;
    const QImage src =
        stored.format() == QImage::Format_RGB888 ? stored : stored.convertToFormat(QImage::Format_RGB888);
    const int w = src.width(), h = src.height();
    const QSize size = uprightSize(src.size(), orient);
    QImage out(size, QImage::Format_RGB888);
    for (int v = 0; v < size.height(); ++v) {
        uchar* dst = out.scanLine(v);
        for (int u = 0; u < size.width(); ++u) {
            const int a = orient.swap ? v : u;
            const int b = orient.swap ? u : v;
            const int x = orient.flipX ? w - 1 - a : a;
            const int y = orient.flipY ? h - 1 - b : b;
            std::memcpy(dst + 3 * u, src.constScanLine(y) + 3 * x, 3);
        }
    }
    return out;
}

QImage rotateQuarters(const QImage& image, int quarterTurnsCcw) {
    return applyOrient(image, orientFor(1, quarterTurnsCcw));
}

} // namespace zanfold
