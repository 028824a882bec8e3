#include "crop/work_templates.h"

#include "core/commands.h"
#include "core/geometry.h"
#include "core/text.h"
#include "crop/assignment.h"
#include "crop/canvas.h"
#include "crop/slots.h"
#include "imaging/file_utils.h"
#include "imaging/picture.h"

namespace zanfold {

namespace {

constexpr int kCell = 210;
constexpr int kScrollBarWidth = 17;

int ceilDiv(int a, int b) {
    return b > 0 ? (a + b - 1) / b : 0;
}

} // namespace

void setWorkCommands(Ui& ui, bool enable) {
    for (int id : {command::AllocatePhotos, command::RemoveCurrentTemplate, command::RemoveAllTemplates,
                   command::SaveProject, command::SaveProjectAs})
        ui.setCommandEnabled(id, enable);
}

QString specTabText(const SpecRecord& spec) {
    return numberText(spec.width) + QStringLiteral("×") + QString::number(spec.height) +
           QStringLiteral(" (") + QString::number(spec.count) + QStringLiteral(")  ");
}

QString emptyWorkTab() {
    return QStringLiteral("<没有选择模板>  ");
}

QString emptySpecTab() {
    return QStringLiteral("**********");
}

void ADDCLIPTEMPLATE(AppState& state, Ui& ui) {
    if (state.Photos.empty()) return;
    state.TemplateSelectMode = 1;
    state.CurrentTemplate = -1;
    ui.showTemplateWindow();
    if (state.CurrentTemplate > -1) CLIP_ADDTEMPLATE(state, ui);
    state.TemplateSelectMode = 0;
}

void loadSlotMasks(AppState& state, Ui& ui, int w) {
    const TemplateRecord& tpl = templateOf(state, w);
    QString folder = tpl.path;
    while (folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    const QString maskFolder = tpl.path + QStringLiteral("蒙版/");
    const bool masks = !folder.isEmpty() && AFXFOLDEREXISTS(folder) && AFXFOLDEREXISTS(maskFolder);
    ui.progress(0, tpl.count);
    int done = 0;
    for (int s = 0; s < tpl.pTypeSum; ++s) {
        const SpecRecord& spec = tpl.spec[s];
        int dw = spec.width, dh = spec.height;
        ZF_GETZOOM(200, 200, dw, dh);
        for (int n = 0; n < spec.count; ++n) {
            SlotRecord& slot = state.Slots[CLIP_GETSLOT(state, w, s, n)];
            const QString png = maskFolder + slot.name + QStringLiteral(".png");
            if (masks && AFXFILEEXISTS(png)) slot.mask = loadMask(png, {dw, dh});
            ui.progress(++done, tpl.count);
        }
    }
    ui.hideProgress();
}

void CLIP_ADDTEMPLATE(AppState& state, Ui& ui) {
    const int t = state.CurrentTemplate;
    if (t < 0 || t >= static_cast<int>(state.Templates.size())) return;
    const TemplateRecord& tpl = state.Templates[t];
    const int base = static_cast<int>(state.Slots.size());
    const bool wasEmpty = state.WorkTemplates.empty();

    ui.setStatus(1, QStringLiteral("添加模板，请稍后..."));
    state.Slots.resize(base + tpl.count);
    int k = base;
    for (int j = 0; j < tpl.pTypeSum; ++j) {
        const SpecRecord& spec = tpl.spec[j];
        // Names longer than the field (naming length 9) are kept whole: they are the output file names.
        for (int m = 1; m <= spec.count; ++m, ++k)
            state.Slots[k].name = positionName(spec.prefix, spec.flength, m);
        state.WorkOrientCount[PHOTO_GETTYPE(spec.width, spec.height)] += spec.count;
    }
    state.WorkTemplates.push_back({t, base});
    loadSlotMasks(state, ui, static_cast<int>(state.WorkTemplates.size()) - 1);
    if (wasEmpty) state.WorkTabs.clear();
    state.WorkTabs.append(state.TemplateNames.value(t) + QStringLiteral("  "));
    if (wasEmpty) {
        state.CurrentWork = -1;
        CLIP_CHANGETEMPLATE(state, ui, 0, 0, 0);
    } else {
        ui.setTabs(TabStrip::Works, state.WorkTabs, state.CurrentWork);
    }
    ui.setStatus(1, QString());
    setWorkCommands(ui, true);
    ui.redraw(View::Canvas);
    CLIP_STATUS(state, ui);
}

void CLIP_CHANGETEMPLATE(AppState& state, Ui& ui, int w, int s, int slot) {
    if (w == state.CurrentWork || w < 0 || w >= static_cast<int>(state.WorkTemplates.size())) return;
    const TemplateRecord& t = templateOf(state, w);
    state.SpecTabs.clear();
    for (int j = 0; j < t.pTypeSum; ++j)
        state.SpecTabs.append(specTabText(t.spec[j]));
    ui.setTabs(TabStrip::Works, state.WorkTabs, w);
    ui.setTabs(TabStrip::Specs, state.SpecTabs, s);
    state.CellColumns = 0;
    state.VisibleRows = 0;
    state.CurrentWork = w;
    CLIP_CHANGESPEC(state, ui, s, slot);
}

void CLIP_CHANGESPEC(AppState& state, Ui& ui, int s, int slot) {
    if (state.CurrentWork < 0) return;
    const SpecRecord& spec = specOf(state, state.CurrentWork, s);
    state.SpecRatio = static_cast<float>(spec.width) / static_cast<float>(spec.height);
    state.FrameWidth = spec.width;
    state.FrameHeight = spec.height;
    ZF_GETZOOM(200, 200, state.FrameWidth, state.FrameHeight);
    // Arming lasts until the next press or another specification; a resize keeps it.
    if (s != state.CurrentSpec) state.DragArmed = false;

    CanvasPlacement place;
    int width = state.RightPaneWidth;
    const int height = state.CanvasHeight;
    const QPoint origin(state.StripPaneWidth + 6, state.ToolbarHeight + 23);
    // At least one column, so that a very narrow window still shows the positions.
    int columns = std::max(1, width / kCell);
    int rows = ceilDiv(spec.count, columns);
    const int fullRows = height / kCell;
    if (fullRows < rows) {
        width -= kScrollBarWidth;
        columns = std::max(1, width / kCell);
        rows = ceilDiv(spec.count, columns);
        place.scrollBar = true;
        place.scrollRect = QRect(origin.x() + width, origin.y(), kScrollBarWidth, height);
        place.scrollMaximum = rows - 1;
        place.scrollPage = fullRows;
    }
    place.canvas = QRect(origin, QSize(width, height));
    state.CanvasRows = rows;
    state.FullVisibleRows = fullRows;
    // A resize that keeps the grid keeps the scroll position as far as the bar still reaches; without the
    // bar every row is in view from the first, and nothing could scroll back.
    const int lastFirstRow = place.scrollBar ? std::max(0, rows - fullRows) : 0;
    if (state.FirstRow > lastFirstRow) {
        state.FirstRow = lastFirstRow;
        ui.redraw(View::Canvas);
    }
    ui.placeCanvas(place);
    const int visibleRows = ceilDiv(height, kCell);
    if (columns == state.CellColumns && visibleRows == state.VisibleRows) return;
    state.CellColumns = columns;
    state.VisibleRows = visibleRows;
    state.VisibleCells = columns * visibleRows;
    state.CurrentSlot = slot;
    state.FirstRow = 0;
    state.CurrentSpec = s;
    state.DragArmed = false;
    ui.setCanvasScroll(0);
    showPositionCommands(state, ui);
    ui.redraw(View::Canvas);
}

void CLIP_DELTEMPLATE(AppState& state, Ui& ui) {
    if (state.WorkTemplates.empty()) return;
    if (!confirm(ui, QStringLiteral("确信要删除当前模板吗？"), Answer::Cancel)) return;
    if (state.WorkTemplates.size() == 1) {
        CLIP_CLEARTEMPLATES(state, ui, false);
        return;
    }
    const int w = state.CurrentWork;
    const TemplateRecord& t = templateOf(state, w);
    const int first = state.WorkTemplates[w].firstSlot;
    const int n = t.count;
    for (int s = 0; s < t.pTypeSum; ++s) {
        state.WorkOrientCount[PHOTO_GETTYPE(t.spec[s].width, t.spec[s].height)] -= t.spec[s].count;
        for (int m = 0; m < t.spec[s].count; ++m) {
            releaseSlot(state, w, s, m);
        }
    }
    state.Slots.erase(state.Slots.begin() + first, state.Slots.begin() + first + n);
    state.WorkTemplates.erase(state.WorkTemplates.begin() + w);
    for (size_t later = w; later < state.WorkTemplates.size(); ++later)
        state.WorkTemplates[later].firstSlot -= n;
    // Usage entries name work templates by number: those after the removed one move down by one.
    auto renumber = [w](const UsageEntry& e) -> std::optional<UsageEntry> {
        if (e.work == w) return std::nullopt;
        return UsageEntry{e.work > w ? e.work - 1 : e.work, e.spec, e.position};
    };
    for (int p = 0; p < static_cast<int>(state.Photos.size()); ++p) {
        if (state.Photos[p].useCount > 0) refreshUsage(state, p, renumber);
    }
    state.WorkTabs.removeAt(w);
    state.CurrentWork = -1;
    CLIP_CHANGETEMPLATE(state, ui, 0, 0, 0);
    CLIP_STATUS(state, ui);
    ui.redraw(View::Strip);
}

void CLIP_CLEARTEMPLATES(AppState& state, Ui& ui, bool noAsk) {
    if (state.WorkTemplates.empty()) return;
    if (!noAsk && !confirm(ui, QStringLiteral("确信要删除所有模板吗？"), Answer::Cancel)) return;
    state.WorkTemplates.clear();
    state.Slots.clear();
    state.WorkOrientCount = {0, 0, 0};
    for (PhotoRecord& p : state.Photos) {
        p.useCount = 0;
        p.usage.clear();
    }
    ui.redraw(View::Strip);
    ui.redraw(View::Canvas);
    state.WorkTabs = QStringList{emptyWorkTab()};
    showEmptyWork(state, ui);
}

void showEmptyWork(AppState& state, Ui& ui) {
    state.CurrentWork = -1;
    state.CurrentSlot = -1;
    state.SpecTabs = QStringList{emptySpecTab()};
    ui.setTabs(TabStrip::Specs, state.SpecTabs, 0);
    // A work that never had a template (undone back to it) has no tab texts of its own.
    ui.setTabs(TabStrip::Works, state.WorkTabs.isEmpty() ? QStringList{emptyWorkTab()} : state.WorkTabs, 0);
    CanvasPlacement hidden;
    hidden.canvas =
        QRect(state.StripPaneWidth + 6, state.ToolbarHeight + 23, state.RightPaneWidth, state.CanvasHeight);
    ui.placeCanvas(hidden);
    CLIP_STATUS(state, ui);
    setWorkCommands(ui, false);
    setAllocationCommands(ui, false);
    showPositionCommands(state, ui);
}

void CLIP_LOADTEMPLATES(AppState& state, Ui& ui) {
    state.WorkOrientCount = {0, 0, 0};
    state.CurrentWork = -1;
    state.WorkTabs.clear();
    for (int w = 0; w < static_cast<int>(state.WorkTemplates.size()); ++w) {
        state.WorkTabs.append(state.TemplateNames.value(state.WorkTemplates[w].template_) + QLatin1Char(' '));
        const TemplateRecord& t = templateOf(state, w);
        for (int s = 0; s < t.pTypeSum; ++s)
            state.WorkOrientCount[PHOTO_GETTYPE(t.spec[s].width, t.spec[s].height)] += t.spec[s].count;
    }
    CLIP_STATUS(state, ui);
    CLIP_CHANGETEMPLATE(state, ui, 0, 0, 0);
}

} // namespace zanfold
