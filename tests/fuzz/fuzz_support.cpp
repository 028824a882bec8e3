#include "fuzz/fuzz_support.h"

#include "imaging/image_save.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>

#include <cstdio>
#include <cstdlib>

namespace zanfold::fuzz {

namespace {

QImage ramp(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, 90));
    return image;
}

} // namespace

QString scratchFolder() {
    static const QString folder = [] {
        const QString path =
            QDir::tempPath() + QStringLiteral("/zanfold-fuzz-%1").arg(QCoreApplication::applicationPid());
        QDir().mkpath(path);
        return path;
    }();
    // Registered once the folder's name exists, so it runs before that name is destroyed at exit.
    static const bool removedAtExit = std::atexit([] { QDir(scratchFolder()).removeRecursively(); }) == 0;
    Q_UNUSED(removedAtExit);
    return folder;
}

QString fixtureAlbum() {
    static const QString album = [] {
        const QString path = QDir::tempPath() + QStringLiteral("/zanfold-fuzz-album");
        QDir().mkpath(path);
        const struct {
            const char* name;
            int width, height;
        } photos[] = {{"1.jpg", 320, 240}, {"2.jpg", 240, 320}, {"3.jpg", 300, 200}};
        for (const auto& p : photos) {
            const QString file = path + QLatin1Char('/') + QString::fromLatin1(p.name);
            if (!QFile::exists(file)) GDIPLUSSAVEJPEG(ramp(p.width, p.height), file, 80);
        }
        return path;
    }();
    return album;
}

void setUpWork(AppState& state) {
    TemplateRecord pair;
    pair.pTypeSum = 2;
    pair.count = 3;
    pair.spec[0] = {'A', 2, 200, 150, 2};
    pair.spec[1] = {'B', 2, 150, 200, 1};
    TemplateRecord square;
    square.pTypeSum = 1;
    square.count = 2;
    square.spec[0] = {'C', 1, 160, 160, 2};
    state.Templates = {pair, square};
    state.TemplateNames = {QStringLiteral("Pair"), QStringLiteral("Square")};
    state.ToolbarHeight = 40;
    state.RightPaneWidth = 900;
    state.CanvasHeight = 500;
    state.PaneHeight = 547;
    state.JobCount = 1;
    state.settings.OpenFolder = 0;
    state.settings.UseOutFolder = 1;
    state.settings.OutFolder = scratchFolder() + QStringLiteral("/out");
}

QString writeInput(const QString& name, const uint8_t* data, size_t size) {
    const QString path = scratchFolder() + QLatin1Char('/') + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) broken("cannot write the input file");
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    return path;
}

void broken(const char* what) {
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

} // namespace zanfold::fuzz
