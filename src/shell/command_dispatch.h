#pragma once

#include "core/app_state.h"
#include "core/ui.h"

#include <QString>

namespace zanfold {

// Every toolbar button, menu item and shortcut arrives here as its command number. A command that arrives
// while another is still running (an import or a batch lets the window work meanwhile) is dropped.
void CMDEVENT(AppState& state, Ui& ui, int id);

// The shortcut list of "快捷键" (F1).
QString keyHelpText();

} // namespace zanfold
