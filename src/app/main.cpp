#include "settings/settings_store.h"
#include "shell/main_window.h"
#include "shell/qt_ui.h"
#include "shell/startup.h"

#include <QApplication>
#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zanfold"));
    zanfold::installChineseTranslations(app);

    // One instance per user: a second start ends at once, without a window.
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty()) runtime = QDir::tempPath();
    QLockFile lock(
        runtime +
        QStringLiteral("/zanfold-%1.lock").arg(qEnvironmentVariable("USER", QStringLiteral("user"))));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0)) return 0;

    zanfold::AppState state;
    zanfold::QtUi ui(state);
    zanfold::startUp(state, ui, zanfold::dataFolder(QCoreApplication::applicationDirPath()));
    zanfold::MainWindow window(state, ui);
    ui.attach(&window);
    window.placeOnScreen();
    window.show();
    return app.exec();
}
