#include "cli/sample.h"

#include "cli/console_ui.h"
#include "cli/sample_photo.h"
#include "core/text.h"
#include "core/worker_pool.h"
#include "imaging/file_utils.h"
#include "imaging/image_save.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>

#include <atomic>
#include <mutex>

namespace zanfold {

namespace {

const QString kTemplate = QStringLiteral("样例模板");

struct Placeholder {
    char prefix;
    int count;
    int width;
    int height;
};

constexpr Placeholder kPlaceholders[] = {{'A', 12, 1920, 1080}, {'B', 6, 1080, 1920}, {'C', 3, 1000, 1000}};

// A placeholder as a compositing project renders it: grey with a frame.
QImage placeholderImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(qRgb(128, 128, 128));
    QPainter p(&image);
    p.setPen(QPen(QColor(230, 230, 230), 8));
    p.drawRect(image.rect().adjusted(4, 4, -4, -4));
    return image;
}

// A mask: transparent in an oval, dark around it.
QImage maskImage(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(qRgba(0, 0, 0, 160));
    QPainter p(&image);
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::black);
    p.drawEllipse(QRectF(width * 0.08, height * 0.08, width * 0.84, height * 0.84));
    return image;
}

bool writeIfMissing(const QString& path, const QImage& image, QString* error) {
    if (QFileInfo::exists(path)) return true;
    FileError reason;
    const int status = path.endsWith(QStringLiteral(".png"))
                           ? GDIPLUSSAVEIMAGE(image, path, QStringLiteral("image/png"), 0, &reason)
                           : GDIPLUSSAVEJPEG(image, path, 90, &reason);
    if (status == kSaveOk) return true;
    if (error) *error = errorText(path, reason);
    return false;
}

} // namespace

bool writeSamplePhotos(const QString& folder, const QString& prefix, int count, int width, int height,
                       unsigned seed, int jobs, QString* error) {
    const FileError made = ZF_MAKEDIR(folder);
    if (made.failed()) {
        if (error) *error = errorText(folder, made);
        return false;
    }
    std::atomic<bool> ok{true};
    std::mutex lock;
    ConsoleUi ui;
    runParallel(count, jobs,
                [&](int i) {
                    const QString path = folder + QLatin1Char('/') + prefix +
                                         QStringLiteral("%1.jpg").arg(i + 1, 4, 10, QLatin1Char('0'));
                    if (QFileInfo::exists(path)) return;
                    QString reason;
                    if (!writeIfMissing(path, photoLikeImage(width, height, seed + static_cast<unsigned>(i)),
                                        &reason)) {
                        std::lock_guard guard(lock);
                        if (ok.exchange(false) && error) *error = reason;
                    }
                },
                ui, {});
    return ok;
}

Sample writeSample(const QString& folder, int jobs, QString* error) {
    Sample sample;
    sample.album = folder + QStringLiteral("/样例相册");
    const QString project = folder + QLatin1Char('/') + kTemplate;
    sample.projectFile = project + QLatin1Char('/') + kTemplate + QStringLiteral(".aep");
    // Mixed orientations of a few megapixels each: landscape, portrait and square.
    if (!writeSamplePhotos(sample.album, QStringLiteral("IMG_L"), 12, 2400, 1600, 100, jobs, error) ||
        !writeSamplePhotos(sample.album, QStringLiteral("IMG_P"), 8, 1600, 2400, 200, jobs, error) ||
        !writeSamplePhotos(sample.album, QStringLiteral("IMG_S"), 4, 1800, 1800, 300, jobs, error))
        return {};
    for (const QString& sub : {QStringLiteral("/照片"), QStringLiteral("/蒙版")}) {
        const FileError made = ZF_MAKEDIR(project + sub);
        if (made.failed()) {
            if (error) *error = errorText(project + sub, made);
            return {};
        }
    }
    if (!QFileInfo::exists(sample.projectFile)) {
        const FileError written = writeFileAtomically(sample.projectFile, QByteArray());
        if (written.failed()) {
            if (error) *error = errorText(sample.projectFile, written);
            return {};
        }
    }
    for (const Placeholder& p : kPlaceholders) {
        const QImage image = placeholderImage(p.width, p.height);
        for (int n = 1; n <= p.count; ++n) {
            const QString name = positionName(p.prefix, 3, n);
            if (!writeIfMissing(project + QStringLiteral("/照片/") + name + QStringLiteral(".jpg"), image,
                                error))
                return {};
        }
        // A mask for the first two placeholders of each group.
        for (int n = 1; n <= 2; ++n) {
            if (!writeIfMissing(project + QStringLiteral("/蒙版/") + positionName(p.prefix, 3, n) +
                                    QStringLiteral(".png"),
                                maskImage(p.width, p.height), error))
                return {};
        }
    }
    return sample;
}

} // namespace zanfold
