#include "crop/crop_geometry.h"

#include "core/geometry.h"
#include "crop/face_crop.h"
#include "crop/slots.h"

#include <algorithm>

namespace zanfold {

namespace {

// The selected position when it holds a photo.
SlotRecord* editedSlot(AppState& state) {
    const int g = currentSlotIndex(state);
    if (g < 0 || state.Slots[g].photo < 0) return nullptr;
    return &state.Slots[g];
}

const PhotoRecord& photoOf(const AppState& state, const SlotRecord& slot) {
    return state.Photos[slot.photo];
}

} // namespace

CropRect CLIP_INIT(const Settings& settings, int aw, int ah, int pw, int ph) {
    const float r = static_cast<float>(aw) / static_cast<float>(ah);
    CropRect c;
    c.width = pw;
    c.height = nearest(pw / static_cast<double>(r));
    if (c.height > ph) {
        c.height = ph;
        c.width = nearest(static_cast<double>(r) * ph);
    }
    // A sliver of a photo in a specification of the other shape would round a side to nothing.
    c.width = std::max(1, c.width);
    c.height = std::max(1, c.height);
    const QPoint at = initialPlace(settings, c.width, c.height, pw, ph);
    c.x = at.x();
    c.y = at.y();
    return c;
}

QPoint initialPlace(const Settings& settings, int width, int height, int pw, int ph) {
    return QPoint(nearest(settings.ClipLeft * static_cast<double>(pw - width) / 50.0),
                  nearest(settings.ClipTop * static_cast<double>(ph - height) / 50.0));
}

void CLIP_SETPOS(AppState& state, Ui& ui, int preset) {
    SlotRecord* slot = editedSlot(state);
    if (!slot || preset < 0 || preset > 9) return;
    const PhotoRecord& p = photoOf(state, *slot);
    const int tw = p.thumbWidth, th = p.thumbHeight;
    if (preset == 0) {
        const CropRect c = initialCrop(state.settings, state.FrameWidth, state.FrameHeight, p);
        slot->cropX = c.x;
        slot->cropY = c.y;
        slot->cropWidth = c.width;
        slot->cropHeight = c.height;
    } else {
        // Keypad layout: 7 8 9 / 4 5 6 / 1 2 3.
        const int column = (preset - 1) % 3, row = 2 - (preset - 1) / 3;
        const int spareX = tw - slot->cropWidth, spareY = th - slot->cropHeight;
        slot->cropX = column == 0 ? 0 : column == 1 ? nearest(spareX / 2.0) : spareX;
        slot->cropY = row == 0 ? 0 : row == 1 ? nearest(spareY / 2.0) : spareY;
    }
    slot->handSet = true;
    ui.redraw(View::SelectedCell);
}

void CLIP_CHECKSIZE(AppState& state) {
    SlotRecord* slot = editedSlot(state);
    if (!slot) return;
    const SpecRecord& spec = currentSpecRecord(state);
    const PhotoRecord& p = photoOf(state, *slot);
    const double r = state.SpecRatio;
    auto limitHeight = [&](int limit) {
        if (slot->cropHeight > limit) {
            slot->cropHeight = limit;
            slot->cropWidth = std::max(1, nearest(r * limit));
        }
    };
    auto limitWidth = [&](int limit) {
        if (slot->cropWidth > limit) {
            slot->cropWidth = limit;
            slot->cropHeight = std::max(1, nearest(limit / r));
        }
    };
    limitHeight(spec.height);
    limitWidth(spec.width);
    limitHeight(p.thumbHeight);
    limitWidth(p.thumbWidth);
}

void CLIP_CHECKPOS(AppState& state) {
    SlotRecord* slot = editedSlot(state);
    if (!slot) return;
    const PhotoRecord& p = photoOf(state, *slot);
    if (slot->cropX < 0)
        slot->cropX = 0;
    else if (slot->cropX > p.thumbWidth - slot->cropWidth)
        slot->cropX = p.thumbWidth - slot->cropWidth;
    if (slot->cropY < 0)
        slot->cropY = 0;
    else if (slot->cropY > p.thumbHeight - slot->cropHeight)
        slot->cropY = p.thumbHeight - slot->cropHeight;
}

void CLIP_ZOOM(AppState& state, Ui& ui, bool shrink) {
    SlotRecord* slot = editedSlot(state);
    if (!slot) return;
    const int oldW = slot->cropWidth, oldH = slot->cropHeight;
    const int height = shrink ? oldH - state.settings.ZoomSpeed : oldH + state.settings.ZoomSpeed;
    const int width = nearest(static_cast<double>(state.SpecRatio) * height);
    if (height < 1 || width < 1) return;
    slot->cropHeight = height;
    slot->cropWidth = width;
    if (state.settings.CheckMove) CLIP_CHECKSIZE(state);
    slot->cropY = nearest(slot->cropY - (slot->cropHeight - oldH) / 2.0);
    slot->cropX = nearest(slot->cropX - (slot->cropWidth - oldW) / 2.0);
    if (state.settings.CheckMove) CLIP_CHECKPOS(state);
    slot->handSet = true;
    ui.redraw(View::SelectedCell);
}

void CLIP_MOVE(AppState& state, Ui& ui) {
    SlotRecord* slot = editedSlot(state);
    if (!slot) return;
    slot->cropX = state.DragOrigin.x() - (state.DragPoint.x() - state.DragStart.x());
    slot->cropY = state.DragOrigin.y() - (state.DragPoint.y() - state.DragStart.y());
    if (state.settings.CheckMove) CLIP_CHECKPOS(state);
    if (QPoint(slot->cropX, slot->cropY) != state.DragOrigin) slot->handSet = true;
    ui.redraw(View::SelectedCell);
}

QRect sourceRect(const PhotoRecord& photo, const SlotRecord& slot) {
    // Single precision, as the stored rectangles were always scaled.
    const float kx = static_cast<float>(photo.width) / static_cast<float>(photo.thumbWidth);
    const float ky = static_cast<float>(photo.height) / static_cast<float>(photo.thumbHeight);
    QRect r(nearest(static_cast<double>(kx) * slot.cropX), nearest(static_cast<double>(ky) * slot.cropY),
            nearest(static_cast<double>(kx) * slot.cropWidth), nearest(static_cast<double>(ky) * slot.cropHeight));
    // A crop thinner than a photo pixel (a sliver of a tiny photo in a long strip) still takes one pixel,
    // inside the photo when the crop is, rather than rounding to nothing and a blank output.
    auto atLeastOne = [](int& start, int& length, int cropStart, int cropLength, int thumb, int photo) {
        if (length >= 1) return;
        length = 1;
        if (cropStart >= 0 && cropStart + cropLength <= thumb) start = std::clamp(start, 0, photo - 1);
    };
    int x = r.x(), y = r.y(), w = r.width(), h = r.height();
    atLeastOne(x, w, slot.cropX, slot.cropWidth, photo.thumbWidth, photo.width);
    atLeastOne(y, h, slot.cropY, slot.cropHeight, photo.thumbHeight, photo.height);
    return QRect(x, y, w, h);
}

double enlargementFactor(const QRect& source, QSize out) {
    if (source.width() <= 0 || source.height() <= 0) return 0;
    return std::max(static_cast<double>(out.width()) / source.width(),
                    static_cast<double>(out.height()) / source.height());
}

bool showsBackground(const PhotoRecord& photo, const QRect& source) {
    return source.left() < 0 || source.top() < 0 || source.x() + source.width() > photo.width ||
           source.y() + source.height() > photo.height;
}

} // namespace zanfold
