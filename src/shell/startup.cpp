#include "shell/startup.h"

#include "album/thumb_cache.h"
#include "core/busy.h"
#include "project/project_file.h"
#include "settings/settings_store.h"
#include "templates/library_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace zanfold {

void startUp(AppState& state, Ui& ui, const QString& dataFolder) {
    state.AppTitle = QStringLiteral("Zanfold2015");
    QDir::setCurrent(dataFolder);
    if (INITDATA(state)) TEMPLATE_LOAD(state, ui);
    LOADOPTIONS(state, dataFolder);
    state.ThumbCacheFile = ThumbCache::defaultFile();
}

QString givenProject(const QStringList& arguments) {
    return arguments.size() > 1 ? QFileInfo(arguments.at(1)).absoluteFilePath() : QString();
}

void openGivenFile(AppState& state, Ui& ui, const QString& file) {
    if (file.isEmpty()) return;
    runExclusive(state, ui, [&] { openGivenProject(state, ui, file); });
}

bool installChineseTranslations(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace zanfold
