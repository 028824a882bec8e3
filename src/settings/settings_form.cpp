#include "settings/settings_form.h"

#include "core/geometry.h"
#include "core/records.h"
#include "core/text.h"
#include "settings/settings_store.h"

#include <algorithm>

namespace zanfold {

namespace {

// The trackbar row of a default position: 10 − value / 5, so row 0 is the top of the bar.
int rowOf(int value) {
    return nearest(10.0f - static_cast<float>(value) / 5.0f);
}

} // namespace

SettingsForm settingsForm(const Settings& s) {
    SettingsForm form;
    form.folder = s.OutFolder;
    form.fixedFolder = s.UseOutFolder != 0;
    form.folderEnabled = true;
    form.albumAndTemplate = s.OutFolderType != 0;
    form.jpegQuality = std::clamp(s.JpegQuality, 50, 100);
    form.positionEditMode = 0;
    form.topRow = rowOf(s.ClipTop);
    form.leftRow = rowOf(s.ClipLeft);
    // The bar opens on the row it edits (横照片 is selected), so its first step moves from what it shows.
    form.positionTrack = form.topRow;
    form.preview = 5 * form.topRow;
    form.zoomTrack = std::clamp(nearest(static_cast<float>(s.ZoomSpeed) / 5.0f), 1, 6);
    form.zoomText = numberText(s.ZoomSpeed);
    form.checkMove = s.CheckMove != 0;
    form.swatchColor = s.BackColor;
    form.lockType = s.LockType != 0;
    form.surplusPhoto = s.SurplusPhoto != 0;
    form.loopPhoto = s.LoopPhoto != 0;
    form.firstPhoto = s.FirstPhoto != 0;
    form.safeImport = s.SafeImport != 0;
    form.openFolder = s.OpenFolder != 0;
    form.finishAsk = s.FinishAsk != 0;
    form.useMask = s.UseMask != 0;
    form.autoOrient = s.AutoOrient != 0;
    form.colorManage = s.ColorManage != 0;
    form.faceCrop = s.FaceCrop != 0;
    return form;
}

int namingPicture(const SettingsForm& form) {
    return form.albumAndTemplate ? 101 : 102;
}

ClipPreview clipPreview(const SettingsForm& form) {
    if (form.positionEditMode == 0) return {{25, form.preview}, QRect(25, 50, 120, 70)};
    return {{form.preview, 25}, QRect(50, 25, 70, 120)};
}

void OPTPROC(SettingsForm& form, int option) {
    using namespace settings_control;
    switch (option) {
    case FixedFolder:
        form.fixedFolder = true;
        form.folderEnabled = true;
        break;
    case AlbumSubfolder:
        form.fixedFolder = false;
        form.folderEnabled = false;
        break;
    case AlbumAndTemplate:
        form.albumAndTemplate = true;
        break;
    case AlbumOnly:
        form.albumAndTemplate = false;
        break;
    case Landscape:
        form.positionEditMode = 0;
        form.positionTrack = form.topRow;
        form.preview = 5 * form.topRow;
        break;
    case Portrait:
        form.positionEditMode = 1;
        form.positionTrack = form.leftRow;
        form.preview = 5 * form.leftRow;
        break;
    default:
        break;
    }
}

void TRACKPROC(SettingsForm& form, int p) {
    p = std::clamp(p, 0, 10);
    form.positionTrack = p;
    int& row = form.positionEditMode == 0 ? form.topRow : form.leftRow;
    if (p == row) return;
    form.preview = 5 * p;
    row = p;
}

void TRACKPROC_ZOOM(SettingsForm& form, int p) {
    form.zoomTrack = std::clamp(p, 1, 6);
    form.zoomText = numberText(form.zoomTrack);
}

void BUTTONPROC(SettingsForm& form, const Settings& settings, Ui& ui) {
    const QString chosen = ui.browseFolder(QStringLiteral("选择裁图输出文件夹"), settings.OutFolder);
    if (!chosen.isEmpty()) form.folder = chosen;
}

void LABPROC(SettingsForm& form, Ui& ui) {
    const int chosen = ui.chooseColour(form.swatchColor);
    if (chosen != -1) form.swatchColor = chosen;
}

bool SAVEOPTIONS(const SettingsForm& form, AppState& state, Ui& ui) {
    Settings& s = state.settings;
    // The option chosen in the dialog decides: choosing 固定文件夹 just now must take its folder.
    if (form.fixedFolder) {
        if (form.folder.isEmpty()) {
            ui.message(emptyOutFolderText(), Icon::Exclamation);
            return false;
        }
        s.OutFolder = fitText(form.folder, kPathCapacity);
    }
    s.UseOutFolder = form.fixedFolder ? 1 : 0;
    s.OutFolderType = form.albumAndTemplate ? 1 : 0;
    s.ClipTop = 50 - 5 * form.topRow;
    s.ClipLeft = 50 - 5 * form.leftRow;
    s.ZoomSpeed = 5 * form.zoomTrack;
    s.CheckMove = form.checkMove ? 1 : 0;
    s.BackColor = form.swatchColor;
    s.LoopPhoto = form.loopPhoto ? 1 : 0;
    s.LockType = form.lockType ? 1 : 0;
    s.FirstPhoto = form.firstPhoto ? 1 : 0;
    s.SafeImport = form.safeImport ? 1 : 0;
    s.OpenFolder = form.openFolder ? 1 : 0;
    s.FinishAsk = form.finishAsk ? 1 : 0;
    s.UseMask = form.useMask ? 1 : 0;
    s.SurplusPhoto = form.surplusPhoto ? 1 : 0;
    s.JpegQuality = form.jpegQuality;
    s.AutoOrient = form.autoOrient ? 1 : 0;
    s.ColorManage = form.colorManage ? 1 : 0;
    s.FaceCrop = form.faceCrop ? 1 : 0;
    const FileError written = saveOptions(state);
    // The settings hold for this run either way; the user must know they will not come back.
    if (written.failed())
        ui.message(errorText(QStringLiteral("设置未能保存到文件，只在本次运行中有效："), written),
                   Icon::Warning);
    return true;
}

} // namespace zanfold
