#pragma once

#include "core/app_state.h"
#include "core/ui.h"

#include <QString>

namespace zanfold {

// The work has at least one template and changed since it was imported, opened or saved.
bool hasUnsavedWork(const AppState& state);

QString unsavedWorkQuestion();

// Before the work is closed or replaced: with unsaved work, asks whether to save it (是/否/取消, 取消 the
// default). True when the caller may go on: nothing was unsaved, the user chose not to save, or saved.
bool mayDropWork(AppState& state, Ui& ui);

} // namespace zanfold
