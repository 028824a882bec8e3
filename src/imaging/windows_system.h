#pragma once

// What the Windows files of this folder share: the system's error texts and the paths it is given.

#include "imaging/file_utils.h"

#include <QDir>
#include <QString>

#include <string>

#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace zanfold {

// The system's reason for an error, in the language of the user's Windows.
inline FileError windowsError(DWORD code) {
    if (code == ERROR_SUCCESS) code = ERROR_GEN_FAILURE;
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const QString description = length > 0 ? QString::fromWCharArray(text, length).trimmed()
                                           : QStringLiteral("系统错误 %1").arg(code);
    LocalFree(text);
    return {static_cast<int>(code), description};
}

inline FileError lastWindowsError() {
    return windowsError(GetLastError());
}

// The path as the wide-character API takes it; a long absolute one in its extended form, so album
// folders nested deeply still open.
inline std::wstring nativePath(const QString& path) {
    QString native = QDir::toNativeSeparators(path);
    if (native.size() >= MAX_PATH - 12 && QDir::isAbsolutePath(path)) {
        native = QDir::toNativeSeparators(QDir::cleanPath(path));
        if (native.startsWith(QStringLiteral("\\\\")))
            native = QStringLiteral("\\\\?\\UNC\\") + native.mid(2);
        else
            native = QStringLiteral("\\\\?\\") + native;
    }
    return native.toStdWString();
}

} // namespace zanfold
