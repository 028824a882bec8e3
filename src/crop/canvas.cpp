#include "crop/canvas.h"

#include "core/commands.h"
#include "core/geometry.h"
#include "core/palette.h"
#include "core/text.h"
#include "crop/assignment.h"
#include "crop/crop_geometry.h"
#include "crop/slots.h"
#include "crop/work_templates.h"

namespace zanfold {

namespace {

constexpr int kGap = 10;

// Items of the position menu, and 单张裁图, that need a photo in the selected position.
void setPhotoCommands(Ui& ui, bool enable) {
    for (int id = command::PresetFirst; id <= command::PresetLast; ++id)
        ui.setCommandEnabled(id, enable);
    for (int id : {command::FindPhoto, command::RemovePhoto, command::CanvasCropOne, command::CropOne})
        ui.setCommandEnabled(id, enable);
}

bool hasSelectedPhoto(const AppState& state) {
    const int g = currentSlotIndex(state);
    return g >= 0 && state.Slots[g].photo >= 0;
}

} // namespace

void showPositionCommands(const AppState& state, Ui& ui) {
    setPhotoCommands(ui, hasSelectedPhoto(state));
}

QPoint cellCorner(const AppState& state, int i) {
    const int columns = std::max(1, state.CellColumns);
    return {kCellPitch * (i % columns) + kGap, kCellPitch * (i / columns) + kGap};
}

QPoint frameCorner(const AppState& state, int i) {
    return cellCorner(state, i) + QPoint(nearest((kCellSize - state.FrameWidth) / 2.0),
                                         nearest((kCellSize - state.FrameHeight) / 2.0));
}

QRect enlargedMarker(const QRect& frame) {
    return QRect(frame.right() - 2 - palette::kMarkerSize + 1, frame.top() + 2, palette::kMarkerSize,
                 palette::kMarkerSize);
}

bool enlargedTooMuch(const AppState& state, int n) {
    const SlotRecord& slot = state.Slots[CLIP_GETSLOT(state, state.CurrentWork, state.CurrentSpec, n)];
    if (slot.photo < 0) return false;
    const SpecRecord& spec = currentSpecRecord(state);
    const QRect source = sourceRect(state.Photos[slot.photo], slot);
    return enlargementFactor(source, QSize(spec.width, spec.height)) > kEnlargementWarning;
}

QString enlargedMarkerText() {
    return QStringLiteral("照片将被放大超过 %1 倍，裁出的图片可能不清晰").arg(kEnlargementWarning);
}

int CLIP_HITTEST(AppState& state, int x, int y) {
    if (state.WorkTemplates.empty() || state.CellColumns <= 0) return -1;
    const int col = x / kCellPitch, row = y / kCellPitch;
    if (x < kGap || y < kGap || x > kCellPitch * state.CellColumns) return -1;
    if (x < kCellPitch * col + kGap || y < kCellPitch * row + kGap) return -1;
    const int i = state.CellColumns * row + col;
    const int n = state.CellColumns * state.FirstRow + i;
    if (n >= currentSpecRecord(state).count) return -1;
    const QPoint cell = cellCorner(state, i), frame = frameCorner(state, i);
    state.CellLeft = cell.x();
    state.CellTop = cell.y();
    state.FrameLeft = frame.x();
    state.FrameTop = frame.y();
    return n;
}

int CLIP_CLICK(AppState& state, Ui& ui, int x, int y) {
    if (state.WorkTemplates.empty()) return 0;
    state.DragArmed = false;
    const int n = CLIP_HITTEST(state, x, y);
    if (n < 0) return 0;
    const SlotRecord& slot = state.Slots[CLIP_GETSLOT(state, state.CurrentWork, state.CurrentSpec, n)];
    const bool photo = slot.photo >= 0;
    if (photo && x > state.FrameLeft && x < state.FrameLeft + state.FrameWidth && y > state.FrameTop &&
        y < state.FrameTop + state.FrameHeight) {
        state.DragArmed = true;
        state.DragOrigin = QPoint(slot.cropX, slot.cropY);
    }
    setPhotoCommands(ui, photo);
    if (n == state.CurrentSlot) return 1;
    CLIP_CANCEL(state, ui, state.CurrentSlot);
    state.CurrentSlot = n;
    ui.redrawCell(n);
    return 1;
}

int CLIP_CANCEL(AppState& state, Ui& ui, int n) {
    if (n < 0) return 0;
    // The old outline is erased where it is on screen; nothing else is drawn again.
    const int first = state.CellColumns * state.FirstRow;
    if (n >= first && n < state.CellColumns * (state.VisibleRows + state.FirstRow)) ui.redrawCell(n);
    return 1;
}

bool CLIP_POPUP(AppState& state, Ui& ui, int x, int y) {
    return CLIP_CLICK(state, ui, x, y) != 0;
}

void CLIP_SELECT(AppState& state, Ui& ui, int w, int s, int n) {
    if (w < 0 || w >= static_cast<int>(state.WorkTemplates.size())) return;
    // Showing another template or specification lays the grid out for it; the same one stays as it is.
    if (w != state.CurrentWork)
        CLIP_CHANGETEMPLATE(state, ui, w, s, n);
    else if (s != state.CurrentSpec) {
        state.CellColumns = 0;
        ui.setTabs(TabStrip::Specs, state.SpecTabs, s);
        CLIP_CHANGESPEC(state, ui, s, n);
    }
    state.CurrentSlot = n;
    const int columns = std::max(1, state.CellColumns);
    const int lastFirstRow = std::max(0, state.CanvasRows - state.FullVisibleRows);
    state.FirstRow = std::min(n / columns, lastFirstRow);
    ui.setCanvasScroll(state.FirstRow);
    setPhotoCommands(ui, hasSelectedPhoto(state));
    ui.redraw(View::Canvas);
}

void CLIP_DROP(AppState& state, Ui& ui, int x, int y) {
    const int n = CLIP_HITTEST(state, x, y);
    if (n < 0) return;
    CLIP_CANCEL(state, ui, state.CurrentSlot);
    state.CurrentSlot = n;
    CLIP_USEPHOTO(state, ui);
}

void CLIP_USEPHOTO(AppState& state, Ui& ui) {
    if (state.CurrentSlot < 0 || state.CurrentPhoto < 0 || state.CurrentWork < 0) return;
    const int p = state.CurrentPhoto;
    releaseSlot(state, state.CurrentWork, state.CurrentSpec, state.CurrentSlot);
    assignPhoto(state, p, state.CurrentWork, state.CurrentSpec, state.CurrentSlot, state.FrameWidth,
                state.FrameHeight);
    state.Slots[currentSlotIndex(state)].handSet = true;
    ui.redraw(View::SelectedCell);
    ui.redraw(View::Strip);
    for (int id : {command::ClearAllAllocation, command::ClearCurrentAllocation, command::StartCropping})
        ui.setCommandEnabled(id, true);
    setPhotoCommands(ui, true);
}

void CLIP_DELPHOTO(AppState& state, Ui& ui) {
    if (!hasSelectedPhoto(state)) return;
    releaseSlot(state, state.CurrentWork, state.CurrentSpec, state.CurrentSlot);
    ui.redraw(View::SelectedCell);
    ui.redraw(View::Strip);
    setPhotoCommands(ui, false);
}

void CLIP_FINDPHOTO(AppState& state, Ui& ui) {
    if (!hasSelectedPhoto(state)) return;
    state.CurrentPhoto = state.Slots[currentSlotIndex(state)].photo;
    ui.showPhoto(state.CurrentPhoto);
}

void CLIP_STATUS(const AppState& state, Ui& ui) {
    const auto& c = state.WorkOrientCount;
    ui.setStatus(3, QStringLiteral(" 需要裁图：") + numberText(c[0] + c[1] + c[2]) + QStringLiteral(" (横") +
                        numberText(c[0]) + QStringLiteral(" 竖") + numberText(c[1]) + QStringLiteral(" 方") +
                        numberText(c[2]) + QLatin1Char(')'));
}

} // namespace zanfold
