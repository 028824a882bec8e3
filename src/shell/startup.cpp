#include "shell/startup.h"

#include "album/thumb_cache.h"
#include "settings/settings_store.h"
#include "templates/library_file.h"

#include <QCoreApplication>
#include <QDir>
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
