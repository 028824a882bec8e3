#include "crop/face_crop.h"

#include "core/worker_pool.h"
#include "crop/slots.h"
#include "imaging/faces.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace zanfold {

namespace {

// In a larger crowd the clearest faces decide: the search grows with the cube of the faces' number.
constexpr size_t kMaxFaces = 32;

// The places a crop of length `length` may start at on an axis of `size`: inside the picture, or, for a crop
// larger than the picture, covering it.
struct Axis {
    int low = 0;
    int high = 0;
    int clamp(int v) const { return std::clamp(v, low, high); }
};

Axis axisFor(int length, int size) {
    const int spare = size - length;
    return {std::min(0, spare), std::max(0, spare)};
}

// Of [a, b), how much a crop [x, x + length) holds.
double overlap(double x, int length, double a, double b) {
    return std::max(0.0, std::min(x + length, b) - std::max(x, a));
}

// The starts at which the crop's hold on a span [a, b) changes, and the ones that keep it whole.
void addBreakpoints(std::vector<int>& out, const Axis& axis, int length, double a, double b) {
    for (double v : {a - length, b - length, a, b}) {
        out.push_back(axis.clamp(static_cast<int>(std::floor(v))));
        out.push_back(axis.clamp(static_cast<int>(std::ceil(v))));
    }
}

std::vector<FaceBox> facesInThumbnail(const PhotoRecord& photo) {
    return scaleFaces(photo.faces, QSize(photo.width, photo.height),
                      QSize(photo.thumbWidth, photo.thumbHeight));
}

std::vector<QRectF> rectsOf(const std::vector<FaceBox>& faces) {
    std::vector<QRectF> rects;
    for (const FaceBox& f : faces)
        rects.push_back(f.rect);
    return rects;
}

// The crop of `c`'s size at the face-aware place, the place `c` has being the preferred one.
CropRect placedForFaces(CropRect c, const PhotoRecord& photo) {
    const QPoint at = faceAwarePosition(QSize(c.width, c.height), QSize(photo.thumbWidth, photo.thumbHeight),
                                        QPoint(c.x, c.y), rectsOf(facesInThumbnail(photo)));
    c.x = at.x();
    c.y = at.y();
    return c;
}

} // namespace

QRectF faceRoom(const QRectF& face, QSize picture) {
    const double w = face.width(), h = face.height();
    const QRectF room = face.adjusted(-0.25 * w, -0.45 * h, 0.25 * w, 0.3 * h);
    return room & QRectF(0, 0, picture.width(), picture.height());
}

QPoint faceAwarePosition(QSize crop, QSize picture, QPoint preferred, const std::vector<QRectF>& faces) {
    std::vector<QRectF> rooms;
    for (const QRectF& f : faces) {
        if (rooms.size() == kMaxFaces) break;
        const QRectF room = faceRoom(f, picture);
        if (!room.isEmpty()) rooms.push_back(room);
    }
    if (rooms.empty()) return preferred;
    const int cw = crop.width(), ch = crop.height();
    const Axis ax = axisFor(cw, picture.width()), ay = axisFor(ch, picture.height());
    std::vector<int> xs{ax.clamp(preferred.x())}, ys{ay.clamp(preferred.y())};
    for (const QRectF& r : rooms) {
        addBreakpoints(xs, ax, cw, r.left(), r.right());
        addBreakpoints(ys, ay, ch, r.top(), r.bottom());
    }
    for (auto* v : {&xs, &ys}) {
        std::sort(v->begin(), v->end());
        v->erase(std::unique(v->begin(), v->end()), v->end());
    }
    // Most faces whole, then the most of the others' room, then the nearest to the preferred place.
    QPoint best = preferred;
    std::tuple<int, double, qint64> bestScore{-1, 0.0, 0};
    for (int x : xs) {
        for (int y : ys) {
            int whole = 0;
            double partial = 0;
            for (const QRectF& r : rooms) {
                const double held = overlap(x, cw, r.left(), r.right()) * overlap(y, ch, r.top(), r.bottom());
                const double area = r.width() * r.height();
                if (held >= area - 1e-6)
                    ++whole;
                else
                    partial += held;
            }
            const qint64 dx = x - preferred.x(), dy = y - preferred.y();
            const std::tuple<int, double, qint64> score{whole, partial, -(dx * dx + dy * dy)};
            if (score > bestScore) {
                bestScore = score;
                best = QPoint(x, y);
            }
        }
    }
    return best;
}

CropRect initialCrop(const Settings& settings, int aw, int ah, const PhotoRecord& photo) {
    const CropRect c = CLIP_INIT(settings, aw, ah, photo.thumbWidth, photo.thumbHeight);
    if (settings.FaceCrop == 0 || photo.faces.empty()) return c;
    return placedForFaces(c, photo);
}

void CLIP_FACEPOS(AppState& state, Ui& ui) {
    const int g = currentSlotIndex(state);
    if (g < 0 || state.Slots[g].photo < 0) return;
    SlotRecord& slot = state.Slots[g];
    PhotoRecord& photo = state.Photos[slot.photo];
    if (!photo.facesDetected && !findPhotoFaces(photo)) {
        ui.message(QStringLiteral("无法读取照片，未能查找人脸：\n\n") + photo.image.file, Icon::Warning);
        return;
    }
    if (photo.faces.empty()) {
        ui.message(QStringLiteral("这张照片中没有找到人脸"), Icon::Information);
        return;
    }
    // The preferred place is where the initial crop of this size would sit.
    const QPoint at =
        initialPlace(state.settings, slot.cropWidth, slot.cropHeight, photo.thumbWidth, photo.thumbHeight);
    const CropRect c = placedForFaces({at.x(), at.y(), slot.cropWidth, slot.cropHeight}, photo);
    slot.cropX = c.x;
    slot.cropY = c.y;
    slot.handSet = true;
    ui.redraw(View::SelectedCell);
}

void findMissingFaces(AppState& state, Ui& ui) {
    if (state.settings.FaceCrop == 0) return;
    std::vector<int> missing;
    for (int i = 0; i < static_cast<int>(state.Photos.size()); ++i)
        if (!state.Photos[i].facesDetected) missing.push_back(i);
    if (missing.empty()) return;
    const int count = static_cast<int>(missing.size());
    ui.setStatus(1, QStringLiteral("查找人脸，请稍后..."));
    state.CancelOffered = true;
    ui.progress(0, count);
    // Each worker writes the faces of its own photos only; a photo whose file no longer reads keeps none.
    runParallel(
        count, state.JobCount > 0 ? state.JobCount : workerCount(),
        [&](int k) { findPhotoFaces(state.Photos[missing[k]]); }, ui,
        [&](int done) { ui.progress(done, count); }, &state.CancelRequested);
    state.CancelOffered = false;
    ui.hideProgress();
    ui.setStatus(1, QString());
}

} // namespace zanfold
