#pragma once

#include <QByteArray>
#include <QRect>
#include <QRectF>
#include <QString>

#include <ostream>

// Lets GoogleTest show Qt texts in failure messages instead of their bytes.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
    *os << "bytes[" << bytes.toHex(' ').toStdString() << ']';
}
inline void PrintTo(const QRectF& r, std::ostream* os) {
    *os << '(' << r.x() << ", " << r.y() << ' ' << r.width() << 'x' << r.height() << ')';
}
inline void PrintTo(const QRect& r, std::ostream* os) {
    PrintTo(QRectF(r), os);
}
