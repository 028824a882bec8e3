#pragma once

#include <QImage>
#include <QRect>

#include <vector>

namespace zanfold::test {

// Pictures with faces at known places: a real face from the example photos dlib's Debian package installs
// (libdlib19.1, a dependency of libdlib-dev), pasted with its head and shoulders into a faceless
// background so that the face's box lands exactly on each of `faces`. An empty picture when the example
// photo cannot be read.
QImage pictureWithFaces(int width, int height, const std::vector<QRect>& faces);

// The background alone: smooth ramps with fine texture, no faces.
QImage facelessPicture(int width, int height);

} // namespace zanfold::test
