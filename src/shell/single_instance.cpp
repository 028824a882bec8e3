#include "shell/single_instance.h"

#include "imaging/file_utils.h"

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

void SingleInstance::wakeFirst(const QString& file) {
    // Written whole before it appears, so the running program never reads half a name.
    writeFileAtomically(wakeFile(folder_), file.toUtf8());
}

void SingleInstance::checkWake() {
    QFile wake(wakeFile(folder_));
    if (!wake.open(QIODevice::ReadOnly)) return;
    const QString file = QString::fromUtf8(wake.readAll());
    wake.close();
    wake.remove();
    if (onWake) onWake(file);
}

} // namespace zanfold
