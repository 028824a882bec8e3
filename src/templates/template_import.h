#pragma once

#include "core/app_state.h"
#include "core/ui.h"

namespace zanfold {

// Asks for a template project file (*.aep) and turns the placeholders of its "照片" folder into a library
// template: one specification per run of names with the same first character, sized by the first
// placeholder of the run (read from its header). Appends it to the lists and the library file.
// Returns the new template's index, or -1 when nothing was added. `saved` tells whether the library file
// took it too (when it did not, the template lives in the lists until the program ends).
int TEMPLATE_IMPORT(AppState& state, Ui& ui, bool* saved = nullptr);

// The same without the dialog, for a chosen project file.
int importTemplate(AppState& state, Ui& ui, const QString& projectFile, bool* saved = nullptr);

// "模板数量： N": the template window's status text.
QString templateCountText(const AppState& state);

// "模板名称不能重复！", an empty line and the name in single quotes.
QString duplicateNameText(const QString& name);

} // namespace zanfold
