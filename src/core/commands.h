#pragma once

// Command identifiers: toolbar buttons, menu items and accelerator keys all send these numbers.
namespace zanfold::command {

// Toolbar buttons.
inline constexpr int Settings = 2125;
inline constexpr int ImportAlbum = 2126;
inline constexpr int ChooseTemplates = 2127;
inline constexpr int AllocatePhotos = 2128;
inline constexpr int StartCropping = 2129;
inline constexpr int Exit = 2130;

// Settings menu.
inline constexpr int TemplateManagement = 1125;
inline constexpr int OpenOutputFolder = 1126;
inline constexpr int ShortcutKeys = 1128;

// Album menu.
inline constexpr int OpenProject = 1134;
inline constexpr int SaveProject = 1135;
inline constexpr int OpenPhotoFolder = 1136;

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
