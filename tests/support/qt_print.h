#pragma once

#include <QByteArray>
#include <QString>

#include <ostream>

// Lets GoogleTest show Qt texts in failure messages instead of their bytes.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
    *os << "bytes[" << bytes.toHex(' ').toStdString() << ']';
}
