#pragma once

#include "core/records.h"
#include "core/settings_record.h"

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace zanfold {

// Everything the program works on. The user-interface thread owns it; import and output workers write
// only the records handed to them while that thread waits.
struct AppState {
    std::vector<PhotoRecord> Photos;
    std::vector<TemplateRecord> Templates;
    QStringList TemplateNames; // parallel to Templates
    std::vector<WorkTemplate> WorkTemplates;
    std::vector<SlotRecord> Slots;

    int CurrentPhoto = -1;
    int CurrentTemplate = -1;
    int CurrentWork = -1;
    int CurrentSpec = 0;
    int CurrentSlot = -1;

    std::array<int, 3> AlbumOrientCount{};
    std::array<int, 3> WorkOrientCount{};

    QString AlbumPath; // no trailing separator; empty when no album is loaded
    QString ProjectPath;
    QString ProjectFolder;
    QString AppTitle;
    QString TemplateFile = QStringLiteral("zfTemplate.xml");
    QString ProjectFilter = QStringLiteral("Zanfold项目文件(*.zpj)");
    int StripPaneWidth = 240;

    Settings settings;
    QString SettingsPath;

    bool CommandBusy = false;
};

// Start-up initialisation: the scalars that start-up sets before the library and settings are loaded.
// Drawing resources are the constants of palette.h, so nothing here can fail; the result is always 1.
int INITDATA(AppState& state);

} // namespace zanfold
