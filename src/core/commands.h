#pragma once

#include <Qt>

// Command identifiers: toolbar buttons, menu items and accelerator keys all send these numbers.
namespace zanfold::command {

// Toolbar buttons.
inline constexpr int Settings = 2125;
inline constexpr int ImportAlbum = 2126;
inline constexpr int ChooseTemplates = 2127;
inline constexpr int AllocatePhotos = 2128;
inline constexpr int StartCropping = 2129;
inline constexpr int Exit = 2130;

// Undo history of the work (Ctrl+Z; Ctrl+Y and Ctrl+Shift+Z), also in the position menu.
inline constexpr int Undo = 2131;
inline constexpr int Redo = 2132;

// Settings menu.
inline constexpr int TemplateManagement = 1125;
inline constexpr int OpenOutputFolder = 1126;
inline constexpr int ShortcutKeys = 1128;

// Album menu.
inline constexpr int OpenProject = 1134;
inline constexpr int SaveProject = 1135;
inline constexpr int OpenPhotoFolder = 1136;
inline constexpr int SaveProjectAs = 1137; // after 保存项目, Ctrl+Shift+S

// Templates menu.
inline constexpr int RemoveCurrentTemplate = 1154;
inline constexpr int RemoveAllTemplates = 1155;

// Allocation menu.
inline constexpr int AllocateRemaining = 1201;
inline constexpr int CopyAllocation = 1194;
inline constexpr int ClearAllAllocation = 1195;
inline constexpr int AllocateCurrentTemplate = 1197;
inline constexpr int AllocateRemainingToCurrent = 1200;
inline constexpr int ClearCurrentAllocation = 1196;

// Crop menu and canvas menu.
inline constexpr int CropOne = 1187;
inline constexpr int CanvasCropOne = 1214;
inline constexpr int FindPhoto = 1185;
inline constexpr int RemovePhoto = 1186;
inline constexpr int AllocateCurrentSpec = 1202;
inline constexpr int CopyCurrentSpec = 1199;

// Position presets: PresetFirst + n for preset n (0 default, 1..9 as on the numeric keypad).
inline constexpr int PresetFirst = 1164;
inline constexpr int PresetLast = 1173;
// In the position menu after the presets: the crop moves to keep the photo's faces whole.
inline constexpr int FacePosition = 1174;

// The preset of a numeric keypad key, with NumLock on (the digits) or off (the keys printed under them:
// 7 Home, 8 Up, 9 PageUp, 4 Left, 5 Clear, 6 Right, 1 End, 2 Down, 3 PageDown, 0 Insert); -1 for
// other keys. Only keys that came from the keypad count: the digits above the letters stay inert.
constexpr int keypadPreset(int key, Qt::KeyboardModifiers modifiers) {
    if (!(modifiers & Qt::KeypadModifier) ||
        (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return -1;
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return key - Qt::Key_0;
    switch (key) {
    case Qt::Key_Insert:
        return 0;
    case Qt::Key_End:
        return 1;
    case Qt::Key_Down:
        return 2;
    case Qt::Key_PageDown:
        return 3;
    case Qt::Key_Left:
        return 4;
    case Qt::Key_Clear:
        return 5;
    case Qt::Key_Right:
        return 6;
    case Qt::Key_Home:
        return 7;
    case Qt::Key_Up:
        return 8;
    case Qt::Key_PageUp:
        return 9;
    default:
        return -1;
    }
}

// Template window drop-downs.
inline constexpr int CustomTemplate = 1215;
inline constexpr int ClearTemplates = 1216;

// Photo menu.
inline constexpr int ViewPhoto = 1153;
inline constexpr int RotateLeft = 1144;
inline constexpr int RotateRight = 1145;
inline constexpr int Rotate180 = 1146;
inline constexpr int ReloadPhoto = 1147;
inline constexpr int FindUnused = 1148;
inline constexpr int FindNextUnused = 1149;
inline constexpr int DeletePhoto = 1150;
inline constexpr int UsePhoto = 1151;
inline constexpr int UsedInMenu = 1224;
// Items of the "already used in" submenu: UsedInFirst + k for the k-th use.
inline constexpr int UsedInFirst = 1225;
inline constexpr int UsedInLast = 2024;

} // namespace zanfold::command
