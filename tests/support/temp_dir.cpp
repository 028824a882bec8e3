#include "support/temp_dir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace zanfold::test {

TempDir::TempDir() {
    EXPECT_TRUE(dir_.isValid()) << "cannot create a temporary folder";
}

QString TempDir::write(const QString& relative, const QByteArray& bytes) const {
    const QString target = file(relative);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile out(target);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly)) << target.toStdString();
    out.write(bytes);
    return target;
}

QByteArray TempDir::read(const QString& path) {
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) return {};
    return in.readAll();
}

} // namespace zanfold::test
