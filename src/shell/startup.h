#pragma once

#include "core/app_state.h"
#include "core/ui.h"

#include <QStringList>

class QCoreApplication;

namespace zanfold {

// Brings the state up in the order of start-up, before the window exists: title, initial values, the
// template library (any problem shown through ui), then the settings. `dataFolder` holds both files and
// becomes the current folder, so the library's bare file name resolves there.
void startUp(AppState& state, Ui& ui, const QString& dataFolder);

// The project file the program was started with (a .zpj opened from the desktop), as an absolute path;
// empty when none was given.
QString givenProject(const QStringList& arguments);

// Opens a project given by a start of the program, unless other work is running.
void openGivenFile(AppState& state, Ui& ui, const QString& file);

// Qt's own Chinese translations, so the standard dialogs and buttons (确定, 取消, the file dialogs) speak the
// language of the rest of the program. False when they are not installed; the program then runs on.
bool installChineseTranslations(QCoreApplication& app);

} // namespace zanfold
