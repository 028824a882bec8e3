#include "cli/console.h"

#include <atomic>

#include <io.h>

#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace zanfold {

namespace {

void (*interrupted)() = nullptr;
std::atomic<int> interruptions{0};

// Runs on a thread of its own that the system starts for the event.
BOOL WINAPI onConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
    if (interruptions.fetch_add(1) > 0 || !interrupted) return FALSE;
    interrupted();
    return TRUE;
}

HANDLE consoleOf(std::FILE* stream) {
    const HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : nullptr;
}

} // namespace

bool isTerminal(std::FILE* stream) {
    return consoleOf(stream) != nullptr;
}

void writeText(std::FILE* stream, const QString& text) {
    if (const HANDLE console = consoleOf(stream)) {
        std::fflush(stream);
        const std::wstring wide = text.toStdWString();
        DWORD written = 0;
        WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stream);
}

void onInterrupt(void (*handler)()) {
    interrupted = handler;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

} // namespace zanfold
