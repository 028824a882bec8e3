#include "output/batch_crop.h"

#include "core/geometry.h"
#include "core/text.h"
#include "core/worker_pool.h"
#include "crop/canvas.h"
#include "crop/crop_geometry.h"
#include "crop/slots.h"
#include "imaging/image_save.h"
#include "imaging/picture.h"
#include "imaging/regular_file.h"
#include "output/preflight.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <atomic>
#include <mutex>

namespace zanfold {

namespace {

// One file to write, copied out of the work so that the workers never read what the window may change.
struct CropJob {
    ImageSource source;
    bool manageColour = true;
    QRect rect;
    QSize size;
    QString file;
    int work = 0;
    int slot = 0; // the position, to name it
};

CropJob jobFor(const AppState& state, int g, int w, bool manageColour) {
    const SlotRecord& slot = state.Slots[g];
    return {state.Photos[slot.photo].image,
            manageColour,
            QRect(slot.srcX, slot.srcY, slot.srcWidth, slot.srcHeight),
            QSize(slot.outWidth, slot.outHeight),
            slot.outFolder + slot.name + QStringLiteral(".jpg"),
            w,
            g};
}

// Why one file was not written: the photo could not be read (`photo` set), or the output file failed.
struct JobFailure {
    FileError error;
    bool photo = false;
    bool failed() const { return error.failed(); }
};

JobFailure writeJob(const CropJob& job, QRgb background, int quality) {
    const Rendered image =
        renderCrop(job.source, job.rect, job.size.width(), job.size.height(), background, job.manageColour);
    if (!image.ok()) return {{EIO, image.error}, true};
    FileError reason;
    if (GDIPLUSSAVEJPEG(image.image, job.file, quality, &reason) != 0) return {reason, false};
    return {};
}

// How a failed file is told: the photo and the system's reason when the photo was the problem, else the
// output file and its error.
QString failureText(const QString& lead, const CropJob& job, const JobFailure& failure) {
    if (failure.photo)
        return lead + QStringLiteral("\n照片无法读取：") + QDir::toNativeSeparators(job.source.file) +
               QStringLiteral("\n") + failure.error.description;
    return errorText(lead + QDir::toNativeSeparators(job.file), failure.error);
}

// Makes the folder when it is missing; the reason when that fails.
FileError ensureFolder(const QString& folder) {
    if (AFXFOLDEREXISTS(folder)) return {};
    return ZF_MAKEDIR(folder);
}

} // namespace

QString outputAlbumName(const QString& albumPath, bool batch) {
    const QString last = albumPath.mid(albumPath.lastIndexOf(QLatin1Char('/')) + 1);
    if (!batch) return last;
    const qsizetype dot = last.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 ? last.left(dot) : last;
}

QString templateFolder(const AppState& state, int w, bool batch) {
    const QString album = outputAlbumName(state.AlbumPath, batch);
    const QString base =
        state.settings.UseOutFolder ? trimmedFolder(state.settings.OutFolder) : state.AlbumPath;
    const QString root = base + QLatin1Char('/') + album;
    const int t = state.WorkTemplates[w].template_;
    // A template taken into the work again writes its copy beside the first, never over it.
    const int copy =
        1 + static_cast<int>(std::count_if(state.WorkTemplates.begin(), state.WorkTemplates.begin() + w,
                                           [t](const WorkTemplate& other) { return other.template_ == t; }));
    QString name = state.TemplateNames.value(t);
    if (copy > 1) name += QStringLiteral(" (%1)").arg(copy);
    return root + (state.settings.OutFolderType ? QLatin1Char('_') : QLatin1Char('/')) + name;
}

QString emptyPositionsText(const AppState& state, const std::vector<UsageEntry>& empty) {
    auto name = [&](const UsageEntry& e) {
        return QLatin1Char('\'') + state.Slots[CLIP_GETSLOT(state, e.work, e.spec, e.position)].name +
               QLatin1Char('\'');
    };
    if (empty.size() == 1) return name(empty.front()) + QStringLiteral("没有分配照片！");
    constexpr size_t kShown = 10;
    QStringList lines;
    for (size_t i = 0; i < empty.size() && i < kShown; ++i)
        lines << positionLabel(state, empty[i].work,
                               CLIP_GETSLOT(state, empty[i].work, empty[i].spec, empty[i].position));
    if (empty.size() > kShown) lines << QStringLiteral("……（另有 %1 个）").arg(empty.size() - kShown);
    return QStringLiteral("有 %1 个位置没有分配照片！\n\n").arg(empty.size()) + lines.join(QLatin1Char('\n'));
}

QString batchCancelledText(int written, int total) {
    return QStringLiteral("裁图已取消：已写入 %1 个文件，%2 个位置未写入").arg(written).arg(total - written);
}

QString finishedText(qint64 ms) {
    return QStringLiteral("裁图完成！用时：%1.%2秒").arg(ms / 1000).arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

QRgb backgroundColour(int c) {
    return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

void prepareSlot(AppState& state, int g, int w, int s, const QString& folder) {
    SlotRecord& slot = state.Slots[g];
    const SpecRecord& spec = specOf(state, w, s);
    const PhotoRecord& p = state.Photos[slot.photo];
    slot.outWidth = spec.width;
    slot.outHeight = spec.height;
    slot.outFolder = folder + QLatin1Char('/');
    const QRect source = sourceRect(p, slot);
    slot.srcX = source.x();
    slot.srcY = source.y();
    slot.srcWidth = source.width();
    slot.srcHeight = source.height();
}

int CLIP_BEGIN(AppState& state, Ui& ui, int* filesWritten) {
    if (filesWritten) *filesWritten = 0;
    const int works = static_cast<int>(state.WorkTemplates.size());
    if (works == 0) return 0;
    if (const QString problem = outFolderProblem(state.settings); !problem.isEmpty()) {
        ui.message(problem, Icon::Exclamation);
        return 0;
    }
    // Every empty position is named at once, before anything is asked or written.
    std::vector<UsageEntry> empty;
    for (int w = 0; w < works; ++w) {
        const TemplateRecord& t = templateOf(state, w);
        for (int s = 0; s < t.pTypeSum; ++s)
            for (int n = 0; n < t.spec[s].count; ++n)
                if (state.Slots[CLIP_GETSLOT(state, w, s, n)].photo < 0) empty.push_back({w, s, n});
    }
    if (!empty.empty()) {
        ui.message(emptyPositionsText(state, empty), Icon::Warning);
        CLIP_SELECT(state, ui, empty.front().work, empty.front().spec, empty.front().position);
        return 0;
    }
    if (!confirm(ui, QStringLiteral("确信要开始裁图吗？"), Answer::Ok)) return 0;
    ui.setStatus(1, QStringLiteral("正在裁图，请稍后..."));

    std::vector<CropJob> jobs;
    std::vector<FileError> folderErrors(works);
    QString lastFolder;
    for (int w = 0; w < works; ++w) {
        const QString folder = templateFolder(state, w, true);
        lastFolder = folder;
        folderErrors[w] = ensureFolder(folder);
        const TemplateRecord& t = templateOf(state, w);
        for (int s = 0; s < t.pTypeSum; ++s) {
            for (int n = 0; n < t.spec[s].count; ++n) {
                const int g = CLIP_GETSLOT(state, w, s, n);
                prepareSlot(state, g, w, s, folder);
                jobs.push_back(jobFor(state, g, w, state.settings.ColorManage != 0));
            }
        }
    }
    // Nothing surprising is delivered unasked: soft enlargements and damaged photos come first.
    const PreflightReport report = preflightCheck(state);
    if (report.worthAsking() &&
        ui.message(preflightText(report), Icon::Question, Buttons::YesNo, {}, Answer::No) != Answer::Yes) {
        ui.setStatus(1, QString());
        return 0;
    }
    const QStringList& damaged = report.damaged;
    // Positions whose photo changed since it was read are left as they are on disk.
    std::erase_if(jobs, [&](const CropJob& job) {
        return std::find(report.changedSlots.begin(), report.changedSlots.end(), job.slot) !=
               report.changedSlots.end();
    });

    const int total = static_cast<int>(jobs.size());
    state.CancelOffered = true;
    ui.progress(0, total);
    QElapsedTimer timer;
    timer.start();
    const QRgb background = backgroundColour(state.settings.BackColor);
    const int quality = state.settings.JpegQuality;
    std::mutex failureLock;
    std::vector<char> written(total, 0); // each worker sets only its own job's mark
    int failed = 0;
    int firstFailed = total;
    JobFailure firstError;
    const bool cancelled = runParallel(
        total, state.JobCount > 0 ? state.JobCount : workerCount(),
        [&](int i) {
            const CropJob& job = jobs[i];
            const JobFailure error = folderErrors[job.work].failed()
                                         ? JobFailure{folderErrors[job.work], false}
                                         : writeJob(job, background, quality);
            if (!error.failed()) {
                written[i] = 1;
                return;
            }
            std::lock_guard lock(failureLock);
            ++failed;
            if (i < firstFailed) {
                firstFailed = i;
                firstError = error;
            }
        },
        ui, [&](int done) { ui.progress(done, total); }, &state.CancelRequested);
    state.CancelOffered = false;
    const qint64 elapsed = timer.elapsed();
    if (cancelled) {
        // The files already written are whole and stay; the rest were never started.
        ui.hideProgress();
        QStringList missing;
        for (int i = 0; i < total; ++i)
            if (!written[i]) missing << positionLabel(state, jobs[i].work, jobs[i].slot);
        const int done = total - static_cast<int>(missing.size());
        ui.setStatus(1, batchCancelledText(done, total));
        ui.message(batchCancelledText(done, total) + QStringLiteral("\n\n未写入的位置：\n") +
                       nameList(missing),
                   Icon::Warning);
        return 0;
    }

    // What the user finds on disk: every file written, counted once.
    QSet<QString> files;
    for (int i = 0; i < total; ++i)
        if (written[i] && QFileInfo::exists(jobs[i].file)) files.insert(jobs[i].file);
    if (filesWritten) *filesWritten = static_cast<int>(files.size());
    const QString text = finishedText(elapsed);
    const int skipped = static_cast<int>(report.changedPositions.size());
    // A batch that left files unwritten is not finished, and never says so.
    ui.setStatus(1, failed + skipped == 0
                        ? text
                        : QStringLiteral("裁图未完成：%1 个文件未能写入").arg(failed + skipped));
    ui.hideProgress();
    if (state.settings.OpenFolder) ZF_OPENFOLDER(ui, lastFolder);
    const QString damagedNote =
        damaged.isEmpty() ? QString()
                          : QStringLiteral("\n\n有 %1 个位置使用了已损坏的照片，裁出的图片可能有灰色区域：\n")
                                    .arg(damaged.size()) +
                                nameList(damaged);
    const QString skippedNote =
        skipped == 0
            ? QString()
            : QStringLiteral("\n\n有 %1 个位置没有写入，它们的照片在读入后已被修改或移走：\n").arg(skipped) +
                  nameList(report.changedPositions);
    if (failed > 0) {
        const QString lead = QStringLiteral("裁图未完成：有 %1 个文件未能写入，第一个是：\n").arg(failed);
        ui.message(failureText(lead, jobs[firstFailed], firstError) + skippedNote + damagedNote,
                   Icon::Warning);
    } else if (skipped > 0) {
        ui.message(QStringLiteral("裁图未完成。") + skippedNote + damagedNote, Icon::Warning);
    } else if (!damaged.isEmpty()) {
        ui.message(text + damagedNote, Icon::Warning);
    } else if (state.settings.FinishAsk) {
        ui.message(text, Icon::Information);
    }
    return failed + skipped == 0 ? 1 : 0;
}

int CLIP_ONE(AppState& state, Ui& ui) {
    const int g = currentSlotIndex(state);
    if (g < 0 || state.Slots[g].photo < 0) return 0;
    if (const QString problem = outFolderProblem(state.settings); !problem.isEmpty()) {
        ui.message(problem, Icon::Exclamation);
        return 0;
    }
    const PhotoRecord& photo = state.Photos[state.Slots[g].photo];
    if (changedSinceRead(photo.image)) {
        ui.message(QStringLiteral(
                       "这个位置没有写入：它的照片在读入后已被修改或移走（请先“更新照片”并检查裁图）：\n") +
                       QDir::toNativeSeparators(photo.image.file),
                   Icon::Warning);
        return 0;
    }
    const QString folder = templateFolder(state, state.CurrentWork, false);
    JobFailure error{ensureFolder(folder), false};
    prepareSlot(state, g, state.CurrentWork, state.CurrentSpec, folder);
    const CropJob job = jobFor(state, g, state.CurrentWork, state.settings.ColorManage != 0);
    if (!error.failed())
        error = writeJob(job, backgroundColour(state.settings.BackColor), state.settings.JpegQuality);
    if (error.failed()) {
        ui.message(failureText(QStringLiteral("裁图失败："), job, error), Icon::Warning);
        return 0;
    }
    if (photo.damaged)
        ui.message(QStringLiteral("裁图完成！\n\n这个位置使用的照片已损坏，裁出的图片可能有灰色区域：\n") +
                       photo.fileName,
                   Icon::Warning);
    else if (state.settings.FinishAsk)
        ui.message(QStringLiteral("裁图完成！"), Icon::Information);
    return 1;
}

} // namespace zanfold
