#pragma once

#include "core/app_state.h"
#include "core/ui.h"
#include "core/usage.h"

#include <QPoint>
#include <QRect>

#include <vector>

namespace zanfold {

// The photo strip: the album as a grid of 100 x 100 cells, 110 pixels apart, from row StripScrollPos on.

inline constexpr int kStripPitch = 110;
inline constexpr int kStripCell = 100;

// Where the strip and its scroll bar go (strip pane coordinates of the main window).
struct StripPlacement {
    QRect panel;
    bool scrollBar = false;
    QRect scrollRect;
    int scrollMaximum = 0; // rows - 1
    int scrollPage = 0;
};

// Lays the grid out for the pane (StripPaneWidth x PaneHeight below ToolbarHeight).
StripPlacement ALBUM_UPDATESCROLL(AppState& state);

// Top-left corner of visible cell k.
QPoint stripCellCorner(const AppState& state, int k);

// Where PHOTO_DRAG shows the selected photo when it is picked up at the strip point `press`: its strip
// size (the thumbnail fitted into 100 x 100) over its cell, in main-window coordinates.
QRect floatingPanelRect(const AppState& state, QPoint press);

// Selects the photo under the strip point; 1 when there is one.
int PHOTO_SELECT(AppState& state, Ui& ui, int x, int y);

// Selects photo i and scrolls its row to the top.
void PHOTO_SELECTINDEX(AppState& state, Ui& ui, int i);

// One entry of the photo menu's "已经使用" list: "模板A：A003" and the use it shows.
struct UsedInItem {
    QString text;
    UsageEntry use;
};

// Before the photo menu opens: "使用照片" needs a selected position; the uses of the selected photo.
std::vector<UsedInItem> ALBUM_UPDATEMENU(const AppState& state, Ui& ui);

} // namespace zanfold
