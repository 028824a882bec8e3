#include "album/photo_ops.h"

#include "album/album_import.h"
#include "core/geometry.h"
#include "crop/assignment.h"
#include "crop/face_crop.h"
#include "crop/slots.h"
#include "imaging/faces.h"
#include "imaging/file_utils.h"
#include "imaging/orientation.h"
#include "imaging/picture.h"

#include <algorithm>

namespace zanfold {

namespace {

bool hasSelection(const AppState& state) {
    return state.CurrentPhoto >= 0 && state.CurrentPhoto < static_cast<int>(state.Photos.size());
}

QString photoPath(const AppState& state, const PhotoRecord& p) {
    return state.AlbumPath + QLatin1Char('/') + p.fileName;
}

// After the selected photo changed its orientation: reorder, follow it, re-point the positions.
void regroup(AppState& state, Ui& ui) {
    const QString name = state.Photos[state.CurrentPhoto].fileName;
    std::stable_sort(state.Photos.begin(), state.Photos.end(),
                     [](const PhotoRecord& a, const PhotoRecord& b) { return a.orient < b.orient; });
    const auto found = std::find_if(state.Photos.begin(), state.Photos.end(),
                                    [&](const PhotoRecord& p) { return p.fileName == name; });
    state.CurrentPhoto = static_cast<int>(found - state.Photos.begin());
    ALBUM_UPDATEINFO(state, ui, 2);
    ui.showPhoto(state.CurrentPhoto);
    CLIP_REMAP(state, ui);
    PHOTO_UPINDEX(state);
}

void moveToGroup(AppState& state, PhotoRecord& p, int orient) {
    --state.AlbumOrientCount[p.orient];
    p.orient = orient;
    ++state.AlbumOrientCount[p.orient];
}

void removeSelected(AppState& state, Ui& ui) {
    PHOTO_NOUSE(state);
    --state.AlbumOrientCount[state.Photos[state.CurrentPhoto].orient];
    state.Photos.erase(state.Photos.begin() + state.CurrentPhoto);
    state.CurrentPhoto = -1;
    state.SearchHit = -1;
    CLIP_REMAP(state, ui);
    PHOTO_UPINDEX(state);
    ui.redraw(View::Strip);
    ALBUM_UPDATEINFO(state, ui, 0);
}

} // namespace

int ZF_GETPHOTOTYPE(int width, int height) {
    return PHOTO_GETTYPE(width, height);
}

void PHOTO_UPINDEX(AppState& state) {
    for (int i = 0; i < static_cast<int>(state.Photos.size()); ++i)
        state.Photos[i].index = i;
}

std::vector<UsageEntry> ALBUM_GETUSES(const AppState& state) {
    if (!hasSelection(state) || state.Photos[state.CurrentPhoto].useCount == 0) return {};
    return parseUsage(state.Photos[state.CurrentPhoto].usage);
}

int PHOTO_NOUSE(AppState& state) {
    if (!hasSelection(state)) return -1;
    PhotoRecord& photo = state.Photos[state.CurrentPhoto];
    const int uses = photo.useCount;
    for (const UsageEntry& e : positionsOf(state, state.CurrentPhoto))
        state.Slots[CLIP_GETSLOT(state, e.work, e.spec, e.position)].photo = -1;
    photo.useCount = 0;
    photo.usage.clear();
    return uses - 1;
}

void PHOTO_DELETE(AppState& state, Ui& ui) {
    if (!hasSelection(state)) return;
    if (!confirm(ui, QStringLiteral("确信要删除这个照片吗？"), Answer::Cancel)) return;
    removeSelected(state, ui);
}

void PHOTO_VIEW(const AppState& state, Ui& ui) {
    if (hasSelection(state)) AFXOPENFILE(ui, photoPath(state, state.Photos[state.CurrentPhoto]));
}

void PHOTO_ROTATE(AppState& state, Ui& ui, int turns) {
    if (!hasSelection(state)) return;
    PhotoRecord& p = state.Photos[state.CurrentPhoto];
    const int tw = p.thumbWidth, th = p.thumbHeight;
    p.thumb = rotateQuarters(p.thumb, turns);
    p.faces = turnFaces(p.faces, QSize(p.width, p.height), turns);
    p.image.quarterTurns = (p.image.quarterTurns + turns) % 4;
    const bool quarter = turns % 2 != 0;
    if (quarter) {
        std::swap(p.width, p.height);
        std::swap(p.thumbWidth, p.thumbHeight);
        std::swap(p.stripWidth, p.stripHeight);
    }
    // The photo stays in its positions. A half turn keeps each crop on the same part of the picture; after a
    // quarter turn the old rectangles no longer fit the shape, so each position starts from its initial crop.
    const std::vector<UsageEntry> held = positionsOf(state, state.CurrentPhoto);
    for (const UsageEntry& e : held) {
        SlotRecord& slot = state.Slots[CLIP_GETSLOT(state, e.work, e.spec, e.position)];
        if (quarter) {
            const SpecRecord& spec = specOf(state, e.work, e.spec);
            const CropRect c = initialCrop(state.settings, spec.width, spec.height, p);
            slot.cropX = c.x;
            slot.cropY = c.y;
            slot.cropWidth = c.width;
            slot.cropHeight = c.height;
        } else {
            slot.cropX = tw - slot.cropX - slot.cropWidth;
            slot.cropY = th - slot.cropY - slot.cropHeight;
        }
    }
    if (quarter) {
        moveToGroup(state, p, ZF_GETPHOTOTYPE(p.width, p.height));
        regroup(state, ui);
    } else {
        ui.showPhoto(state.CurrentPhoto);
        ui.redraw(View::Canvas);
    }
    ui.redraw(View::Strip);
    // Said after the photo's own line, which showing it writes.
    if (!held.empty())
        ui.setStatus(
            1, quarter ? QStringLiteral("照片已旋转：%1 个使用它的位置已重新裁切为默认位置").arg(held.size())
                       : QStringLiteral("照片已旋转：%1 个使用它的位置的裁图框随照片旋转").arg(held.size()));
}

void PHOTO_SAFELOAD(AppState& state, Ui& ui) {
    if (!hasSelection(state)) return;
    PhotoRecord& p = state.Photos[state.CurrentPhoto];
    const QString path = photoPath(state, p);
    // The strip size is taken anew too: the file may now have another shape.
    // Faces known before are looked for again: the file may show others now.
    PhotoLoad load = photoLoad(state.settings, ThumbMode::Safe);
    load.findFaces = load.findFaces || p.facesDetected;
    const QString error = loadPhotoFile(p, path, load);
    if (!error.isEmpty()) {
        // Nothing of the old picture may stay in use: the photo leaves the work and the catalogue.
        ui.message(QStringLiteral("无法读取照片，已从相册中移除：\n\n") + path + QStringLiteral("\n") + error,
                   Icon::Warning);
        removeSelected(state, ui);
        return;
    }
    rememberThumbnail(state, p, ThumbMode::Safe);
    PHOTO_NOUSE(state);
    moveToGroup(state, p, PHOTO_GETTYPE(p.width, p.height));
    regroup(state, ui);
    ui.redraw(View::Strip);
}

void PHOTO_SEARCH(AppState& state, Ui& ui, bool next) {
    const int count = static_cast<int>(state.Photos.size());
    if (count == 0) return;
    int start = 0;
    if (!next)
        state.SearchHit = -1;
    else if (state.SearchHit >= 0 && state.SearchHit + 1 < count)
        start = state.SearchHit + 1;
    for (int i = start; i < count; ++i) {
        if (state.Photos[i].useCount == 0) {
            state.SearchHit = i;
            const int row = i / std::max(1, state.StripColumns);
            if (row >= state.StripScrollPos &&
                row < state.StripScrollPos + std::max(1, state.StripPageSize)) {
                // Its row is in view: only the outlines change.
                if (state.CurrentPhoto >= 0) ui.redrawStripPhoto(state.CurrentPhoto);
                state.CurrentPhoto = i;
                ui.redrawStripPhoto(i);
            } else {
                state.CurrentPhoto = i;
                ui.showPhoto(i);
            }
            ALBUM_UPDATEINFO(state, ui, 1);
            return;
        }
    }
    ui.message(QStringLiteral("没有找到未使用照片"), Icon::Information);
}

void CLIP_REMAP(AppState& state, Ui& ui) {
    int oldCount = 0;
    for (const PhotoRecord& p : state.Photos)
        oldCount = std::max(oldCount, p.index + 1);
    for (const SlotRecord& s : state.Slots)
        oldCount = std::max(oldCount, s.photo + 1);
    std::vector<int> newPlace(oldCount, -1);
    for (int i = 0; i < static_cast<int>(state.Photos.size()); ++i)
        newPlace[state.Photos[i].index] = i;
    for (SlotRecord& s : state.Slots) {
        if (s.photo >= 0) s.photo = newPlace[s.photo];
    }
    ui.redraw(View::Canvas);
}

} // namespace zanfold
