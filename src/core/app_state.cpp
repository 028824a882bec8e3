#include "core/app_state.h"

namespace zanfold {

int INITDATA(AppState& state) {
    const AppState initial;
    state.StripPaneWidth = initial.StripPaneWidth;
    state.ProjectFilter = initial.ProjectFilter;
    state.TemplateFile = initial.TemplateFile;
    return 1;
}

QString workCaption(const AppState& state) {
    if (state.AlbumPath.isEmpty()) return state.AppTitle;
    const QString project = state.ProjectPath.mid(state.ProjectPath.lastIndexOf(QLatin1Char('/')) + 1);
    return state.AppTitle + QStringLiteral(" - ") +
           (project.isEmpty() ? QString() : project + QStringLiteral(" - ")) + state.AlbumPath;
}

} // namespace zanfold
