#include "cli/console_ui.h"

#include "cli/console.h"

#include <atomic>
#include <cstdio>

namespace zanfold {

namespace {

const char* iconWord(Icon icon) {
    switch (icon) {
    case Icon::Information:
        return "info";
    case Icon::Warning:
    case Icon::Exclamation:
        return "warning";
    case Icon::Error:
        return "error";
    case Icon::Question:
        return "question";
    default:
        return "message";
    }
}

} // namespace

namespace {

// Set by the signal handler, read while work runs; lock-free, so the handler may touch it.
std::atomic<bool> stopSignalled{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void onStopSignal() {
    stopSignalled.store(true);
}

} // namespace

ConsoleUi::ConsoleUi() : terminal_(isTerminal(stderr)) {}

void ConsoleUi::stopOnSignals(CancelFlag& cancel) {
    cancel_ = &cancel;
    onInterrupt(onStopSignal);
}

void ConsoleUi::processEvents() {
    if (cancel_ && stopSignalled.load()) cancel_->request();
}

Answer ConsoleUi::message(const QString& text, Icon icon, Buttons buttons, const QString&, Answer) {
    if (icon == Icon::Warning || icon == Icon::Error || icon == Icon::Exclamation) ++problems_;
    // Confirmations are answered silently; a question with 是/否 carries a summary the user must read.
    if (icon != Icon::Question || buttons == Buttons::YesNo)
        writeText(stderr, QStringLiteral("%1%2: %3\n")
                              .arg(terminal_ && lastPercent_ >= 0 ? QStringLiteral("\n") : QString(),
                                   QLatin1String(iconWord(icon)), text));
    return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
}

QString ConsoleUi::browseFolder(const QString&, const QString&) {
    return {};
}
QString ConsoleUi::openFile(const QString&, const QString&, const QString&) {
    return {};
}
QString ConsoleUi::saveFile(const QString&, const QString&, const QString&, const QString&) {
    return {};
}

void ConsoleUi::setStatus(int, const QString&) {}

void ConsoleUi::progress(int value, int max) {
    const int percent = max > 0 ? value * 100 / max : 100;
    if (percent == lastPercent_) return;
    if (terminal_) {
        const int filled = percent * 30 / 100;
        std::fprintf(stderr, "\r[%s%s] %3d%% (%d/%d)", QByteArray(filled, '#').constData(),
                     QByteArray(30 - filled, '.').constData(), percent, value, max);
    } else if (percent / 10 != lastPercent_ / 10 || value == max) {
        std::fprintf(stderr, "progress %d/%d\n", value, max);
    }
    std::fflush(stderr);
    lastPercent_ = percent;
}

void ConsoleUi::hideProgress() {
    if (terminal_ && lastPercent_ >= 0) std::fprintf(stderr, "\n");
    lastPercent_ = -1;
}

} // namespace zanfold
