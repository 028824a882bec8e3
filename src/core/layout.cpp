#include "core/layout.h"

#include "core/geometry.h"

#include <algorithm>

namespace zanfold {

WindowLayout windowLayout(QSize client, int toolbarHeight, int statusHeight, int stripPaneWidth,
                          int logoWidth) {
    WindowLayout l;
    const int width = client.width();
    l.paneHeight = client.height() - toolbarHeight - statusHeight;
    l.canvasHeight = l.paneHeight - 47;
    l.rightPaneWidth = width - (stripPaneWidth + 6);
    const int right = stripPaneWidth + 6;
    l.strip = QRect(0, toolbarHeight, stripPaneWidth, l.paneHeight);
    l.splitter = QRect(stripPaneWidth, toolbarHeight, 6, l.paneHeight);
    l.specTabs = QRect(right, toolbarHeight, l.rightPaneWidth, 23);
    l.canvas = QRect(right, toolbarHeight + 23, l.rightPaneWidth, l.canvasHeight);
    l.workTabs = QRect(right, toolbarHeight + l.paneHeight - 23, l.rightPaneWidth, 23);
    l.progress = QRect(180, l.paneHeight + toolbarHeight + 7, width - 183, statusHeight - 8);
    l.statusParts[0] = QRect(0, 0, std::max(0, width - 400), statusHeight);
    l.statusParts[1] = QRect(width - 400, 0, 200, statusHeight);
    l.statusParts[2] = QRect(width - 200, 0, 200, statusHeight);
    l.logo = QPoint(width - logoWidth, 2);
    return l;
}

QPoint centredWindowPosition(QRect workArea, QSize window) {
    // The work area's right and bottom are exclusive edges: left + width.
    const int right = workArea.left() + workArea.width();
    const int bottom = workArea.top() + workArea.height();
    return {std::max(0, nearest((workArea.left() + right - window.width()) / 2.0)),
            std::max(0, nearest((workArea.top() + bottom - window.height()) / 2.0))};
}

QSize minimumClientSize(QSize frame) {
    return {std::max(0, kMinimumWindowWidth - frame.width()),
            std::max(0, kMinimumWindowHeight - frame.height())};
}

QSize logoSize(int toolbarHeight) {
    const int height = toolbarHeight - 6;
    return {nearest(4.42f * static_cast<float>(height)), height};
}

bool splitterAllowed(int x, int clientWidth) {
    return x >= 130 && x <= clientWidth - 230;
}

} // namespace zanfold
