#include "core/busy.h"

namespace zanfold {

bool runExclusive(AppState& state, Ui& ui, const std::function<void()>& action) {
    if (state.CommandBusy) return false;
    state.CommandBusy = true;
    action();
    state.CommandBusy = false;
    if (state.CloseRequested) ui.quit();
    return true;
}

bool mayCloseNow(AppState& state) {
    if (!state.CommandBusy) return true;
    state.CloseRequested = true;
    return false;
}

} // namespace zanfold
