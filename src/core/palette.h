#pragma once

#include <QRgb>

namespace zanfold::palette {

// Drawing resources shared by the photo strip and the crop canvas.
inline constexpr QRgb kDarkBackground = 0xFF505050;
inline constexpr QRgb kWhite = 0xFFFFFFFF;
inline constexpr QRgb kHighlightPen = 0xFFFF9600;
inline constexpr QRgb kGreyPen = 0xFFA0A0A0;
inline constexpr int kPenWidth = 2;
// Faded pictures keep their colours and are drawn at this opacity.
inline constexpr double kFadedOpacity = 0.4;
// The marker of a position whose output enlarges its photo too much: a red square with a white "!".
inline constexpr QRgb kEnlargedMarker = 0xFFE0301E;
inline constexpr int kMarkerSize = 14;

} // namespace zanfold::palette
