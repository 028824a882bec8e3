#pragma once

#include "core/app_state.h"
#include "core/ui.h"

#include <functional>

namespace zanfold {

// The one owner of "work is running". Every user action (a command, a dropped folder) runs through it: an
// action that arrives while another still runs is dropped, since an import or a batch keeps the window
// alive meanwhile. While it runs, CommandBusy is set and the window takes no input. Returns false when
// the action was dropped.
bool runExclusive(AppState& state, Ui& ui, const std::function<void()>& action);

// The window's close request: true when it may close now. While an action runs the close is remembered,
// the status bar says so, and the program quits as soon as that action has finished.
bool mayCloseNow(AppState& state, Ui& ui);

// What the status bar says after a close request during running work.
QString closingLaterText();

} // namespace zanfold
