// Times the JPEG pipeline on one camera-size photo, single-threaded: thumbnail, full decode, and one
// 1920 x 1080 output (region decode, resample, encode, write). Usage: zanfold-bench-imaging DIR [RUNS]
#include "imaging/image_save.h"
#include "imaging/jpeg_codec.h"
#include "imaging/picture.h"
#include "photo_maker.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

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

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DIR [RUNS]\n", argv[0]);
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    QDir().mkpath(dir);
    const QString photo = dir + QStringLiteral("/photo24.jpg");
    if (!QFileInfo::exists(photo)) {
        QString error;
        const QByteArray bytes = encodeJpeg(bench::photoLikeImage(6000, 4000, 7), 90, &error);
        QFile out(photo);
        if (bytes.isEmpty() || !out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(photo));
            return 1;
        }
    }
    const ImageSource source{photo, 1, 0};
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
    if (!ok) {
        std::fprintf(stderr, "a run failed\n");
        return 1;
    }
    std::printf("photo\t%s\t%.1f MB\n", qPrintable(photo), QFileInfo(photo).size() / 1e6);
    std::printf("thumbnail (fast, 200x133)\t%.1f ms\n", thumb);
    std::printf("thumbnail (safe, full decode)\t%.1f ms\n", safe);
    std::printf("output 1920x1080 (crop %d,%d %dx%d, q90, written)\t%.1f ms\n", rect.x(), rect.y(),
                rect.width(), rect.height(), crop);
    return 0;
}
