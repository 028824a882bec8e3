#include "imaging/regular_file.h"

#include "imaging/windows_system.h"

#include <algorithm>

namespace zanfold {

namespace {

// 100-nanosecond ticks since 1601, as nanoseconds since 1970.
qint64 unixNanoseconds(LARGE_INTEGER ticks) {
    return (ticks.QuadPart - 116444736000000000LL) * 100;
}

// The identity of an open handle; invalid for anything but a file on a disk (a console, a pipe, a
// device under a reserved name such as "CON.jpg").
FileIdentity identityOf(HANDLE handle) {
    FILE_BASIC_INFO basic{};
    LARGE_INTEGER size{};
    if (GetFileType(handle) != FILE_TYPE_DISK ||
        !GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic) ||
        (basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !GetFileSizeEx(handle, &size))
        return {};
    // The change time moves when the file is replaced or its data written, whatever the write time says.
    return {size.QuadPart, unixNanoseconds(basic.LastWriteTime), unixNanoseconds(basic.ChangeTime)};
}

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

} // namespace

PathKind pathKind(const QString& path) {
    if (path.isEmpty()) return PathKind::None;
    const DWORD attributes = GetFileAttributesW(nativePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::None;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Folder : PathKind::Other;
}

QStringList folderEntries(const QString& folder) {
    QStringList names;
    WIN32_FIND_DATAW entry{};
    const HANDLE find = FindFirstFileExW(nativePath(folder + QStringLiteral("/*")).c_str(), FindExInfoBasic,
                                         &entry, FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names << QString::fromWCharArray(entry.cFileName);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return names;
}

FileIdentity fileIdentity(const QString& path) {
    const HANDLE handle = CreateFileW(nativePath(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return {};
    const FileIdentity identity = identityOf(handle);
    CloseHandle(handle);
    return identity;
}

RegularFile::RegularFile(const QString& path) {
    if (pathKind(path) == PathKind::Folder) {
        error_ = {ERROR_DIRECTORY, QStringLiteral("不是普通文件（设备、管道或文件夹）")};
        return;
    }
    // Others may go on reading, writing, renaming or deleting it while it is read: what was read stays
    // bounded by the size it had now.
    const HANDLE handle = CreateFileW(nativePath(path).c_str(), GENERIC_READ, kShareAll, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error_ = lastWindowsError();
        return;
    }
    identity_ = identityOf(handle);
    if (!identity_.valid()) {
        error_ = {ERROR_INVALID_FUNCTION, QStringLiteral("不是普通文件（设备、管道或文件夹）")};
        CloseHandle(handle);
        return;
    }
    handle_ = reinterpret_cast<qintptr>(handle);
    left_ = identity_.size;
}

RegularFile::~RegularFile() {
    if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

qint64 RegularFile::read(char* buffer, qint64 max) {
    if (handle_ == -1) return -1;
    // One call reads at most what a DWORD counts.
    const qint64 want = std::min({max, left_, qint64(1) << 30});
    if (want <= 0) return 0;
    DWORD got = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(handle_), buffer, static_cast<DWORD>(want), &got, nullptr)) {
        error_ = lastWindowsError();
        return -1;
    }
    left_ -= got;
    // A file cut short ends where its data ends.
    if (got == 0) left_ = 0;
    return got;
}

} // namespace zanfold
