#pragma once

#include <QIcon>
#include <QString>

namespace zanfold {

// An icon of the program's resources by its name ("200", "16TemplateA"); none for an empty name.
inline QIcon resourceIcon(const QString& name) {
    return name.isEmpty() ? QIcon() : QIcon(QStringLiteral(":/icons/%1.svg").arg(name));
}

} // namespace zanfold
