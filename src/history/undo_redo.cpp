#include "history/undo_redo.h"

#include "album/album_import.h"
#include "core/commands.h"
#include "crop/assignment.h"
#include "crop/canvas.h"
#include "crop/slots.h"
#include "crop/work_templates.h"

#include <algorithm>
#include <map>

namespace zanfold {

namespace {

void restore(AppState& state, Ui& ui, const std::optional<WorkFocus>& focus) {
    if (focus) showRestoredWork(state, ui, *focus);
}

bool anyAllocated(const AppState& state) {
    return std::any_of(state.Slots.begin(), state.Slots.end(),
                       [](const SlotRecord& s) { return s.photo >= 0; });
}

} // namespace

void UNDO(AppState& state, Ui& ui) {
    restore(state, ui, state.History.undo(state));
}

void REDO(AppState& state, Ui& ui) {
    restore(state, ui, state.History.redo(state));
}

void showRestoredWork(AppState& state, Ui& ui, const WorkFocus& focus) {
    // The crop under the pointer may have changed: a drag starts anew with the next press.
    state.DragArmed = false;
    state.SearchHit = -1;
    const int photos = static_cast<int>(state.Photos.size());
    const int photo = focus.photo >= 0 && focus.photo < photos ? focus.photo : -1;
    const bool photoMoved = photo != state.CurrentPhoto;
    state.CurrentPhoto = photo;
    if (photoMoved && photo >= 0)
        ui.showPhoto(photo);
    else
        ui.redraw(View::Strip);
    ALBUM_UPDATEINFO(state, ui, 0);

    if (state.WorkTemplates.empty()) {
        showEmptyWork(state, ui);
        ui.redraw(View::Canvas);
        return;
    }
    const int w = std::clamp(focus.work, 0, static_cast<int>(state.WorkTemplates.size()) - 1);
    const TemplateRecord& t = templateOf(state, w);
    const int s = std::clamp(focus.spec, 0, std::max(0, t.pTypeSum - 1));
    const int n = focus.slot >= 0 && focus.slot < t.spec[s].count ? focus.slot : -1;
    // The tabs and the grid are laid out anew: the work's templates may have changed.
    state.CurrentWork = -1;
    CLIP_CHANGETEMPLATE(state, ui, w, s, n);
    if (n >= 0) CLIP_SELECT(state, ui, w, s, n);
    setWorkCommands(ui, true);
    setAllocationCommands(ui, anyAllocated(state));
    ui.redraw(View::Canvas);
    CLIP_STATUS(state, ui);
}

QString stepName(int commandId) {
    using namespace command;
    if (commandId >= PresetFirst + 1 && commandId <= PresetLast) return QStringLiteral("照片定位");
    static const std::map<int, const char*> names = {
        {PresetFirst, "默认定位"},
        {ChooseTemplates, "添加模板"},
        {AllocatePhotos, "分配照片"},
        {RemoveCurrentTemplate, "删除当前裁图模板"},
        {RemoveAllTemplates, "删除所有裁图模板"},
        {AllocateRemaining, "分配剩余照片"},
        {CopyAllocation, "复制分配照片"},
        {ClearAllAllocation, "清除所有模板的分配"},
        {AllocateCurrentTemplate, "分配当前模板"},
        {AllocateRemainingToCurrent, "分配剩余照片给当前模板"},
        {ClearCurrentAllocation, "清除当前模板的分配"},
        {AllocateCurrentSpec, "分配当前规格"},
        {CopyCurrentSpec, "复制分配当前规格"},
        {RemovePhoto, "删除分配照片"},
        {UsePhoto, "使用照片"},
        {RotateLeft, "向左旋转"},
        {RotateRight, "向右旋转"},
        {Rotate180, "旋转180度"},
        {ReloadPhoto, "更新照片"},
        {DeletePhoto, "删除照片"},
    };
    const auto found = names.find(commandId);
    return found == names.end() ? QStringLiteral("修改工作") : QString::fromUtf8(found->second);
}

QString dragStepName() {
    return QStringLiteral("移动照片");
}

QString zoomStepName() {
    return QStringLiteral("缩放照片");
}

QString dropStepName() {
    return QStringLiteral("放入照片");
}

long long zoomMergeKey(const AppState& state) {
    return 2LL + currentSlotIndex(state); // never 0, which merges nothing
}

QString undoEntryText(const WorkHistory& history) {
    const QString name = history.canUndo() ? history.undoName() : QString();
    return name.isEmpty() ? QStringLiteral("撤销") : QStringLiteral("撤销 ") + name;
}

QString redoEntryText(const WorkHistory& history) {
    const QString name = history.canRedo() ? history.redoName() : QString();
    return name.isEmpty() ? QStringLiteral("重做") : QStringLiteral("重做 ") + name;
}

} // namespace zanfold
