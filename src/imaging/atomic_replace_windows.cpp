#include "imaging/file_utils.h"

#include "imaging/windows_system.h"

#include <QRandomGenerator>

namespace zanfold {

FileError writeFileAtomically(const QString& path, const QByteArray& data) {
    // A name of its own beside the target, so the replacing move stays on the same volume.
    HANDLE file = INVALID_HANDLE_VALUE;
    QString temporary;
    for (int attempt = 0; file == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = path + QStringLiteral(".%1.tmp").arg(QRandomGenerator::global()->generate(), 8, 16,
                                                         QLatin1Char('0'));
        file = CreateFileW(nativePath(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && (GetLastError() != ERROR_FILE_EXISTS || attempt > 100))
            return lastWindowsError();
    }
    const std::wstring temporaryPath = nativePath(temporary);
    // Every step is checked: a write cut short, the flush to the disk and the move each report the
    // system's reason, and the old file is replaced only by a complete new one.
    auto fail = [&](DWORD code, bool open) {
        if (open) CloseHandle(file);
        DeleteFileW(temporaryPath.c_str());
        return windowsError(code);
    };
    for (qsizetype done = 0; done < data.size();) {
        const DWORD chunk = static_cast<DWORD>(std::min<qsizetype>(data.size() - done, qsizetype(1) << 30));
        DWORD written = 0;
        if (!WriteFile(file, data.constData() + done, chunk, &written, nullptr))
            return fail(GetLastError(), true);
        if (written == 0) return fail(ERROR_WRITE_FAULT, true);
        done += written;
    }
    if (!FlushFileBuffers(file)) return fail(GetLastError(), true);
    if (!CloseHandle(file)) return fail(GetLastError(), false);
    if (!MoveFileExW(temporaryPath.c_str(), nativePath(path).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return fail(GetLastError(), false);
    return {};
}

} // namespace zanfold
