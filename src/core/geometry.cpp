#include "core/geometry.h"

#include <climits>
#include <cmath>

namespace zanfold {

int nearest(double value) {
    // nearbyint honours the current rounding mode, which is round-to-nearest-even unless someone changed it.
    const double rounded = std::nearbyint(value);
    // Beyond int a conversion is undefined: such values saturate (and NaN gives 0).
    if (!(rounded == rounded)) return 0;
    if (rounded >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (rounded <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(rounded);
}

int nearest(float value) {
    return nearest(static_cast<double>(std::nearbyintf(value)));
}

void ZF_GETZOOM(int maxWidth, int maxHeight, int& width, int& height) {
    if (height <= 0) return;
    const float r = static_cast<float>(width) / static_cast<float>(height);
    height = maxHeight;
    width = nearest(r * static_cast<float>(maxHeight));
    if (width > maxWidth) {
        width = maxWidth;
        height = nearest(static_cast<float>(maxWidth) / r);
    }
}

int PHOTO_GETTYPE(int width, int height) {
    if (height < width) return kLandscape;
    if (height > width) return kPortrait;
    return kSquare;
}

const char* orientationText(int code) {
    switch (code) {
    case kLandscape:
        return "横";
    case kPortrait:
        return "竖";
    default:
        return "方";
    }
}

} // namespace zanfold
