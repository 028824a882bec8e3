#pragma once

#include <QDir>
#include <QString>

namespace zanfold {

// The user's preferences; field names are the keys of the settings file.
struct Settings {
    QString OutFolder;
    int UseOutFolder = 0;
    int OutFolderType = 0;
    int ZoomSpeed = 10;
    int LockType = 1;
    int SurplusPhoto = 0;
    int LoopPhoto = 0;
    int FirstPhoto = 1;
    int OpenFolder = 1;
    int ClipTop = 25;
    int ClipLeft = 25;
    int BackColor = 0xFFFFFF; // Windows colour value 0x00BBGGRR
    int CheckMove = 1;
    int FinishAsk = 1;
    int UseMask = 1;
    int SafeImport = 0;
    int JpegQuality = 90;
    int AutoOrient = 1;
    int ThumbCacheMB = 200; // the thumbnail cache's bound; 0 keeps no cache
    int ColorManage = 1;    // photos with an embedded colour profile are converted to sRGB
    int FaceCrop = 0;       // faces are detected at import and initial crops keep them whole
};

// The fixed output folder is chosen but names no folder (a hand-edited file can say so): nothing may be
// written then, or the crops would land under the file system's root.
inline bool outFolderMissing(const Settings& s) {
    return s.UseOutFolder != 0 && s.OutFolder.trimmed().isEmpty();
}

inline QString emptyOutFolderText() {
    return QStringLiteral("裁图输出文件夹不能为空！");
}

// What is wrong with the fixed output folder, or an empty text. A relative path ("out", "~/out") would land
// under whatever the current folder is, with a literal "~": only a whole path of the system is taken.
inline QString outFolderProblem(const Settings& s) {
    if (outFolderMissing(s)) return emptyOutFolderText();
    if (s.UseOutFolder != 0 && QDir::isRelativePath(s.OutFolder.trimmed()))
        return QStringLiteral("裁图输出文件夹必须是一个完整的路径：\n\n") + s.OutFolder;
    return {};
}

} // namespace zanfold
