#pragma once

#include "core/app_state.h"
#include "core/ui.h"

namespace zanfold {

// Brings the state up in the order of start-up, before the window exists: title, initial values, the
// template library (any problem shown through ui), then the settings. `dataFolder` holds both files and
// becomes the current folder, so the library's bare file name resolves there.
void startUp(AppState& state, Ui& ui, const QString& dataFolder);

} // namespace zanfold
