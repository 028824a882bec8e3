#include "core/app_state.h"

namespace zanfold {

int INITDATA(AppState& state) {
    const AppState initial;
    state.StripPaneWidth = initial.StripPaneWidth;
    state.ProjectFilter = initial.ProjectFilter;
    state.TemplateFile = initial.TemplateFile;
    return 1;
}

} // namespace zanfold
