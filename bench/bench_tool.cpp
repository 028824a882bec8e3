// Helpers of the benchmark (bench/run.sh), never part of the test run:
//   single DIR [RUNS]          time the JPEG pipeline on one 24 MP photo, single-threaded
//   album DIR                  write the benchmark album: 40 photos of 6000 x 4000 and 40 of 4000 x 3000
//   template DIR               write a template project needing 20 outputs of 1920 x 1080 and 20 of 1080 x
//   1920 jobs PROJECT LIBRARY INI   print the crops of a saved project: file x y w h W H name, one per line
#include "cli/console_ui.h"
#include "cli/sample.h"
#include "core/worker_pool.h"
#include "crop/slots.h"
#include "imaging/image_save.h"
#include "imaging/picture.h"
#include "output/batch_crop.h"
#include "project/project_file.h"
#include "settings/settings_store.h"
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

int single(const QString& dir, int runs) {
    QString error;
    if (!writeSamplePhotos(dir, QStringLiteral("single"), 1, 6000, 4000, 7, 1, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const ImageSource source{dir + QStringLiteral("/single0001.jpg"), 1, 0};
    const QRect rect(0, 312, 6000, 3375);
    const QString output = dir + QStringLiteral("/out1920.jpg");
    bool ok = true;
    const double thumb = medianMs(runs, [&] { ok &= thumbnail(source, 200, 133, ThumbMode::Fast).ok(); });
    const double safe =
        medianMs(std::max(1, runs / 2), [&] { ok &= thumbnail(source, 200, 133, ThumbMode::Safe).ok(); });
    const double crop = medianMs(runs, [&] {
        const Rendered r = renderCrop(source, rect, 1920, 1080, qRgb(255, 255, 255));
        ok &= r.ok() && GDIPLUSSAVEJPEG(r.image, output, 90) == kSaveOk;
    });
    if (!ok) return 1;
    std::printf("thumbnail_fast_ms=%.1f thumbnail_safe_ms=%.1f output_1920_ms=%.1f\n", thumb, safe, crop);
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
    if (command == QStringLiteral("template") && args.size() == 3) return templateProject(args[2]);
    if (command == QStringLiteral("jobs") && args.size() == 5) return jobs(args[2], args[3], args[4]);
    std::fprintf(stderr,
                 "usage: %s single DIR [RUNS] | album DIR | template DIR | jobs PROJECT LIBRARY SETTINGS\n",
                 argv[0]);
    return 2;
}
