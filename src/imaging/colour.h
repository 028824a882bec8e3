#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <memory>

namespace zanfold {

// What the JPEG decoder hands over: RGB, or CMYK as Adobe writes it (inverted, 0 = full ink).
enum class DecodedPixels { Rgb, InvertedCmyk };

// Turns decoded rows into sRGB through an embedded ICC profile (lcms2). Safe to use from several threads
// at once.
class ColourTransform {
public:
    virtual ~ColourTransform() = default;
    // `pixels` pixels of `in` (3 or 4 bytes each, as decoded) into `rgb` (3 bytes each).
    virtual void toSrgb(const uchar* in, uchar* rgb, int pixels) const = 0;
};

struct ColourPlan {
    std::shared_ptr<const ColourTransform> transform; // none: the rows are sRGB already, or stay as they are
    bool rejected = false;                            // the embedded profile could not be used
};

// The way from a photo's embedded profile to sRGB. Untagged and sRGB photos (recognised by the profile's
// colorants and tone curves, not its bytes) need none; a profile lcms2 cannot read, or one that does not fit
// the pixels, is rejected. Transforms are built once per distinct profile and shared.
ColourPlan colourPlanFor(const QByteArray& iccProfile, DecodedPixels pixels);

} // namespace zanfold
