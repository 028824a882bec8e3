#include "album/strip.h"

#include "album/album_import.h"
#include "album/photo_ops.h"
#include "core/commands.h"
#include "core/geometry.h"
#include "core/text.h"
#include "crop/slots.h"

#include <algorithm>

namespace zanfold {

namespace {

constexpr int kScrollBarWidth = 17;

int ceilDiv(int a, int b) {
    return b > 0 ? (a + b - 1) / b : 0;
}

} // namespace

StripPlacement ALBUM_UPDATESCROLL(AppState& state) {
    StripPlacement place;
    int width = state.StripPaneWidth;
    int columns = width / kStripPitch;
    place.panel = QRect(0, state.ToolbarHeight, width, state.PaneHeight);
    if (columns == 0) return place;
    const int photos = static_cast<int>(state.Photos.size());
    int rows = ceilDiv(photos, columns);
    state.StripPageSize = state.PaneHeight / kStripPitch;
    if (state.StripPageSize < rows) {
        width -= kScrollBarWidth;
        columns = std::max(1, width / kStripPitch);
        rows = ceilDiv(photos, columns);
        place.scrollBar = true;
        place.scrollRect = QRect(width, state.ToolbarHeight, kScrollBarWidth, state.PaneHeight);
        place.scrollMaximum = rows - 1;
        place.scrollPage = state.StripPageSize;
    }
    place.panel.setWidth(width);
    const int drawn = std::min(state.StripPageSize + (state.PaneHeight % kStripPitch > 0 ? 1 : 0), rows);
    state.StripScrollShown = place.scrollBar;
    if (place.scrollBar) {
        state.StripCells = columns * drawn;
        state.StripScrollPos = std::max(0, std::min(state.StripScrollPos, rows - state.StripPageSize));
    } else {
        state.StripCells = photos;
        state.StripScrollPos = 0;
    }
    state.StripColumns = columns;
    state.StripRows = drawn;
    return place;
}

QPoint stripCellCorner(const AppState& state, int k) {
    const int columns = std::max(1, state.StripColumns);
    return {(k % columns) * kStripPitch + 10, (k / columns) * kStripPitch + 10};
}

QRect floatingPanelRect(const AppState& state, QPoint press) {
    if (state.CurrentPhoto < 0) return {};
    const PhotoRecord& photo = state.Photos[state.CurrentPhoto];
    const int w = photo.stripWidth, h = photo.stripHeight;
    return {(press.x() / kStripPitch) * kStripPitch + 10 + nearest((kStripCell - w) / 2.0),
            (press.y() / kStripPitch) * kStripPitch + 10 + state.ToolbarHeight +
                nearest((kStripCell - h) / 2.0),
            w, h};
}

int PHOTO_SELECT(AppState& state, Ui& ui, int x, int y) {
    const int photos = static_cast<int>(state.Photos.size());
    if (photos == 0 || state.StripColumns <= 0 || x < 10 || y < 10 || x > kStripPitch * state.StripColumns)
        return 0;
    if (x < (x / kStripPitch) * kStripPitch + 10 || y < (y / kStripPitch) * kStripPitch + 10) return 0;
    const int k = (y / kStripPitch) * state.StripColumns + x / kStripPitch;
    const int p = state.StripColumns * state.StripScrollPos + k;
    if (p >= photos) return 0;
    if (p == state.CurrentPhoto) return 1;
    // The old outline goes and the new one is drawn: two cells, not the strip.
    if (state.CurrentPhoto >= 0) ui.redrawStripPhoto(state.CurrentPhoto);
    state.CurrentPhoto = p;
    ui.redrawStripPhoto(p);
    const PhotoRecord& photo = state.Photos[p];
    ui.setStatus(1, numberText(p + 1) + QLatin1Char(':') + QString(10, QLatin1Char(' ')) + photo.fileName +
                        QStringLiteral("  (") + numberText(photo.width) + QStringLiteral(" ×") +
                        numberText(photo.height) + QStringLiteral(" )"));
    return 1;
}

void PHOTO_SELECTINDEX(AppState& state, Ui& ui, int i) {
    if (state.Photos.empty() || i < 0 || i >= static_cast<int>(state.Photos.size())) return;
    state.CurrentPhoto = i;
    const int columns = std::max(1, state.StripColumns);
    const int rows = ceilDiv(static_cast<int>(state.Photos.size()), columns);
    // The photo's row becomes the first one shown, as far as the scroll bar reaches: the last page ends with
    // the last row.
    const int lastFirstRow = std::max(0, rows - std::max(1, state.StripPageSize));
    state.StripScrollPos = state.StripScrollShown ? std::clamp(i / columns, 0, lastFirstRow) : 0;
    ui.redraw(View::Strip);
    ALBUM_UPDATEINFO(state, ui, 1);
}

std::vector<UsedInItem> ALBUM_UPDATEMENU(const AppState& state, Ui& ui) {
    ui.setCommandEnabled(command::UsePhoto, state.CurrentSlot != -1);
    std::vector<UsedInItem> items;
    for (const UsageEntry& use : ALBUM_GETUSES(state)) {
        if (use.work < 0 || use.work >= static_cast<int>(state.WorkTemplates.size())) continue;
        const SpecRecord& spec = specOf(state, use.work, use.spec);
        items.push_back({state.TemplateNames.value(state.WorkTemplates[use.work].template_) +
                             QStringLiteral("：") + positionName(spec.prefix, spec.flength, use.position + 1),
                         use});
        if (items.size() > static_cast<size_t>(command::UsedInLast - command::UsedInFirst)) break;
    }
    ui.setCommandEnabled(command::UsedInMenu, !items.empty());
    return items;
}

} // namespace zanfold
