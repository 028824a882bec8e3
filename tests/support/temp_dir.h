#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace zanfold::test {

// A fresh folder removed with everything in it when the test ends.
class TempDir {
public:
    TempDir();
    // The folder, without a trailing separator.
    QString path() const { return dir_.path(); }
    // A path inside the folder.
    QString file(const QString& relative) const { return dir_.filePath(relative); }
    // Writes a file (creating its folders) and returns its path.
    QString write(const QString& relative, const QByteArray& bytes) const;
    static QByteArray read(const QString& path);

private:
    QTemporaryDir dir_;
};

} // namespace zanfold::test
