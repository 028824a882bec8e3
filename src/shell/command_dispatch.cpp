#include "shell/command_dispatch.h"

#include "album/album_import.h"
#include "album/photo_ops.h"
#include "allocation/allocation.h"
#include "core/busy.h"
#include "core/commands.h"
#include "crop/canvas.h"
#include "crop/crop_geometry.h"
#include "crop/face_crop.h"
#include "crop/work_templates.h"
#include "history/undo_redo.h"
#include "imaging/file_utils.h"
#include "output/batch_crop.h"
#include "project/project_file.h"
#include "project/unsaved_work.h"

namespace zanfold {

namespace {

void run(AppState& state, Ui& ui, int id) {
    using namespace command;
    if (id >= PresetFirst && id <= PresetLast) return CLIP_SETPOS(state, ui, id - PresetFirst);
    if (id >= UsedInFirst && id <= UsedInLast) {
        const std::vector<UsageEntry> uses = ALBUM_GETUSES(state);
        const size_t k = static_cast<size_t>(id - UsedInFirst);
        if (k < uses.size()) CLIP_SELECT(state, ui, uses[k].work, uses[k].spec, uses[k].position);
        return;
    }
    // Allocation places crops by the faces when FaceCrop is on: photos never looked at are looked at first.
    for (int allocation : {AllocatePhotos, AllocateRemaining, AllocateCurrentTemplate,
                           AllocateRemainingToCurrent, AllocateCurrentSpec})
        if (id == allocation) findMissingFaces(state, ui);
    switch (id) {
    case command::Settings:
        ui.showSettings();
        // Turned on with an album loaded: the faces are found now, so the next allocation keeps them.
        findMissingFaces(state, ui);
        break;
    case ImportAlbum:
        if (mayDropWork(state, ui)) ALBUM_OPEN(state, ui, QString(), false);
        break;
    case ChooseTemplates:
        ADDCLIPTEMPLATE(state, ui);
        break;
    case AllocatePhotos:
        ALLOT_PHOTOS(state, ui, false);
        break;
    case StartCropping:
        CLIP_BEGIN(state, ui);
        break;
    case Exit:
        // The window closes once this command has ended, through its close, which asks about unsaved work.
        state.CloseRequested = true;
        break;
    case Undo:
        UNDO(state, ui);
        break;
    case FacePosition:
        CLIP_FACEPOS(state, ui);
        break;
    case Redo:
        REDO(state, ui);
        break;
    case TemplateManagement:
        state.TemplateSelectMode = 0;
        ui.showTemplateWindow();
        break;
    case OpenOutputFolder:
        ZF_OPENFOLDER(ui, state.settings.OutFolder);
        break;
    case ShortcutKeys:
        ui.message(keyHelpText(), Icon::Information);
        break;
    case OpenProject:
        OPENPROJ(state, ui);
        break;
    case SaveProject:
        SAVEPROJ(state, ui);
        break;
    case SaveProjectAs:
        SAVEPROJAS(state, ui);
        break;
    case OpenPhotoFolder:
        ZF_OPENFOLDER(ui, state.AlbumPath);
        break;
    case RemoveCurrentTemplate:
        CLIP_DELTEMPLATE(state, ui);
        break;
    case RemoveAllTemplates:
        CLIP_CLEARTEMPLATES(state, ui, false);
        break;
    case AllocateRemaining:
        ALLOT_SURPLUS(state, ui, false, true);
        break;
    case CopyAllocation:
        ALLOT_COPY_ALL(state, ui);
        break;
    case ClearAllAllocation:
        ALLOT_CLEAR_ALL(state, ui, false);
        break;
    case AllocateCurrentTemplate:
        ALLOT_PHOTOS(state, ui, true);
        break;
    case AllocateRemainingToCurrent:
        ALLOT_SURPLUS(state, ui, true, true);
        break;
    case CopyCurrentSpec:
        ALLOT_COPY_SPEC(state, ui, state.CurrentWork, state.CurrentSpec, true);
        break;
    case ClearCurrentAllocation:
        ALLOT_CLEAR_CURRENT(state, ui, false);
        break;
    case AllocateCurrentSpec:
        ALLOT_TYPE(state, ui);
        break;
    case FindPhoto:
        CLIP_FINDPHOTO(state, ui);
        break;
    case RemovePhoto:
        CLIP_DELPHOTO(state, ui);
        break;
    case CropOne:
    case CanvasCropOne:
        CLIP_ONE(state, ui);
        break;
    case ViewPhoto:
        PHOTO_VIEW(state, ui);
        break;
    case RotateLeft:
        PHOTO_ROTATE(state, ui, 1);
        break;
    case RotateRight:
        PHOTO_ROTATE(state, ui, 3);
        break;
    case Rotate180:
        PHOTO_ROTATE(state, ui, 2);
        break;
    case ReloadPhoto:
        PHOTO_SAFELOAD(state, ui);
        break;
    case FindUnused:
        PHOTO_SEARCH(state, ui, false);
        break;
    case FindNextUnused:
        PHOTO_SEARCH(state, ui, true);
        break;
    case DeletePhoto:
        PHOTO_DELETE(state, ui);
        break;
    case UsePhoto:
        CLIP_USEPHOTO(state, ui);
        break;
    default:
        break;
    }
}

} // namespace

void CMDEVENT(AppState& state, Ui& ui, int id) {
    runExclusive(state, ui, [&] {
        // Undo and redo move through the history; every other command that changes the work is a step.
        if (id == command::Undo || id == command::Redo)
            run(state, ui, id);
        else
            state.History.record(state, stepName(id), [&] { run(state, ui, id); });
        // Whatever the command did to the selection, the position commands follow it.
        showPositionCommands(state, ui);
    });
}

QString keyHelpText() {
    const QStringList lines{
        QStringLiteral("快捷键："),
        QString(30, QLatin1Char('=')),
        QString(),
        QStringLiteral("F1 ------------------------ 帮助"),
        QStringLiteral("F2 ------------------------ 设置"),
        QStringLiteral("F3 ------------------------ 查找未使用照片"),
        QStringLiteral("F4 ------------------------ 模板管理"),
        QStringLiteral("F5 ------------------------ 导入照片"),
        QStringLiteral("F6 ------------------------ 选择模板"),
        QStringLiteral("F7 ------------------------ 自动分配"),
        QStringLiteral("F8 ------------------------ 开始裁图"),
        QStringLiteral("F9 ------------------------ 打开裁图文件夹"),
        QString(),
        QStringLiteral("A ------------------------- 分配当前规格"),
        QStringLiteral("Ctrl + A ------------------ 分配当前模板"),
        QStringLiteral("D ------------------------- 复制分配照片"),
        QStringLiteral("Ctrl + D ------------------ 复制所有分配照片"),
        QStringLiteral("F ------------------------- 查找分配的照片"),
        QStringLiteral("Ctrl + F ------------------ 查找未使用照片"),
        QStringLiteral("O ------------------------- 打开照片文件夹"),
        QStringLiteral("Ctrl + O ------------------ 打开项目"),
        QStringLiteral("Ctrl + S ------------------ 保存项目"),
        QStringLiteral("V ------------------------- 查看原图"),
        QStringLiteral("Delete -------------------- 删除分配照片"),
        QStringLiteral("Num0~Num9 ----------------- 定位分配照片"),
    };
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace zanfold
