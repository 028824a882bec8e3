#include "cli/console.h"

#include <csignal>

#include <unistd.h>

namespace zanfold {

namespace {

void (*interrupted)() = nullptr;

extern "C" void onSignal(int) {
    if (interrupted) interrupted();
}

} // namespace

bool isTerminal(std::FILE* stream) {
    return ::isatty(::fileno(stream)) != 0;
}

void writeText(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
}

void onInterrupt(void (*handler)()) {
    interrupted = handler;
    struct sigaction action {};
    action.sa_handler = onSignal;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

} // namespace zanfold
