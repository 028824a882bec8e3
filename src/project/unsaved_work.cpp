#include "project/unsaved_work.h"

#include "project/project_file.h"

namespace zanfold {

bool hasUnsavedWork(const AppState& state) {
    return !state.WorkTemplates.empty() && state.History.changed();
}

QString unsavedWorkQuestion() {
    return QStringLiteral("工作尚未保存，是否保存？");
}

bool mayDropWork(AppState& state, Ui& ui) {
    if (!hasUnsavedWork(state)) return true;
    switch (ui.message(unsavedWorkQuestion(), Icon::Question, Buttons::YesNoCancel, {}, Answer::Cancel)) {
    case Answer::Yes:
        // A save the user cancelled or that failed keeps the work where it is.
        return SAVEPROJ(state, ui) == 1;
    case Answer::No:
        return true;
    default:
        return false;
    }
}

} // namespace zanfold
