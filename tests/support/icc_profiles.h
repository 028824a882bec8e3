#pragma once

#include <QByteArray>

#include <array>

namespace zanfold::test {

// ICC profiles made with lcms2, as cameras and editors embed them.
QByteArray adobeRgbProfile();
QByteArray displayP3Profile();
// Profiles that read but describe no colours: a negative gamma, and a red colorant of zero.
QByteArray negativeGammaProfile();
QByteArray zeroColorantProfile();
QByteArray srgbProfile();
// A CMYK printing profile of the simplest kind: a grid from ink amounts to Lab.
QByteArray cmykProfile();

// lcms2's own conversion of one pixel to sRGB through `profile`: RGB values, or CMYK as Adobe stores it
// (inverted) when `cmyk`.
std::array<int, 3> lcmsToSrgb(const QByteArray& profile, const std::array<int, 4>& pixel, bool cmyk);
// The same for many RGB pixels (3 bytes each) at once.
QByteArray lcmsToSrgb(const QByteArray& profile, const QByteArray& rgbPixels);

} // namespace zanfold::test
