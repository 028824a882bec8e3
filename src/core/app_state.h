#pragma once

#include "core/records.h"
#include "core/settings_record.h"
#include "core/work_history.h"
#include "core/worker_pool.h"

#include <QPoint>
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
    WorkHistory History; // the user's changes to the work, for undo and for the unsaved-work question

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
    QString ExeName = QStringLiteral("zanfold"); // the program's file name: the caption of a few messages
    QString TemplateFile = QStringLiteral("zfTemplate.xml");
    QString ProjectFilter = QStringLiteral("Zanfold项目文件(*.zpj)");
    int StripPaneWidth = 240;

    Settings settings;
    QString SettingsPath;
    QString ThumbCacheFile; // the thumbnail cache's database; empty: none (tests, and a cache of 0 MB)

    bool CommandBusy = false;     // a user action runs (see runExclusive); the window takes no input
    bool CloseRequested = false;  // the user closed the window meanwhile: quit when the action ends
    CancelFlag CancelRequested;   // the user asked to stop the running import or batch
    bool CancelOffered = false;   // the running work (an import or a batch) can be stopped
    int SearchHit = -1;           // the last photo PHOTO_SEARCH found
    int JobCount = 0;             // workers for import and output; 0: one per core
    int TemplateSelectMode = 0;   // the template window was opened to choose a template for the work
    QString SelectedTemplateName; // the template selected in the template window, kept between openings
    int TemplateExpand = 0; // the template window's 展开 button is pressed; kept while the program runs

    // Main window layout, set by the window on every resize.
    int ToolbarHeight = 0;
    int RightPaneWidth = 0; // width left for the tab strips and the canvas
    int CanvasHeight = 0;

    int PaneHeight = 0; // between toolbar and status bar

    // Photo strip: its grid and scroll position.
    int StripColumns = 0;
    int StripPageSize = 0; // whole rows that fit
    int StripRows = 0;     // rows drawn
    int StripCells = 0;
    int StripScrollPos = 0;
    bool StripScrollShown = false;

    // Tab strips: one tab per work template (texts kept because their spacing tells how the work was made)
    // and one per specification of the current work template.
    QStringList WorkTabs;
    QStringList SpecTabs;

    // Crop canvas: the shown specification and its grid.
    float SpecRatio = 1.0f;
    int FrameWidth = 0;
    int FrameHeight = 0;
    int CellColumns = 0;
    int VisibleRows = 0; // rows at least partly visible
    int VisibleCells = 0;
    int CanvasRows = 0;      // rows of the shown specification
    int FullVisibleRows = 0; // rows wholly visible: the scroll bar's page
    int FirstRow = 0;
    int CellLeft = 0;
    int CellTop = 0;
    int FrameLeft = 0;
    int FrameTop = 0;
    bool DragArmed = false;
    QPoint DragStart;
    QPoint DragPoint;
    QPoint DragOrigin;
};

// Start-up initialisation: the scalars that start-up sets before the library and settings are loaded.
// Drawing resources are the constants of palette.h, so nothing here can fail; the result is always 1.
int INITDATA(AppState& state);

// The window title: the program's title, then the project file's name when the work was opened from or
// saved to one, then the album folder.
QString workCaption(const AppState& state);

} // namespace zanfold
