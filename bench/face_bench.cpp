// How well initial crops keep faces, never part of the test run:
//   zanfold-face-bench DIR [FACES_DIR]
// The set: the labelled photos of dlib's examples (FACES_DIR, by default where libdlib19.1 installs them),
// enlarged to camera size; composites of those faces pasted at random places and sizes into the
// benchmark's photo-like landscapes, landscape and portrait, so every face box is known; and photo-like
// pictures without people. For placeholders of 16:9, 9:16 and 1:1 it prints the share of faces the initial
// crop keeps whole, with faces off (the fixed default position) and on, the share of people-free photos
// whose crop moved, the detector's recall and false detections at several sizes, and its time per photo.
#include "album/album_import.h"
#include "cli/sample_photo.h"
#include "crop/face_crop.h"
#include "imaging/faces.h"
#include "imaging/image_save.h"
#include "imaging/picture.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>

#include <cstdio>
#include <random>
#include <vector>

using namespace zanfold;

namespace {

struct Labelled {
    QString file;
    std::vector<QRectF> faces;
};

struct Photo {
    QString file;
    std::vector<QRectF> faces; // true boxes in photo pixels; none for the people-free
    QString kind;              // "real", "composite", "none"
};

// dlib's imglab files: <image file='…'> followed by <box top left width height/> lines.
std::vector<Labelled> readLabels(const QString& dir, const QString& xml) {
    QFile f(dir + QLatin1Char('/') + xml);
    if (!f.open(QIODevice::ReadOnly)) return {};
    std::vector<Labelled> out;
    const QRegularExpression image(QStringLiteral("<image file='([^']+)'"));
    const QRegularExpression box(
        QStringLiteral("<box top='(\\d+)' left='(\\d+)' width='(\\d+)' height='(\\d+)'"));
    for (const QString& line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        if (const auto m = image.match(line); m.hasMatch())
            out.push_back({dir + QLatin1Char('/') + m.captured(1), {}});
        else if (const auto b = box.match(line); b.hasMatch() && !out.empty())
            out.back().faces.push_back(QRectF(b.captured(2).toInt(), b.captured(1).toInt(),
                                              b.captured(3).toInt(), b.captured(4).toInt()));
    }
    return out;
}

QRectF scaled(const QRectF& r, double k) {
    return QRectF(r.x() * k, r.y() * k, r.width() * k, r.height() * k);
}

bool save(const QImage& image, const QString& path) {
    return QFile::exists(path) || GDIPLUSSAVEJPEG(image, path, 90) == kSaveOk;
}

// A labelled photo enlarged to a long side of 4000 pixels, as a camera would have taken it.
Photo realPhoto(const Labelled& l, const QString& dir) {
    const QImage src(l.file);
    const double k = 4000.0 / std::max(src.width(), src.height());
    Photo p{dir + QStringLiteral("/real-") + QFileInfo(l.file).fileName(), {}, QStringLiteral("real")};
    save(src.scaled(src.size() * k, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), p.file);
    for (const QRectF& f : l.faces)
        p.faces.push_back(scaled(f, k));
    return p;
}

// Faces of the labelled photos pasted into a photo-like picture: `layout` 0 random, 1 one face near an edge,
// 2 two faces far apart.
Photo composite(const std::vector<Labelled>& labelled, const QString& dir, int n, bool portrait) {
    std::mt19937 rng(1000u + static_cast<unsigned>(n));
    const int w = portrait ? 2667 : 4000, h = portrait ? 4000 : 2667;
    Photo p{dir + QStringLiteral("/composite-%1.jpg").arg(n), {}, QStringLiteral("composite")};
    QImage picture = photoLikeImage(w, h, 500u + static_cast<unsigned>(n));
    QPainter painter(&picture);
    const int layout = n % 3;
    const int count = layout == 2 ? 2 : layout == 1 ? 1 : 1 + static_cast<int>(rng() % 3);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<QRectF> patches;
    for (int i = 0; i < count; ++i) {
        const Labelled& from = labelled[rng() % labelled.size()];
        const QRectF face = from.faces[rng() % from.faces.size()];
        const QImage src(from.file);
        // The face with its head and shoulders around it.
        const QRectF around = face.adjusted(-0.6 * face.width(), -0.8 * face.height(), 0.6 * face.width(),
                                            0.9 * face.height()) &
                              QRectF(src.rect());
        const double side = (0.07 + 0.11 * unit(rng)) * std::max(w, h); // face 7 % .. 18 % of the long side
        const double k = side / face.width();
        const QSizeF size = around.size() * k;
        for (int attempt = 0; attempt < 50; ++attempt) {
            double x = unit(rng) * (w - size.width()), y = unit(rng) * (h - size.height());
            if (layout == 1) x = rng() % 2 ? 0 : w - size.width();                // at an edge
            if (layout == 2) x = i == 0 ? 0.02 * w : w - size.width() - 0.02 * w; // far apart
            const QRectF at(QPointF(x, y), size);
            bool clear = true;
            for (const QRectF& q : patches)
                clear = clear && !q.intersects(at);
            if (!clear) continue;
            painter.drawImage(at, src, around);
            patches.push_back(at);
            p.faces.push_back(QRectF(x + (face.x() - around.x()) * k, y + (face.y() - around.y()) * k,
                                     face.width() * k, face.height() * k));
            break;
        }
    }
    painter.end();
    save(picture, p.file);
    return p;
}

Photo peopleFree(const QString& dir, int n) {
    const bool portrait = n % 2;
    Photo p{dir + QStringLiteral("/none-%1.jpg").arg(n), {}, QStringLiteral("none")};
    save(photoLikeImage(portrait ? 2667 : 4000, portrait ? 4000 : 2667, 3000u + static_cast<unsigned>(n)),
         p.file);
    return p;
}

double iou(const QRectF& a, const QRectF& b) {
    const QRectF i = a & b;
    const double both = i.width() * i.height();
    return both / (a.width() * a.height() + b.width() * b.height() - both);
}

struct Tally {
    int faces = 0, kept = 0;            // all faces
    int keepable = 0, keptKeepable = 0; // faces of photos one crop can hold all of
    int people = 0, moved = 0;          // people-free photos, and those whose crop moved
    void add(const Tally& t) {
        faces += t.faces, kept += t.kept, keepable += t.keepable, keptKeepable += t.keptKeepable;
        people += t.people, moved += t.moved;
    }
};

double pct(int a, int b) {
    return b ? 100.0 * a / b : 0.0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: zanfold-face-bench DIR [FACES_DIR]\n");
        return 2;
    }
    const QString dir = args[1];
    const QString facesDir =
        args.size() > 2 ? args[2] : QStringLiteral("/usr/share/doc/libdlib19.1/examples/faces");
    QDir().mkpath(dir);
    std::vector<Labelled> labelled = readLabels(facesDir, QStringLiteral("training.xml"));
    for (const Labelled& l : readLabels(facesDir, QStringLiteral("testing.xml")))
        labelled.push_back(l);
    if (labelled.empty()) {
        std::fprintf(stderr, "no labelled faces in %s (libdlib19.1 installs them)\n", qPrintable(facesDir));
        return 1;
    }

    std::vector<Photo> photos;
    for (const Labelled& l : labelled)
        photos.push_back(realPhoto(l, dir));
    for (int n = 0; n < 60; ++n)
        photos.push_back(composite(labelled, dir, n, n % 2));
    for (int n = 0; n < 40; ++n)
        photos.push_back(peopleFree(dir, n));

    // 0: the grey picture import makes (its size follows the decode scale), then smaller ones made from it.
    const int sides[] = {0, 896, 768, 640};
    int importSide = 0;
    struct Detection {
        int found = 0, truth = 0, falseFaces = 0, peopleFreeHit = 0;
        double ms = 0;
    } detection[std::size(sides)];
    double decodeMs = 0, decodeGreyMs = 0;
    const struct Aspect {
        const char* name;
        int w, h;
    } aspects[] = {{"16:9", 16, 9}, {"9:16", 9, 16}, {"1:1", 1, 1}};
    Tally base[std::size(aspects)], faced[std::size(aspects)];

    Settings off;
    Settings on;
    on.FaceCrop = 1;
    for (const Photo& photo : photos) {
        const ImageSource source{photo.file, 1, 0};
        QElapsedTimer t;
        t.start();
        thumbnail(source, 200, 200, ThumbMode::Fast);
        decodeMs += t.nsecsElapsed() / 1e6;
        t.restart();
        const QImage grey = thumbnail(source, 200, 200, ThumbMode::Fast, true, true).grey;
        decodeGreyMs += t.nsecsElapsed() / 1e6;
        importSide = std::max(importSide, std::max(grey.width(), grey.height()));
        // The record import makes; its faces are those of the import's grey picture, found below.
        PhotoRecord record;
        if (!loadPhotoFile(record, photo.file, PhotoLoad{}).isEmpty()) return 1;
        record.facesDetected = true;
        for (size_t s = 0; s < std::size(sides); ++s) {
            const QImage g = sides[s] == 0
                                 ? grey
                                 : grey.scaled(grey.size().scaled(sides[s], sides[s], Qt::KeepAspectRatio),
                                               Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            t.restart();
            const std::vector<FaceBox> found = detectFaces(g);
            detection[s].ms += t.nsecsElapsed() / 1e6;
            if (sides[s] == 0) record.faces = scaleFaces(found, g.size(), QSize(record.width, record.height));
            const double k = static_cast<double>(g.width()) / record.width;
            std::vector<bool> matched(found.size());
            for (const QRectF& truth : photo.faces) {
                ++detection[s].truth;
                bool hit = false;
                for (size_t i = 0; i < found.size(); ++i)
                    if (iou(scaled(truth, k), found[i].rect) > 0.3) hit = matched[i] = true;
                detection[s].found += hit;
            }
            for (bool m : matched)
                detection[s].falseFaces += !m;
            if (photo.faces.empty() && !found.empty()) ++detection[s].peopleFreeHit;
        }

        for (size_t a = 0; a < std::size(aspects); ++a) {
            const int aw = aspects[a].w * 120, ah = aspects[a].h * 120;
            for (Tally* tally : {&base[a], &faced[a]}) {
                const CropRect c = initialCrop(tally == base + a ? off : on, aw, ah, record);
                SlotRecord slot;
                slot.cropX = c.x, slot.cropY = c.y, slot.cropWidth = c.width, slot.cropHeight = c.height;
                const QRectF crop = sourceRect(record, slot);
                QRectF all;
                for (const QRectF& f : photo.faces)
                    all |= f;
                const bool keepable = all.width() <= crop.width() && all.height() <= crop.height();
                Tally one;
                for (const QRectF& f : photo.faces) {
                    const bool kept = crop.contains(f);
                    ++one.faces, one.kept += kept;
                    one.keepable += keepable, one.keptKeepable += keepable && kept;
                }
                if (photo.faces.empty()) {
                    const CropRect d = CLIP_INIT(off, aw, ah, record.thumbWidth, record.thumbHeight);
                    ++one.people;
                    one.moved += !(c == d);
                }
                tally->add(one);
            }
        }
    }

    const double n = static_cast<double>(photos.size());
    int real = 0, comp = 0, none = 0;
    for (const Photo& p : photos)
        (p.kind == QStringLiteral("real") ? real : p.kind == QStringLiteral("composite") ? comp : none)++;
    std::printf(
        "set: %d real photos with %zu labelled faces (dlib's examples, 4000 px), %d composites, %d "
        "people-free\n",
        real,
        [&] {
            size_t f = 0;
            for (const Labelled& l : labelled)
                f += l.faces.size();
            return f;
        }(),
        comp, none);
    std::printf(
        "\n| placeholder | faces kept, default position | faces kept, face-aware | of faces one crop can "
        "hold: default | face-aware | people-free photos moved |\n|---|---|---|---|---|---|\n");
    for (size_t a = 0; a < std::size(aspects); ++a)
        std::printf("| %s | %.1f %% | %.1f %% | %.1f %% | %.1f %% | %.1f %% |\n", aspects[a].name,
                    pct(base[a].kept, base[a].faces), pct(faced[a].kept, faced[a].faces),
                    pct(base[a].keptKeepable, base[a].keepable),
                    pct(faced[a].keptKeepable, faced[a].keepable), pct(faced[a].moved, faced[a].people));
    std::printf(
        "\n| detection long side | faces found | false faces | people-free photos with a face | ms per "
        "photo |\n|---|---|---|---|---|\n");
    for (size_t s = 0; s < std::size(sides); ++s)
        std::printf("| %d%s | %.1f %% (%d/%d) | %d | %d/%d | %.1f |\n", sides[s] ? sides[s] : importSide,
                    sides[s] ? "" : " (import's)", pct(detection[s].found, detection[s].truth),
                    detection[s].found, detection[s].truth, detection[s].falseFaces,
                    detection[s].peopleFreeHit, none, detection[s].ms / n);
    std::printf("\nthumbnail decode per photo: %.1f ms alone, %.1f ms with the grey picture\n", decodeMs / n,
                decodeGreyMs / n);
    return 0;
}
