#include "project/project_file.h"

#include "album/album_import.h"
#include "album/photo_ops.h"
#include "core/commands.h"
#include "core/geometry.h"
#include "core/records.h"
#include "core/text.h"
#include "crop/assignment.h"
#include "crop/face_crop.h"
#include "crop/slots.h"
#include "crop/work_templates.h"
#include "imaging/faces.h"
#include "imaging/orientation.h"
#include "project/unsaved_work.h"
#include "templates/library_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QtEndian>

#include <algorithm>
#include <numeric>

namespace zanfold {

namespace {

constexpr quint32 kMagic = 0x156ADEF0;
const QByteArray kSignature = "zfq";
// Extension block after the last position: the photos' file names in album order, with their quarter turns.
constexpr quint32 kTurnsMagic = 0x5452465A; // "ZFRT"
constexpr qint32 kTurnsVersion = 1;
// BASIC's "Input past end of file": the number shown when a file ends early or lies about its sizes.
constexpr int kErrPastEnd = 62;

void putInt(QByteArray& out, qint32 v) {
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void putU16(QByteArray& out, quint16 v) {
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

std::optional<QByteArray> gbBlock(const QString& text, QString* error) {
    const auto bytes = toGb18030(text);
    if (!bytes) {
        if (error) *error = QStringLiteral("无法保存的文字：") + text;
        return std::nullopt;
    }
    return textBlock(*bytes);
}

// Reads the file front to back; every size is checked against what is left before anything is allocated.
class Reader {
public:
    explicit Reader(const QByteArray& bytes) : data_(bytes) {}
    bool ok() const { return ok_; }
    qsizetype left() const { return data_.size() - pos_; }

    qint32 int32() {
        if (!need(4)) return 0;
        const qint32 v = qFromLittleEndian<qint32>(data_.constData() + pos_);
        pos_ += 4;
        return v;
    }
    quint32 uint32() { return static_cast<quint32>(int32()); }

    QByteArray text() {
        const qint32 n = int32();
        // n + 1 entries of at least two bytes each.
        if (!ok_ || n < -1 || (qint64(n) + 1) * 2 > left()) return fail();
        QByteArray first;
        for (qint64 i = 0; i <= n; ++i) {
            if (!need(2)) return {};
            qint64 length = qFromLittleEndian<quint16>(data_.constData() + pos_);
            pos_ += 2;
            if (length == 0xFFFF) {
                length = uint32();
                if (!ok_) return {};
            }
            if (!need(length)) return {};
            if (i == 0) first = data_.mid(pos_, length);
            pos_ += length;
        }
        return first;
    }

    // A count of items taking at least `itemBytes` each.
    qint32 count(int itemBytes) {
        const qint32 n = int32();
        if (n < 0 || qint64(n) * itemBytes > left()) {
            ok_ = false;
            return 0;
        }
        return n;
    }

private:
    bool need(qint64 bytes) {
        if (ok_ && bytes >= 0 && bytes <= left()) return true;
        ok_ = false;
        return false;
    }
    QByteArray fail() {
        ok_ = false;
        return {};
    }

    const QByteArray& data_;
    qsizetype pos_ = 0;
    bool ok_ = true;
};

QString decoded(const QByteArray& bytes) {
    return fromGb18030(bytes).value_or(QString::fromLatin1(bytes));
}

struct SavedPosition {
    int photo = -1;
    QString name;
    int x = 0, y = 0, width = 0, height = 0;
};

struct SavedTurn {
    QString fileName;
    int turns = 0;
};

enum class Stage { Header, Album, Photos, Templates, Positions, Turns, Done };

// Everything the file holds, and where reading stopped when it stopped early.
struct ProjectData {
    Stage failedAt = Stage::Done;
    bool badMagic = false;
    QString album;
    std::vector<std::pair<int, QString>> photos; // use count, usage
    QStringList templates;
    std::vector<SavedPosition> positions;
    std::vector<SavedTurn> turns;
};

ProjectData parse(const QByteArray& bytes) {
    ProjectData d;
    Reader r(bytes);
    d.failedAt = Stage::Header;
    const quint32 magic = r.uint32();
    if (!r.ok()) return d;
    if (magic != kMagic) {
        d.badMagic = true;
        return d;
    }
    const QByteArray signature = r.text();
    if (!r.ok()) return d;
    if (signature != kSignature) {
        d.badMagic = true;
        return d;
    }
    d.failedAt = Stage::Album;
    d.album = decoded(r.text());
    if (!r.ok()) return d;
    d.failedAt = Stage::Photos;
    const qint32 n = r.count(4);
    for (qint32 i = 0; i < n && r.ok(); ++i) {
        const qint32 uses = r.int32();
        const QString usage = uses > 0 ? fitText(decoded(r.text()), kUsageCapacity) : QString();
        d.photos.emplace_back(uses, usage);
    }
    if (!r.ok()) return d;
    d.failedAt = Stage::Templates;
    const qint32 w = r.count(4);
    for (qint32 i = 0; i < w && r.ok(); ++i)
        d.templates << decoded(r.text());
    if (!r.ok()) return d;
    d.failedAt = Stage::Positions;
    const qint32 s = r.count(24);
    for (qint32 i = 0; i < s && r.ok(); ++i) {
        SavedPosition p;
        p.photo = r.int32();
        p.name = decoded(r.text());
        p.x = r.int32();
        p.y = r.int32();
        p.width = r.int32();
        p.height = r.int32();
        d.positions.push_back(p);
    }
    if (!r.ok()) return d;
    d.failedAt = Stage::Done;
    // The optional block after the positions; anything else there is ignored, as older readers would. A
    // block that starts but does not end is a file cut short: its photos would come back unturned.
    QByteArray header;
    putInt(header, static_cast<qint32>(kTurnsMagic));
    putInt(header, kTurnsVersion);
    if (r.left() > 0 && r.left() < header.size() && header.startsWith(bytes.right(r.left()))) {
        d.failedAt = Stage::Turns;
        return d;
    }
    if (r.left() >= 8 && r.uint32() == kTurnsMagic && r.int32() == kTurnsVersion) {
        d.failedAt = Stage::Turns;
        const qint32 count = r.count(8);
        for (qint32 i = 0; i < count && r.ok(); ++i) {
            SavedTurn t;
            t.fileName = decoded(r.text());
            t.turns = r.int32() & 3;
            d.turns.push_back(t);
        }
        if (!r.ok()) return d;
        d.failedAt = Stage::Done;
    }
    return d;
}

// How far a crop rectangle may reach, in thumbnail pixels per thumbnail side: zooming out without the
// limits of CheckMove can make it larger than the photo, but never by this much; a file that says more
// would only overflow the arithmetic of the output.
constexpr int kCropReach = 100;

// Positions whose crop from the file cannot be a rectangle of their photo get the initial crop again; their
// names (template：position).
QStringList resetImpossibleCrops(AppState& state) {
    QStringList names;
    for (int w = 0; w < static_cast<int>(state.WorkTemplates.size()); ++w) {
        const TemplateRecord& t = templateOf(state, w);
        for (int s = 0; s < t.pTypeSum; ++s) {
            for (int n = 0; n < t.spec[s].count; ++n) {
                const int g = CLIP_GETSLOT(state, w, s, n);
                SlotRecord& slot = state.Slots[g];
                if (slot.photo < 0) continue;
                const PhotoRecord& p = state.Photos[slot.photo];
                const qint64 reach = qint64(kCropReach) * std::max(p.thumbWidth, p.thumbHeight);
                auto within = [reach](qint64 v, qint64 low) { return v >= low && v <= reach; };
                if (within(slot.cropWidth, 1) && within(slot.cropHeight, 1) && within(slot.cropX, -reach) &&
                    within(slot.cropY, -reach))
                    continue;
                const CropRect c = initialCrop(state.settings, t.spec[s].width, t.spec[s].height, p);
                slot.cropX = c.x;
                slot.cropY = c.y;
                slot.cropWidth = c.width;
                slot.cropHeight = c.height;
                names << positionLabel(state, w, g);
            }
        }
    }
    return names;
}

// The file does not say which positions the user set by hand: a crop other than its initial one was,
// so an allocation asks before it replaces it.
void markHandSetCrops(AppState& state) {
    for (int w = 0; w < static_cast<int>(state.WorkTemplates.size()); ++w) {
        const TemplateRecord& t = templateOf(state, w);
        for (int s = 0; s < t.pTypeSum; ++s) {
            for (int n = 0; n < t.spec[s].count; ++n) {
                SlotRecord& slot = state.Slots[CLIP_GETSLOT(state, w, s, n)];
                if (slot.photo < 0) continue;
                const CropRect c =
                    initialCrop(state.settings, t.spec[s].width, t.spec[s].height, state.Photos[slot.photo]);
                slot.handSet = c != CropRect{slot.cropX, slot.cropY, slot.cropWidth, slot.cropHeight};
            }
        }
    }
}

// Puts the re-imported album back into the saved order, by the photos' names, and turns the photos that
// were turned; photos added since come after the saved ones of their orientation group. The new place of
// each saved photo, -1 for one that is no longer in the folder.
std::vector<int> restoreAlbumOrder(AppState& state, const std::vector<SavedTurn>& saved) {
    QHash<QString, int> byName;
    for (int i = 0; i < static_cast<int>(state.Photos.size()); ++i)
        byName.insert(state.Photos[i].fileName, i);
    std::vector<PhotoRecord> ordered;
    std::vector<int> savedIndex; // of each record of `ordered`, -1 for a photo added since
    std::vector<bool> taken(state.Photos.size(), false);
    for (int s = 0; s < static_cast<int>(saved.size()); ++s) {
        const auto found = byName.constFind(saved[s].fileName);
        if (found == byName.constEnd() || taken[*found]) continue;
        taken[*found] = true;
        PhotoRecord p = state.Photos[*found];
        if (const int turns = saved[s].turns) {
            p.thumb = rotateQuarters(p.thumb, turns);
            p.faces = turnFaces(p.faces, QSize(p.width, p.height), turns);
            p.image.quarterTurns = turns;
            if (turns % 2) {
                std::swap(p.width, p.height);
                std::swap(p.thumbWidth, p.thumbHeight);
                std::swap(p.stripWidth, p.stripHeight);
                p.orient = PHOTO_GETTYPE(p.width, p.height);
            }
        }
        ordered.push_back(std::move(p));
        savedIndex.push_back(s);
    }
    for (size_t i = 0; i < state.Photos.size(); ++i) {
        if (taken[i]) continue;
        ordered.push_back(state.Photos[i]);
        savedIndex.push_back(-1);
    }
    // Allocation takes each orientation group as a run of the album.
    std::vector<int> order(ordered.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return ordered[a].orient < ordered[b].orient; });
    std::vector<int> newPlace(saved.size(), -1);
    state.Photos.clear();
    for (int k : order) {
        if (savedIndex[k] >= 0) newPlace[savedIndex[k]] = static_cast<int>(state.Photos.size());
        state.Photos.push_back(std::move(ordered[k]));
    }
    state.AlbumOrientCount = {0, 0, 0};
    for (const PhotoRecord& p : state.Photos)
        ++state.AlbumOrientCount[p.orient];
    PHOTO_UPINDEX(state);
    return newPlace;
}

void failOpen(Ui& ui, const QString& text) {
    ui.message(text, Icon::Warning);
}

void failRead(Ui& ui, const FileError& error) {
    failOpen(ui, errorText(QStringLiteral("打开项目时出现以下错误："), error));
}

const FileError kPastEnd{kErrPastEnd, QStringLiteral("Input past end of file")};

// The project's album folder is gone (moved, renamed, another drive letter): the user may show where it is
// now. A folder is taken when it holds photos the project names (or, for a file that names none, any
// photos); how many of them are missing there is said. The dialog starts beside the project file, where an
// album moved with its project is. Empty when the user gave up.
QString relocatedAlbum(Ui& ui, const ProjectData& d, const QString& projectFolder) {
    if (!confirm(ui,
                 QStringLiteral("项目的相册文件夹不存在：\n\n%1\n\n是否选择相册的新位置？")
                     .arg(QDir::toNativeSeparators(d.album)),
                 Answer::Cancel))
        return {};
    for (;;) {
        const QString folder =
            trimmedFolder(ui.browseFolder(QStringLiteral("选择相册的新位置"), projectFolder));
        if (folder.isEmpty()) return {};
        const QStringList files = albumFiles(folder);
        const QSet<QString> present(files.begin(), files.end());
        const int named = static_cast<int>(d.turns.size());
        const int found =
            static_cast<int>(std::count_if(d.turns.begin(), d.turns.end(),
                                           [&](const SavedTurn& t) { return present.contains(t.fileName); }));
        if (files.isEmpty() || (named > 0 && found == 0)) {
            ui.message(QStringLiteral("所选文件夹中没有这个项目的照片：\n\n%1")
                           .arg(QDir::toNativeSeparators(folder)),
                       Icon::Warning);
            continue;
        }
        if (found < named)
            ui.message(
                QStringLiteral("新位置缺少项目的 %1 张照片（共 %2 张）。").arg(named - found).arg(named),
                Icon::Warning);
        return folder;
    }
}

} // namespace

QByteArray textBlock(const QByteArray& bytes) {
    QByteArray out;
    const qint64 length = bytes.size();
    putInt(out, static_cast<qint32>(length - 1));
    if (length == 0) return out;
    if (length >= 0xFFFF) {
        putU16(out, 0xFFFF);
        putInt(out, static_cast<qint32>(length));
    } else {
        putU16(out, static_cast<quint16>(length));
    }
    out += bytes;
    for (qint64 i = 1; i < length; ++i)
        putU16(out, 0);
    return out;
}

std::optional<QByteArray> projectBytes(const AppState& state, QString* error) {
    QByteArray out;
    putInt(out, static_cast<qint32>(kMagic));
    out += textBlock(kSignature);
    auto block = [&](const QString& text) {
        const auto b = gbBlock(text, error);
        if (b) out += *b;
        return b.has_value();
    };
    if (!block(state.AlbumPath)) return std::nullopt;
    putInt(out, static_cast<qint32>(state.Photos.size()));
    for (const PhotoRecord& p : state.Photos) {
        putInt(out, p.useCount);
        if (p.useCount > 0 && !block(p.usage)) return std::nullopt;
    }
    putInt(out, static_cast<qint32>(state.WorkTemplates.size()));
    for (const WorkTemplate& w : state.WorkTemplates) {
        if (!block(state.TemplateNames.value(w.template_))) return std::nullopt;
    }
    putInt(out, static_cast<qint32>(state.Slots.size()));
    for (const SlotRecord& s : state.Slots) {
        putInt(out, s.photo);
        if (!block(s.name)) return std::nullopt;
        putInt(out, s.cropX);
        putInt(out, s.cropY);
        putInt(out, s.cropWidth);
        putInt(out, s.cropHeight);
    }
    // Every project names its photos, so reopening can tell whether the album still holds them.
    putInt(out, static_cast<qint32>(kTurnsMagic));
    putInt(out, kTurnsVersion);
    putInt(out, static_cast<qint32>(state.Photos.size()));
    for (const PhotoRecord& p : state.Photos) {
        if (!block(p.fileName)) return std::nullopt;
        putInt(out, p.image.quarterTurns);
    }
    return out;
}

QString proposedProjectName(const AppState& state) {
    QString name = AFXGETFILENAME(state.AlbumPath);
    for (const WorkTemplate& w : state.WorkTemplates)
        name += QLatin1Char('_') + state.TemplateNames.value(w.template_);
    return name;
}

int SAVEPROJ(AppState& state, Ui& ui) {
    if (state.WorkTemplates.empty()) return 0;
    // The work goes back into the file it came from or was last saved to; only a new work asks for one.
    if (!state.ProjectPath.isEmpty()) return saveProjectTo(state, ui, state.ProjectPath);
    return SAVEPROJAS(state, ui);
}

int SAVEPROJAS(AppState& state, Ui& ui) {
    if (state.WorkTemplates.empty()) return 0;
    const bool known = !state.ProjectPath.isEmpty();
    const QString folder = known ? QFileInfo(state.ProjectPath).absolutePath() : state.AlbumPath;
    const QString name = known ? QFileInfo(state.ProjectPath).completeBaseName() : proposedProjectName(state);
    const QString path = ui.saveFile(QStringLiteral("保存项目"), state.ProjectFilter, folder, name);
    if (path.isEmpty()) return 0;
    return saveProjectTo(state, ui, path);
}

int saveProjectTo(AppState& state, Ui& ui, const QString& path) {
    QString reason;
    const std::optional<QByteArray> bytes = projectBytes(state, &reason);
    // The old project is replaced only by a complete new one.
    const FileError error = bytes ? writeFileAtomically(path, *bytes) : FileError{EILSEQ, reason};
    if (error.failed()) {
        ui.message(errorText(QStringLiteral("保存项目出错："), error) + QLatin1Char('\n') +
                       QDir::toNativeSeparators(path),
                   Icon::Warning);
        return 0;
    }
    state.ProjectPath = path;
    state.ProjectFolder = QFileInfo(path).absolutePath();
    state.History.markSaved();
    ui.setCaption(workCaption(state));
    ui.setStatus(1, QStringLiteral("已保存"));
    return 1;
}

namespace {

// The current work may be replaced: asked when there is one, and about its unsaved changes.
bool mayReplaceWork(AppState& state, Ui& ui) {
    if (!state.AlbumPath.isEmpty() && !confirm(ui, QStringLiteral("确信要替换当前工作吗？"), Answer::Cancel))
        return false;
    return mayDropWork(state, ui);
}

} // namespace

int OPENPROJ(AppState& state, Ui& ui) {
    if (!mayReplaceWork(state, ui)) return 0;
    const QString path = ui.openFile(QStringLiteral("打开项目"), state.ProjectFilter, state.ProjectFolder);
    if (path.isEmpty()) return 0;
    return openProjectFrom(state, ui, path);
}

int openGivenProject(AppState& state, Ui& ui, const QString& path) {
    if (!mayReplaceWork(state, ui)) return 0;
    return openProjectFrom(state, ui, path);
}

int openProjectFrom(AppState& state, Ui& ui, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        failRead(ui, {EIO, file.errorString()});
        return 0;
    }
    const ProjectData d = parse(file.readAll());
    file.close();

    // Failures before the album is imported leave the current album and work as they are.
    if (d.failedAt == Stage::Header) {
        if (d.badMagic)
            failOpen(ui, QStringLiteral("非法的Zanfold项目文件！"));
        else
            failRead(ui, kPastEnd);
        return 0;
    }
    if (d.failedAt == Stage::Album || d.failedAt == Stage::Turns) {
        failRead(ui, kPastEnd);
        return 0;
    }
    if (d.failedAt == Stage::Photos) {
        failRead(ui, kPastEnd);
        return 0;
    }
    const bool moved = !AFXFOLDEREXISTS(d.album);
    const QString album = moved ? relocatedAlbum(ui, d, QFileInfo(path).absolutePath()) : d.album;
    if (album.isEmpty()) return 0;
    if (!ALBUM_OPEN(state, ui, album, true)) {
        failOpen(ui, QStringLiteral("打开项目失败"));
        return 0;
    }
    // Where each photo of the file now is: by name where the file names its photos, else by place.
    std::vector<int> photoPlace(d.photos.size(), -1);
    if (!d.turns.empty()) {
        photoPlace = restoreAlbumOrder(state, d.turns);
        photoPlace.resize(d.photos.size(), -1);
        // Turned photos count in their new orientation group.
        ALBUM_UPDATEINFO(state, ui, 2);
    } else {
        for (int i = 0; i < static_cast<int>(photoPlace.size()) && i < static_cast<int>(state.Photos.size());
             ++i)
            photoPlace[i] = i;
    }
    // A file of the original format does not name its photos: an album of another size may have moved
    // every photo from its place.
    const bool mayHaveMoved = d.turns.empty() && d.photos.size() != state.Photos.size();
    ui.redraw(View::Strip);

    // From here on a failure keeps the new album with an empty work.
    if (d.failedAt == Stage::Templates) {
        failRead(ui, kPastEnd);
        return 0;
    }
    std::vector<int> library;
    int slotCount = 0;
    for (const QString& name : d.templates) {
        const int t = TEMPLATE_FIND(state, name);
        if (t < 0) {
            failOpen(ui, QStringLiteral("项目所需模板不存在：") + name);
            return 0;
        }
        library.push_back(t);
        slotCount += state.Templates[t].count;
    }
    if (d.failedAt == Stage::Positions) {
        failRead(ui, kPastEnd);
        return 0;
    }
    if (slotCount != static_cast<int>(d.positions.size())) {
        failOpen(ui, QStringLiteral("项目文件的裁图位置数量（%1）与模板的位置数量（%2）不符，无法恢复！")
                         .arg(d.positions.size())
                         .arg(slotCount));
        return 0;
    }

    // Position names become output file names: each must be a plain name, once in its template.
    for (size_t t = 0, g = 0; t < library.size(); ++t) {
        QSet<QString> seen;
        for (int n = 0; n < state.Templates[library[t]].count; ++n, ++g) {
            const QString& name = d.positions[g].name;
            if (!isPlainFileName(name) || seen.contains(name)) {
                failOpen(ui, QStringLiteral("项目文件中的裁图位置名称无效：“%1”（模板 %2）")
                                 .arg(name, state.TemplateNames.value(library[t])));
                return 0;
            }
            seen.insert(name);
        }
    }

    const int photoCount = static_cast<int>(state.Photos.size());
    for (size_t i = 0; i < d.photos.size(); ++i)
        if (photoPlace[i] >= 0) state.Photos[photoPlace[i]].usage = d.photos[i].second;
    int first = 0;
    for (int t : library) {
        state.WorkTemplates.push_back({t, first});
        first += state.Templates[t].count;
    }
    state.Slots.assign(d.positions.size(), SlotRecord{});
    std::vector<int> emptied; // positions whose photo is gone
    QSet<QString> lostPhotos; // the photos' names, where the file has them
    std::vector<int> unsure;  // positions whose photo may be another one now
    for (size_t g = 0; g < d.positions.size(); ++g) {
        const SavedPosition& p = d.positions[g];
        SlotRecord& slot = state.Slots[g];
        slot.name = p.name;
        slot.cropX = p.x;
        slot.cropY = p.y;
        slot.cropWidth = p.width;
        slot.cropHeight = p.height;
        if (p.photo == -1) continue;
        const int place =
            p.photo >= 0 && p.photo < static_cast<int>(photoPlace.size()) ? photoPlace[p.photo] : -1;
        slot.photo = place;
        if (place < 0) {
            emptied.push_back(static_cast<int>(g));
            if (p.photo >= 0 && p.photo < static_cast<int>(d.turns.size()))
                lostPhotos.insert(d.turns[p.photo].fileName);
        } else if (mayHaveMoved) {
            unsure.push_back(static_cast<int>(g));
        }
    }
    // The positions by name, now that the work's templates are in place.
    auto labels = [&](const std::vector<int>& slots) {
        QStringList out;
        for (const int at : slots) {
            int w = 0;
            while (w + 1 < static_cast<int>(state.WorkTemplates.size()) &&
                   state.WorkTemplates[w + 1].firstSlot <= at)
                ++w;
            out << positionLabel(state, w, at);
        }
        return out;
    };
    const QStringList resetCrops = resetImpossibleCrops(state);
    markHandSetCrops(state);
    // The file keeps no masks: they are read again from the templates' folders, as when first added.
    for (int w = 0; w < static_cast<int>(state.WorkTemplates.size()); ++w)
        loadSlotMasks(state, ui, w);
    // Use counts and usage texts follow the restored positions, whatever the file said.
    for (int i = 0; i < photoCount; ++i) {
        state.Photos[i].useCount = static_cast<int>(positionsOf(state, i).size());
        refreshUsage(state, i);
    }

    CLIP_LOADTEMPLATES(state, ui);
    // The strip was drawn with the album, before the use counts were restored.
    ui.redraw(View::Strip);
    for (int id : {command::AllocatePhotos, command::StartCropping, command::RemoveCurrentTemplate,
                   command::RemoveAllTemplates, command::SaveProject, command::SaveProjectAs})
        ui.setCommandEnabled(id, true);
    state.ProjectPath = path;
    state.ProjectFolder = QFileInfo(path).absolutePath();
    ui.setCaption(workCaption(state));
    // The work now lives in the album's new place, which the file does not say until it is saved.
    if (moved) state.History.markChanged();
    if (!resetCrops.isEmpty())
        ui.message(QStringLiteral("有 %1 个裁图位置的裁图框超出了照片的范围，已重置为默认位置：\n")
                           .arg(resetCrops.size()) +
                       nameList(resetCrops),
                   Icon::Warning);
    if (!emptied.empty()) {
        QStringList photos = lostPhotos.values();
        photos.sort();
        QString text =
            QStringLiteral(
                "相册文件夹自保存项目以来已改变，有 %1 个裁图位置的照片已不在相册中，这些位置已清空：\n")
                .arg(emptied.size()) +
            nameList(labels(emptied));
        if (!photos.isEmpty()) text += QStringLiteral("\n\n不在相册中的照片：\n") + nameList(photos);
        ui.message(text, Icon::Warning);
    }
    if (!unsure.empty())
        ui.message(
            QStringLiteral(
                "相册的照片数量自保存项目以来已改变（%1 张，现在 %2 张）。这个项目文件没有记下照片的名称，"
                "以下 %3 个裁图位置的照片可能已不是原来的，请检查：\n")
                    .arg(d.photos.size())
                    .arg(photoCount)
                    .arg(unsure.size()) +
                nameList(labels(unsure)),
            Icon::Warning);
    return 1;
}

} // namespace zanfold
