#include "settings/settings_store.h"
#include "shell/main_window.h"
#include "shell/qt_ui.h"
#include "shell/single_instance.h"
#include "shell/startup.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zanfold"));
    zanfold::installChineseTranslations(app);

    // Named before start-up makes the data folder the current one.
    const QString project = zanfold::givenProject(QCoreApplication::arguments());

    // One instance per user: a second start brings the running window to the front, hands it the project
    // it was given, and ends.
    zanfold::SingleInstance instance(zanfold::instanceFolder());
    if (!instance.claim()) {
        instance.wakeFirst(project);
        return 0;
    }

    zanfold::AppState state;
    zanfold::QtUi ui(state);
    zanfold::startUp(state, ui, zanfold::dataFolder(QCoreApplication::applicationDirPath()));
    zanfold::MainWindow window(state, ui);
    ui.attach(&window);
    window.placeOnScreen();
    window.show();
    instance.onWake = [&](const QString& file) {
        window.bringToFront();
        zanfold::openGivenFile(state, ui, file);
    };
    QTimer::singleShot(0, &window, [&] { zanfold::openGivenFile(state, ui, project); });
    return app.exec();
}
