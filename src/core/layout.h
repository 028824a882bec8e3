#pragma once

#include <QRect>

namespace zanfold {

// Where every part of the main window goes for a client area, from the measured toolbar and status bar
// heights and the splitter position. The window applies it on every resize.
struct WindowLayout {
    int paneHeight = 0;     // between toolbar and status bar
    int canvasHeight = 0;   // pane less the two tab strips and their borders
    int rightPaneWidth = 0; // right of the splitter
    QRect strip;
    QRect splitter;
    QRect specTabs;
    QRect canvas;
    QRect workTabs;
    QRect progress; // over the status bar
    // The status bar's parts, widths width - 400, 200 and the rest: part 2 starts 400 pixels from the right.
    QRect statusParts[3];
    QPoint logo;
};

WindowLayout windowLayout(QSize client, int toolbarHeight, int statusHeight, int stripPaneWidth,
                          int logoWidth);

// Where a window of this size (frame included) goes in the desktop's work area: centred, the halves
// rounded to even, never above or left of the area's origin.
QPoint centredWindowPosition(QRect workArea, QSize window);

// The smallest client area for a window whose frame adds `frame`: the whole window stays at least
// 820 x 400.
QSize minimumClientSize(QSize frame);

// The logo's size for a toolbar height: 398 x 90 scaled to the toolbar less 6 pixels.
QSize logoSize(int toolbarHeight);

// Where the splitter may be dragged: [130, clientWidth - 230]. Outside that the bar stays where it is.
bool splitterAllowed(int x, int clientWidth);

inline constexpr int kMinimumWindowWidth = 820;
inline constexpr int kMinimumWindowHeight = 400;

} // namespace zanfold
