#pragma once

namespace zanfold {

// Orientation codes of a size.
inline constexpr int kLandscape = 0;
inline constexpr int kPortrait = 1;
inline constexpr int kSquare = 2;

// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -0.5 -> 0): the rounding of
// every computed pixel value.
int nearest(double value);
int nearest(float value);

// Fits (width, height) into maxWidth x maxHeight keeping the aspect ratio; smaller sizes are enlarged.
// A height <= 0 leaves both unchanged. The ratio is single precision, as the stored numbers expect.
void ZF_GETZOOM(int maxWidth, int maxHeight, int& width, int& height);

// 0 landscape, 1 portrait, 2 square; exact comparison.
int PHOTO_GETTYPE(int width, int height);

// "横", "竖", "方" for the orientation codes above.
const char* orientationText(int code);

} // namespace zanfold
