#pragma once

#include "core/app_state.h"
#include "core/settings_record.h"
#include "core/ui.h"

#include <QPoint>
#include <QRect>
#include <QString>

namespace zanfold {

// Control identifiers of the settings dialog that the rules below act on.
namespace settings_control {
inline constexpr int FixedFolder = 4125;      // option "固定文件夹"
inline constexpr int AlbumSubfolder = 4128;   // option "照片文件夹下新建裁图目录"
inline constexpr int AlbumAndTemplate = 4129; // option "相册名称_模板名称"
inline constexpr int AlbumOnly = 4130;        // option "相册名称"
inline constexpr int Landscape = 4227;        // option "横照片": the trackbar edits ClipTop
inline constexpr int Portrait = 4228;         // option "竖照片": the trackbar edits ClipLeft
} // namespace settings_control

// What the settings dialog shows, control by control. Filled from Settings when the dialog opens, changed
// by the rules below as the user works the controls, and taken into Settings only on OK.
struct SettingsForm {
    // 输出
    QString folder;                // 4126
    bool fixedFolder = false;      // 4125 selected, else 4128
    bool folderEnabled = true;     // 4126 and its browse button 4127
    bool albumAndTemplate = false; // 4129 selected, else 4130
    int jpegQuality = 90;
    // 裁图
    int positionEditMode = 0; // PositionEditMode
    int topRow = 5;           // TopRow
    int leftRow = 5;          // LeftRow
    int positionTrack = 5;    // trackbar 4226, rows 0 .. 10
    int preview = 25;         // where UPDATECLIP last put the photo (its y, or its x for portraits)
    int zoomTrack = 2;        // trackbar 4230, 1 .. 6
    QString zoomText;         // box 4229
    bool checkMove = true;
    int swatchColor = 0xFFFFFF; // SwatchColor, a Windows colour value 0x00BBGGRR
    // 其他
    bool lockType = true;
    bool surplusPhoto = false;
    bool loopPhoto = false;
    bool firstPhoto = true;
    bool safeImport = false;
    bool openFolder = true;
    bool finishAsk = true;
    bool useMask = true;
    bool autoOrient = true;
    bool colorManage = true;
    bool faceCrop = false;
};

// The position preview of UPDATECLIP on its 170 x 170 panel: where the 120 x 120 photo picture goes and the
// red outline that stands for the crop frame.
struct ClipPreview {
    QPoint photo;
    QRect frame;
};

// The dialog's state when it opens over these settings (the building steps and SETOPTIONS).
SettingsForm settingsForm(const Settings& settings);
// The picture that illustrates the folder naming: bitmap 101 (one folder per album and template) or 102.
int namingPicture(const SettingsForm& form);
ClipPreview clipPreview(const SettingsForm& form);

// A click on one of the option buttons of settings_control.
void OPTPROC(SettingsForm& form, int option);
// Trackbar 4226 moved to row p: the row of the edited side and the preview follow.
void TRACKPROC(SettingsForm& form, int p);
// Trackbar 4230 moved to p: the box shows p with a leading blank.
void TRACKPROC_ZOOM(SettingsForm& form, int p);
// The browse button: a folder chosen from OutFolder on goes into the folder box.
void BUTTONPROC(SettingsForm& form, const Settings& settings, Ui& ui);
// A click on the swatch: a colour chosen from SwatchColor on becomes the swatch.
void LABPROC(SettingsForm& form, Ui& ui);
// OK: refuses an empty fixed folder (the dialog stays open), otherwise takes every value into
// state.settings and writes the settings file. True when the dialog may close.
bool SAVEOPTIONS(const SettingsForm& form, AppState& state, Ui& ui);

} // namespace zanfold
