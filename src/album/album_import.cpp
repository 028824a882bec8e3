#include "album/album_import.h"

#include "album/thumb_cache.h"
#include "core/commands.h"
#include "core/geometry.h"
#include "core/text.h"
#include "core/worker_pool.h"
#include "crop/work_templates.h"
#include "imaging/faces.h"
#include "imaging/file_utils.h"
#include "imaging/picture.h"

#include <QElapsedTimer>

#include <algorithm>

namespace zanfold {

namespace {

// The strip size: the thumbnail fitted into 100 x 100; a sliver still gets a side of one pixel.
void setStripSize(PhotoRecord& p) {
    p.stripWidth = p.thumbWidth;
    p.stripHeight = p.thumbHeight;
    ZF_GETZOOM(100, 100, p.stripWidth, p.stripHeight);
    p.stripWidth = std::max(1, p.stripWidth);
    p.stripHeight = std::max(1, p.stripHeight);
}

// After an import: the files that were skipped and the photos whose files hold corrupt data, in one message.
void reportUnreadable(AppState& state, Ui& ui, const QStringList& files, const std::vector<QString>& errors) {
    QStringList skipped;
    for (size_t i = 0; i < errors.size(); ++i)
        if (!errors[i].isEmpty()) skipped << files[static_cast<int>(i)] + QStringLiteral("：") + errors[i];
    QStringList damaged, profiles;
    for (const PhotoRecord& p : state.Photos) {
        if (p.damaged) damaged << p.fileName;
        if (p.profileUnusable) profiles << p.fileName;
    }
    if (skipped.isEmpty() && damaged.isEmpty() && profiles.isEmpty()) return;
    QStringList parts;
    if (!skipped.isEmpty())
        parts << QStringLiteral("有 %1 个文件无法读取，已跳过：\n").arg(skipped.size()) + nameList(skipped);
    if (!damaged.isEmpty())
        parts << QStringLiteral("有 %1 张照片的数据已损坏（照片栏中已标出），裁出的图片可能有灰色区域：\n")
                         .arg(damaged.size()) +
                     nameList(damaged);
    if (!profiles.isEmpty())
        parts << QStringLiteral("有 %1 张照片的颜色配置文件无法使用，将按照片中的原始数值显示和裁切：\n")
                         .arg(profiles.size()) +
                     nameList(profiles);
    ui.message(parts.join(QStringLiteral("\n\n")), Icon::Warning);
}

// The picture fields of a record, whether decoded or found in the cache.
void setPicture(PhotoRecord& photo, const ImageSource& source, const QImage& thumb, bool damaged,
                bool profileUnusable, int width, int height) {
    photo.image = source;
    photo.thumb = thumb;
    photo.damaged = damaged;
    photo.profileUnusable = profileUnusable;
    photo.width = width;
    photo.height = height;
    photo.thumbWidth = thumb.width();
    photo.thumbHeight = thumb.height();
    setStripSize(photo);
    photo.hasImage = true;
}

// The record as loadPhotoFile would have filled it, from a cache row; false when the row cannot be read.
bool fromCache(PhotoRecord& photo, const QString& path, FileIdentity stamp, const CachedThumb& hit) {
    const QImage thumb = cachedImage(hit.jpeg);
    if (thumb.isNull()) return false;
    setPicture(photo, ImageSource{path, hit.orientation, 0, stamp}, thumb, hit.damaged, hit.profileUnusable,
               hit.width, hit.height);
    photo.facesDetected = hit.facesDetected;
    photo.faces = hit.faces;
    return true;
}

// What the cache keeps of a decoded record.
CacheRow cacheRow(const PhotoRecord& photo, FileIdentity stamp, const QByteArray& jpeg) {
    return {photo.image.file,
            stamp,
            {jpeg, photo.width, photo.height, photo.image.orientation, photo.damaged, photo.profileUnusable,
             photo.facesDetected, photo.faces}};
}

} // namespace

qint64 thumbCacheLimit(const AppState& state) {
    return static_cast<qint64>(state.settings.ThumbCacheMB) * 1024 * 1024;
}

void rememberThumbnail(const AppState& state, PhotoRecord& photo, ThumbMode mode) {
    const qint64 limit = thumbCacheLimit(state);
    if (state.ThumbCacheFile.isEmpty() || limit <= 0) return;
    ThumbCache cache(state.ThumbCacheFile, limit);
    if (!cache.usable()) return;
    const QByteArray jpeg = settleThumbnail(photo.thumb);
    cache.store(
        {cacheRow(photo, photo.image.identity, jpeg)},
        cacheMode(mode == ThumbMode::Safe, state.settings.AutoOrient != 0, state.settings.ColorManage != 0));
}

PhotoLoad photoLoad(const Settings& settings, ThumbMode mode) {
    return {settings.AutoOrient != 0, settings.ColorManage != 0, mode, settings.FaceCrop != 0};
}

QString loadPhotoFile(PhotoRecord& photo, const QString& path, const PhotoLoad& load) {
    // Taken first: a file that changes while it is read then no longer matches, and is not cropped unread.
    const FileIdentity identity = fileIdentity(path);
    const PictureInfo info = probe(path);
    if (!info.ok()) return info.error.isEmpty() ? QStringLiteral("不是可以读取的图片") : info.error;
    const ImageSource source{path, load.autoOrient ? info.orientation : 1, 0, identity};
    const bool turned = source.orientation >= 5;
    const int width = turned ? info.size.height() : info.size.width();
    const int height = turned ? info.size.width() : info.size.height();
    int tw = width, th = height;
    ZF_GETZOOM(200, 200, tw, th);
    // A sliver of a photo still gets a side of one pixel, so nothing divides by zero later.
    tw = std::max(1, tw);
    th = std::max(1, th);
    const Rendered thumb = thumbnail(source, tw, th, load.mode, load.manageColour, load.findFaces);
    if (!thumb.ok()) return thumb.error;
    setPicture(photo, source, thumb.image, thumb.damaged, thumb.profileUnusable, width, height);
    photo.facesDetected = load.findFaces;
    photo.faces = load.findFaces ? photoFaces(thumb.grey, QSize(width, height)) : std::vector<FaceBox>{};
    return {};
}

QStringList albumFiles(const QString& folder) {
    return listFiles(folder, QStringLiteral("*.jpg")) + listFiles(folder, QStringLiteral("*.jpeg"));
}

void ALBUM_RESET(AppState& state, Ui& ui) {
    state.Photos.clear();
    state.AlbumOrientCount = {0, 0, 0};
    state.CurrentPhoto = -1;
    state.SearchHit = -1;
    state.StripColumns = 0;
    state.StripRows = 0;
    state.StripScrollPos = 0;
    for (int id : {command::ChooseTemplates, command::AllocatePhotos, command::StartCropping})
        ui.setCommandEnabled(id, false);
    ui.setStatus(3, QString());
}

int ALBUM_OPEN(AppState& state, Ui& ui, const QString& folderArgument, bool quiet) {
    QString folder = folderArgument;
    if (folder.isEmpty()) {
        folder = ui.browseFolder(QStringLiteral("选择相册文件夹"), state.AlbumPath);
        if (folder.isEmpty()) return 0;
        if (trimmedFolder(folder) == state.AlbumPath) return 0;
    }
    folder = trimmedFolder(folder);
    const QStringList files = albumFiles(folder);
    if (files.isEmpty()) {
        ui.message(QStringLiteral("所选相册没有照片！"), Icon::Warning);
        return 0;
    }
    // The new album is read beside the open one, which stays as it is until the import has finished: a
    // cancelled import leaves the album, the work and its history untouched.
    const int count = static_cast<int>(files.size());
    std::vector<PhotoRecord> photos(count);
    ui.setStatus(1, QStringLiteral("导入相册，请稍后..."));
    state.CancelOffered = true;
    ui.progress(0, count);
    QElapsedTimer timer;
    timer.start();
    const bool safe = state.settings.SafeImport != 0;
    const PhotoLoad load = photoLoad(state.settings, safe ? ThumbMode::Safe : ThumbMode::Fast);
    std::vector<QString> errors(count);
    // Photos whose files have not changed since an earlier import come from the cache, decoded from a
    // small JPEG instead of the photo; the others are decoded and join the cache afterwards.
    const qint64 limit = thumbCacheLimit(state);
    ThumbCache cache(limit > 0 ? state.ThumbCacheFile : QString(), limit);
    const int mode = cacheMode(safe, load.autoOrient, load.manageColour);
    std::vector<FileIdentity> stamps(count);
    std::vector<std::optional<CachedThumb>> hits(count);
    std::vector<QByteArray> fresh(count);
    if (cache.usable()) {
        for (int i = 0; i < count; ++i) {
            const QString path = folder + QLatin1Char('/') + files[i];
            stamps[i] = fileIdentity(path);
            hits[i] = cache.find(path, stamps[i], mode);
            // A row made without looking for faces is decoded again when they are wanted.
            if (hits[i] && load.findFaces && !hits[i]->facesDetected) hits[i].reset();
            if (i % 256 == 255) ui.processEvents();
        }
    }
    const bool caching = cache.usable();
    // Each worker writes only the records it takes; the window never reads them before the end.
    const bool cancelled = runParallel(
        count, state.JobCount > 0 ? state.JobCount : workerCount(),
        [&](int i) {
            PhotoRecord& photo = photos[i];
            photo.fileName = files[i];
            photo.index = i;
            const QString path = folder + QLatin1Char('/') + files[i];
            if (!hits[i] || !fromCache(photo, path, stamps[i], *hits[i])) {
                errors[i] = loadPhotoFile(photo, path, load);
                // The thumbnail becomes the one the cache will give back, so hits and misses look alike.
                if (caching && errors[i].isEmpty()) fresh[i] = settleThumbnail(photo.thumb);
            }
        },
        ui, [&](int done) { ui.progress(done, count); }, &state.CancelRequested);
    state.CancelOffered = false;
    if (caching) {
        // One transaction for the whole import, on this thread, after the workers are done. Photos that
        // were decoded before a cancel are kept too: the next attempt starts from them.
        std::vector<CacheRow> rows;
        std::vector<QString> used;
        for (int i = 0; i < count; ++i) {
            const PhotoRecord& p = photos[i];
            if (!fresh[i].isEmpty())
                rows.push_back(cacheRow(p, stamps[i], fresh[i]));
            else if (hits[i] && p.hasImage)
                used.push_back(p.image.file);
        }
        cache.store(rows, mode, used);
    }
    if (cancelled) {
        ui.hideProgress();
        ui.setStatus(1, importCancelledText());
        return 0;
    }
    const qint64 elapsed = timer.elapsed();
    ui.hideProgress();
    // The old work goes: its history cannot be taken back into the new one.
    state.History.reset();
    CLIP_CLEARTEMPLATES(state, ui, true);
    ALBUM_RESET(state, ui);
    state.Photos = std::move(photos);
    state.AlbumPath = folder;
    state.ProjectPath.clear();
    ui.setCaption(workCaption(state));
    ui.setCommandEnabled(command::ChooseTemplates, true);
    ui.setCommandEnabled(command::OpenPhotoFolder, true);
    ALBUM_INIT(state, ui);
    // The time taken stays in part 1 until a photo is selected.
    ui.setStatus(1, QStringLiteral("用时：") + numberText(static_cast<int>(elapsed)));
    if (!quiet) ui.redraw(View::Strip);
    reportUnreadable(state, ui, files, errors);
    return 1;
}

QString importCancelledText() {
    return QStringLiteral("导入相册已取消");
}

void dropAlbumFolder(AppState& state, Ui& ui, const QString& path, const std::function<bool()>& mayDropWork) {
    const QString folder = trimmedFolder(path);
    // These two boxes carry the program's name rather than its title.
    if (!AFXFOLDEREXISTS(folder)) {
        ui.message(QStringLiteral("请拖入一个照片文件夹"), Icon::Information, Buttons::Ok, state.ExeName);
        return;
    }
    if (!state.AlbumPath.isEmpty() &&
        !confirm(ui, QStringLiteral("确信要替换当前工作吗？"), Answer::Cancel, state.ExeName))
        return;
    if (folder != state.AlbumPath && mayDropWork()) ALBUM_OPEN(state, ui, folder, false);
}

void ALBUM_INIT(AppState& state, Ui& ui) {
    auto& photos = state.Photos;
    const auto loadedEnd =
        std::stable_partition(photos.begin(), photos.end(), [](const PhotoRecord& p) { return p.hasImage; });
    photos.erase(loadedEnd, photos.end());
    state.AlbumOrientCount = {0, 0, 0};
    // The workers set each strip size with the thumbnail.
    for (PhotoRecord& p : photos) {
        p.orient = PHOTO_GETTYPE(p.stripWidth, p.stripHeight);
        ++state.AlbumOrientCount[p.orient];
    }
    // Stable: inside each orientation group the photos keep the scan order.
    std::stable_sort(photos.begin(), photos.end(),
                     [](const PhotoRecord& a, const PhotoRecord& b) { return a.orient < b.orient; });
    for (int i = 0; i < static_cast<int>(photos.size()); ++i)
        photos[i].index = i;
    ALBUM_UPDATEINFO(state, ui, 0);
}

void ALBUM_UPDATEINFO(const AppState& state, Ui& ui, int mode) {
    if (mode == 0 || mode == 1) {
        QString text;
        if (state.CurrentPhoto >= 0) {
            const PhotoRecord& p = state.Photos[state.CurrentPhoto];
            text = numberText(state.CurrentPhoto + 1) + QString(10, QLatin1Char(' ')) + p.fileName +
                   QStringLiteral("  (") + numberText(p.width) + QStringLiteral(" ×") + numberText(p.height) +
                   QStringLiteral(" )");
        }
        ui.setStatus(1, text);
    }
    if (mode == 0 || mode == 2) {
        const auto& c = state.AlbumOrientCount;
        ui.setStatus(2, QStringLiteral(" 照片数量：") + numberText(static_cast<int>(state.Photos.size())) +
                            QStringLiteral(" (横") + numberText(c[0]) + QStringLiteral(" 竖") +
                            numberText(c[1]) + QStringLiteral(" 方") + numberText(c[2]) + QLatin1Char(')'));
    }
}

} // namespace zanfold
