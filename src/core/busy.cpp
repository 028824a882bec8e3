#include "core/busy.h"

namespace zanfold {

bool runExclusive(AppState& state, Ui& ui, const std::function<void()>& action) {
    if (state.CommandBusy) return false;
    state.CommandBusy = true;
    state.CancelRequested.clear();
    ui.setBusy(true);
    action();
    state.CommandBusy = false;
    ui.setBusy(false);
    if (state.CloseRequested) ui.quit();
    return true;
}

bool mayCloseNow(AppState& state, Ui& ui) {
    if (!state.CommandBusy) return true;
    if (!state.CloseRequested) ui.setStatus(1, closingLaterText());
    state.CloseRequested = true;
    return false;
}

QString closingLaterText() {
    return QStringLiteral("正在进行的工作完成后将关闭程序……");
}

} // namespace zanfold
