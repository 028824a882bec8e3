#include "settings/settings_store.h"
#include "shell/main_window.h"
#include "shell/qt_ui.h"
#include "shell/single_instance.h"
#include "shell/startup.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zanfold"));
    zanfold::installChineseTranslations(app);

    // One instance per user: a second start brings the running window to the front and ends.
    zanfold::SingleInstance instance(zanfold::instanceFolder());
    if (!instance.claim()) {
        instance.wakeFirst();
        return 0;
    }

    zanfold::AppState state;
    zanfold::QtUi ui(state);
    zanfold::startUp(state, ui, zanfold::dataFolder(QCoreApplication::applicationDirPath()));
    zanfold::MainWindow window(state, ui);
    ui.attach(&window);
    window.placeOnScreen();
    window.show();
    instance.onWake = [&window] { window.bringToFront(); };
    return app.exec();
}
