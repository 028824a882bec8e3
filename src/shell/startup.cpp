#include "shell/startup.h"

#include "settings/settings_store.h"
#include "templates/library_file.h"

#include <QDir>

namespace zanfold {

void startUp(AppState& state, Ui& ui, const QString& dataFolder) {
    state.AppTitle = QStringLiteral("Zanfold2015");
    QDir::setCurrent(dataFolder);
    if (INITDATA(state)) TEMPLATE_LOAD(state, ui);
    LOADOPTIONS(state, dataFolder);
}

} // namespace zanfold
