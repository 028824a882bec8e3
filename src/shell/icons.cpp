#include "shell/icons.h"

#include <QPainter>

namespace zanfold {

namespace {

QString renderingPath(const QString& name, int scale) {
    return scale == 1 ? QStringLiteral(":/icons/%1.png").arg(name)
                      : QStringLiteral(":/icons/%1@%2x.png").arg(name).arg(scale);
}

} // namespace

QIcon resourceIcon(const QString& name) {
    if (name.isEmpty()) return {};
    QIcon icon;
    for (int scale = 1; scale <= 3; ++scale)
        icon.addFile(renderingPath(name, scale));
    return icon;
}

void drawResourcePicture(QPainter& painter, const QString& name, const QRectF& target) {
    const QPixmap picture(renderingPath(name, 3));
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(target, picture, QRectF(picture.rect()));
    painter.restore();
}

QPixmap resourcePixmap(const QString& name, QSize size, qreal ratio, const QColor& background) {
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(background);
    QPainter painter(&pixmap);
    drawResourcePicture(painter, name, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

} // namespace zanfold
