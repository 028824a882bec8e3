#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QRectF>
#include <QSize>
#include <QString>

class QPainter;

namespace zanfold {

// The program's pictures are drawn once, at build time, at one, two and three times their size, so they
// stay sharp on high-density screens without a vector renderer at run time.

// An icon of the program's resources by its name ("200", "16TemplateA"); none for an empty name.
QIcon resourceIcon(const QString& name);

// Draws the picture into the rectangle from its sharpest rendering.
void drawResourcePicture(QPainter& painter, const QString& name, const QRectF& target);

// The picture filling a pixmap of `size` device-independent pixels at the given pixel ratio.
QPixmap resourcePixmap(const QString& name, QSize size, qreal ratio, const QColor& background);

} // namespace zanfold
