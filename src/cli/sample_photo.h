#pragma once

#include <QImage>

namespace zanfold {

// A deterministic picture with the texture of a camera photo (smooth shapes, edges, fine grain), so that
// JPEG files of it cost what real photos cost to decode.
QImage photoLikeImage(int width, int height, unsigned seed);

} // namespace zanfold
