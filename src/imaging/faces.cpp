#include "imaging/faces.h"

#include "imaging/picture.h"

#include <dlib/image_processing/frontal_face_detector.h>

#include <algorithm>

namespace zanfold {

QSize faceDetectionSize(QSize size) {
    const int longSide = std::max(size.width(), size.height());
    if (longSide <= kFaceDetectionSide || size.isEmpty()) return size;
    const double k = static_cast<double>(kFaceDetectionSide) / longSide;
    return QSize(std::max(1, qRound(size.width() * k)), std::max(1, qRound(size.height() * k)));
}

std::vector<FaceBox> detectFaces(const QImage& grey) {
    if (grey.isNull() || grey.format() != QImage::Format_Grayscale8) return {};
    // dlib's HOG detector (frontal and half-profile faces) keeps scratch buffers: one per worker thread.
    thread_local dlib::frontal_face_detector detector = dlib::get_frontal_face_detector();
    dlib::array2d<unsigned char> image(grey.height(), grey.width());
    for (int y = 0; y < grey.height(); ++y)
        std::copy_n(grey.constScanLine(y), grey.width(), &image[y][0]);
    std::vector<dlib::rect_detection> found;
    detector(image, found);
    std::vector<FaceBox> faces;
    for (const dlib::rect_detection& d : found) {
        const dlib::rectangle& r = d.rect;
        faces.push_back(
            {QRectF(r.left(), r.top(), r.width(), r.height()), static_cast<float>(d.detection_confidence)});
    }
    std::stable_sort(faces.begin(), faces.end(),
                     [](const FaceBox& a, const FaceBox& b) { return a.confidence > b.confidence; });
    return faces;
}

std::vector<FaceBox> photoFaces(const QImage& grey, QSize photo) {
    return scaleFaces(detectFaces(grey), grey.size(), photo);
}

bool findPhotoFaces(PhotoRecord& photo) {
    if (photo.facesDetected) return true;
    // The smallest thumbnail: only the grey picture is wanted.
    const Rendered picture = thumbnail(photo.image, 1, 1, ThumbMode::Fast, false, true);
    if (!picture.ok() || picture.grey.isNull()) return false;
    photo.faces = photoFaces(picture.grey, QSize(photo.width, photo.height));
    photo.facesDetected = true;
    return true;
}

std::vector<FaceBox> scaleFaces(const std::vector<FaceBox>& faces, QSize from, QSize to) {
    if (from.isEmpty()) return {};
    const double kx = static_cast<double>(to.width()) / from.width();
    const double ky = static_cast<double>(to.height()) / from.height();
    std::vector<FaceBox> out;
    for (const FaceBox& f : faces) {
        const QRectF& r = f.rect;
        out.push_back({QRectF(r.x() * kx, r.y() * ky, r.width() * kx, r.height() * ky), f.confidence});
    }
    return out;
}

std::vector<FaceBox> turnFaces(const std::vector<FaceBox>& faces, QSize size, int quarterTurns) {
    const double w = size.width(), h = size.height();
    std::vector<FaceBox> out;
    for (const FaceBox& f : faces) {
        const QRectF& r = f.rect;
        QRectF t = r;
        switch (((quarterTurns % 4) + 4) % 4) {
        case 1: // the top edge becomes the left edge
            t = QRectF(r.y(), w - r.right(), r.height(), r.width());
            break;
        case 2:
            t = QRectF(w - r.right(), h - r.bottom(), r.width(), r.height());
            break;
        case 3:
            t = QRectF(h - r.bottom(), r.x(), r.height(), r.width());
            break;
        default:
            break;
        }
        out.push_back({t, f.confidence});
    }
    return out;
}

} // namespace zanfold
