#include "support/system_faults.h"

#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <QDir>

namespace zanfold::test {

QString setModifiedTime(const QString& path, qint64 nanoseconds) {
    const HANDLE file =
        CreateFileW(QDir::toNativeSeparators(path).toStdWString().c_str(), FILE_WRITE_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return QStringLiteral("CreateFileW: error %1").arg(GetLastError());
    // 100-nanosecond ticks since 1601.
    const qint64 ticks = nanoseconds / 100 + 116444736000000000LL;
    FILETIME time{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
    const bool set = SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
    return set ? QString() : QStringLiteral("SetFileTime: error %1").arg(GetLastError());
}

QString makeSpecialFile(const QString&, const char*, const QString&) {
    return QStringLiteral("a Windows folder holds no devices or pipes under a file's name");
}

QString makeFolderUnderRawName(const QByteArray&) {
    return QStringLiteral("Windows keeps every name in UTF-16: there are no names in another encoding");
}

QString writeUnderRawName(const QByteArray&, const QByteArray&) {
    return makeFolderUnderRawName({});
}

QByteArray systemBytes(const QString& path) {
    return path.toUtf8();
}

QString interrupt(qint64) {
    return QStringLiteral("a console event cannot be sent to one process of another console under Wine");
}

QString killedHalfway(const std::function<bool()>&) {
    return posixOnly("a process is killed halfway by forking it");
}

QString mountSmallDisk(const QString&, int) {
    return posixOnly("a small disk is mounted only where the system mounts one for a user");
}

void unmountDisk(const QString&) {}

QString withFileSizeLimit(qint64, const std::function<void()>&) {
    return posixOnly("no limit on a file's size for a process");
}

int permissionBits(const QString&) {
    return -1;
}

QString setPermissionBits(const QString&, int) {
    return posixOnly("permission bits");
}

int creationMask() {
    return 0;
}

QString posixOnly(const char* what) {
    return QStringLiteral("not on Windows: ") + QLatin1String(what);
}

} // namespace zanfold::test
