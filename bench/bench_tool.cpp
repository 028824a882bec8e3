// Helpers of the benchmark (bench/run.sh), never part of the test run:
//   single DIR [RUNS]          time the JPEG pipeline on one 24 MP photo, single-threaded
//   album DIR                  write the benchmark album: 40 photos of 6000 x 4000 and 40 of 4000 x 3000
//   tag SRC DST                copy the album's photos into DST with an Adobe RGB profile embedded
//   template DIR               write a template project needing 20 outputs of 1920 x 1080 and 20 of 1080 x
//   1920 jobs PROJECT LIBRARY INI   print the crops of a saved project: file x y w h W H name, one per line
#include "cli/console_ui.h"
#include "cli/sample.h"
#include "core/worker_pool.h"
#include "crop/slots.h"
#include "imaging/faces.h"
#include "imaging/image_save.h"
#include "imaging/picture.h"
#include "output/batch_crop.h"
#include "project/project_file.h"
#include "settings/settings_store.h"
#include "support/icc_profiles.h"
#include "templates/library_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace zanfold;

namespace {

double medianMs(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The JPEG with the profile as one APP2 "ICC_PROFILE" segment right after its start marker.
QByteArray tagged(const QByteArray& jpeg, const QByteArray& profile) {
    QByteArray segment("\xFF\xE2", 2);
    const int length = 2 + 14 + static_cast<int>(profile.size());
    segment.append(static_cast<char>(length >> 8)).append(static_cast<char>(length & 0xFF));
    segment.append("ICC_PROFILE", 12).append('\x01').append('\x01').append(profile);
    return jpeg.left(2) + segment + jpeg.mid(2);
}

bool copyTagged(const QString& from, const QString& to) {
    QFile in(from), out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) return false;
    return out.write(tagged(in.readAll(), test::adobeRgbProfile())) > 0;
}

struct PipelineTimes {
    double thumb = 0, safe = 0, crop = 0;
    double thumbGrey = 0,
           detect = 0; // import with faces: the decode that gives the grey picture too, the detector
};

PipelineTimes timePipeline(const QString& file, const QString& output, int runs, bool& ok) {
    const ImageSource source{file, 1, 0};
    const QRect rect(0, 312, 6000, 3375);
    PipelineTimes t;
    t.thumb = medianMs(runs, [&] { ok &= thumbnail(source, 200, 133, ThumbMode::Fast).ok(); });
    QImage grey;
    t.thumbGrey = medianMs(runs, [&] {
        const Rendered r = thumbnail(source, 200, 133, ThumbMode::Fast, true, true);
        ok &= r.ok();
        grey = r.grey;
    });
    t.detect = medianMs(runs, [&] { detectFaces(grey); });
    t.safe =
        medianMs(std::max(1, runs / 2), [&] { ok &= thumbnail(source, 200, 133, ThumbMode::Safe).ok(); });
    t.crop = medianMs(runs, [&] {
        const Rendered r = renderCrop(source, rect, 1920, 1080, qRgb(255, 255, 255));
        ok &= r.ok() && GDIPLUSSAVEJPEG(r.image, output, 90) == kSaveOk;
    });
    return t;
}

int single(const QString& dir, int runs) {
    QString error;
    if (!writeSamplePhotos(dir, QStringLiteral("single"), 1, 6000, 4000, 7, 1, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const QString plain = dir + QStringLiteral("/single0001.jpg");
    const QString adobe = dir + QStringLiteral("/adobe0001.jpg");
    if (!copyTagged(plain, adobe)) return 1;
    const QString output = dir + QStringLiteral("/out1920.jpg");
    bool ok = true;
    const PipelineTimes p = timePipeline(plain, output, runs, ok);
    const PipelineTimes a = timePipeline(adobe, output, runs, ok);
    if (!ok) return 1;
    std::printf("thumbnail_fast_ms=%.1f thumbnail_safe_ms=%.1f output_1920_ms=%.1f "
                "adobe_rgb: thumbnail_fast_ms=%.1f thumbnail_safe_ms=%.1f output_1920_ms=%.1f\n",
                p.thumb, p.safe, p.crop, a.thumb, a.safe, a.crop);
    std::printf("faces: thumbnail_fast_with_grey_ms=%.1f face_detection_ms=%.1f\n", p.thumbGrey, p.detect);
    return 0;
}

int tagAlbum(const QString& from, const QString& to) {
    QDir().mkpath(to);
    for (const QString& name : QDir(from).entryList({QStringLiteral("*.jpg")}, QDir::Files)) {
        if (QFile::exists(to + QLatin1Char('/') + name)) continue;
        if (!copyTagged(from + QLatin1Char('/') + name, to + QLatin1Char('/') + name)) return 1;
    }
    return 0;
}

int album(const QString& dir) {
    QString error;
    // Interleaved names, so that allocation in photo order takes both sizes.
    const int jobs = workerCount();
    if (!writeSamplePhotos(dir, QStringLiteral("a"), 40, 6000, 4000, 1000, jobs, &error) ||
        !writeSamplePhotos(dir, QStringLiteral("b"), 40, 4000, 3000, 2000, jobs, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    return 0;
}

int templateProject(const QString& dir) {
    QDir().mkpath(dir + QStringLiteral("/照片"));
    QFile aep(dir + QStringLiteral("/Bench.aep"));
    if (!aep.open(QIODevice::WriteOnly)) return 1;
    const QImage landscape(1920, 1080, QImage::Format_RGB888), portrait(1080, 1920, QImage::Format_RGB888);
    for (int n = 1; n <= 20; ++n) {
        const QString a = dir + QStringLiteral("/照片/A%1.jpg").arg(n, 2, 10, QLatin1Char('0'));
        const QString b = dir + QStringLiteral("/照片/B%1.jpg").arg(n, 2, 10, QLatin1Char('0'));
        QImage la = landscape, pb = portrait;
        la.fill(Qt::gray);
        pb.fill(Qt::gray);
        if (GDIPLUSSAVEJPEG(la, a, 90) != kSaveOk || GDIPLUSSAVEJPEG(pb, b, 90) != kSaveOk) return 1;
    }
    return 0;
}

int jobs(const QString& project, const QString& library, const QString& settings) {
    AppState state;
    ConsoleUi ui;
    state.TemplateFile = library;
    loadOptionsFrom(state, settings);
    TEMPLATE_LOAD(state, ui);
    if (!openProjectFrom(state, ui, project)) return 1;
    for (int w = 0; w < static_cast<int>(state.WorkTemplates.size()); ++w) {
        const TemplateRecord& t = templateOf(state, w);
        for (int s = 0; s < t.pTypeSum; ++s) {
            for (int n = 0; n < t.spec[s].count; ++n) {
                const int g = CLIP_GETSLOT(state, w, s, n);
                const SlotRecord& slot = state.Slots[g];
                if (slot.photo < 0) continue;
                prepareSlot(state, g, w, s, QString());
                std::printf(
                    "%s %d %d %d %d %d %d %s\n",
                    qPrintable(state.AlbumPath + QLatin1Char('/') + state.Photos[slot.photo].fileName),
                    slot.srcX, slot.srcY, slot.srcWidth, slot.srcHeight, slot.outWidth, slot.outHeight,
                    qPrintable(slot.name));
            }
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QString command = args.value(1);
    if (command == QStringLiteral("single") && args.size() >= 3)
        return single(args[2], args.value(3, QStringLiteral("7")).toInt());
    if (command == QStringLiteral("album") && args.size() == 3) return album(args[2]);
    if (command == QStringLiteral("tag") && args.size() == 4) return tagAlbum(args[2], args[3]);
    if (command == QStringLiteral("template") && args.size() == 3) return templateProject(args[2]);
    if (command == QStringLiteral("jobs") && args.size() == 5) return jobs(args[2], args[3], args[4]);
    std::fprintf(
        stderr,
        "usage: %s single DIR [RUNS] | album DIR | tag SRC DST | template DIR | jobs PROJECT LIBRARY "
        "SETTINGS\n",
        argv[0]);
    return 2;
}
