#include "shell/single_instance.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace zanfold {

namespace {

QString wakeFile(const QString& folder) {
    return folder + QStringLiteral("/wake");
}

// The lock's file, in its folder made when missing.
QString lockFile(const QString& folder) {
    QDir().mkpath(folder);
    return folder + QStringLiteral("/lock");
}

} // namespace

QString instanceFolder() {
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty()) runtime = QDir::tempPath();
    return runtime + QStringLiteral("/zanfold-%1").arg(qEnvironmentVariable("USER", QStringLiteral("user")));
}

SingleInstance::SingleInstance(const QString& folder) : folder_(folder), lock_(lockFile(folder)) {
    lock_.setStaleLockTime(0);
}

bool SingleInstance::claim() {
    if (!lock_.tryLock(0)) return false;
    // A wake-up left from an earlier run means nothing now.
    QFile::remove(wakeFile(folder_));
    watcher_.addPath(folder_);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { checkWake(); });
    return true;
}

void SingleInstance::wakeFirst() {
    QFile file(wakeFile(folder_));
    if (file.open(QIODevice::WriteOnly)) file.write("1");
}

void SingleInstance::checkWake() {
    if (!QFile::exists(wakeFile(folder_))) return;
    QFile::remove(wakeFile(folder_));
    if (onWake) onWake();
}

} // namespace zanfold
