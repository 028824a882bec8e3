#pragma once

#include "core/app_state.h"
#include "core/ui.h"

#include <QString>

namespace zanfold {

// Undo and redo of the work, and the names its steps go by.

// Commands "撤销" and "重做": take the last step back or do the next one again, then show the work as it
// was at that point, with the position the step changed selected and in view.
void UNDO(AppState& state, Ui& ui);
void REDO(AppState& state, Ui& ui);

// Lays out the tabs, the canvas, the strip, the status bar and the enabled commands for the work as it now
// is, with `focus` selected: the window after the work was restored.
void showRestoredWork(AppState& state, Ui& ui, const WorkFocus& focus);

// What the step of a command is called ("撤销 分配当前规格"); every command that can change the work has one.
QString stepName(int commandId);

// The steps of the canvas that are not commands.
QString dragStepName();
QString zoomStepName();
QString dropStepName();
// Successive zooms of one position join into one step.
long long zoomMergeKey(const AppState& state);

// The texts of the undo and redo entries: "撤销 移动照片", or "撤销" when there is nothing to undo.
QString undoEntryText(const WorkHistory& history);
QString redoEntryText(const WorkHistory& history);

} // namespace zanfold
