#include "cli/sample_photo.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace zanfold {

QImage photoLikeImage(int width, int height, unsigned seed) {
    QImage img(width, height, QImage::Format_RGB888);
    uint32_t state = seed * 2654435761u + 1;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    // A few soft blobs of colour, a horizon and grain.
    struct Blob {
        float x, y, r, cr, cg, cb;
    };
    std::vector<Blob> blobs(12);
    for (Blob& b : blobs) {
        b = {float(next() % width), float(next() % height), float(width / 8 + next() % (width / 4)),
             float(next() % 256),   float(next() % 256),    float(next() % 256)};
    }
    const int horizon = height / 3 + int(next() % (height / 3));
    // The soft shapes vary slowly: work them out on a coarse grid and interpolate.
    constexpr int kCell = 8;
    const int gw = width / kCell + 2, gh = height / kCell + 2;
    std::vector<float> grid(static_cast<size_t>(gw) * gh * 3);
    for (int gy = 0; gy < gh; ++gy) {
        for (int gx = 0; gx < gw; ++gx) {
            const float x = float(gx * kCell), y = float(gy * kCell);
            const bool sky = y < horizon;
            float c[3] = {sky ? 120 + 80.0f * y / horizon : 70, sky ? 150 + 60.0f * y / horizon : 110,
                          sky ? 220.0f : 60.0f};
            for (const Blob& bl : blobs) {
                const float dx = x - bl.x, dy = y - bl.y;
                const float w = std::exp(-(dx * dx + dy * dy) / (bl.r * bl.r));
                c[0] += (bl.cr - c[0]) * w;
                c[1] += (bl.cg - c[1]) * w;
                c[2] += (bl.cb - c[2]) * w;
            }
            for (int k = 0; k < 3; ++k)
                grid[(static_cast<size_t>(gy) * gw + gx) * 3 + k] = c[k];
        }
    }
    for (int y = 0; y < height; ++y) {
        uchar* p = img.scanLine(y);
        const int gy = y / kCell;
        const float fy = float(y % kCell) / kCell;
        const float wave = std::sin(y * 0.021f);
        for (int x = 0; x < width; ++x) {
            const int gx = x / kCell;
            const float fx = float(x % kCell) / kCell;
            const float texture = 18.0f * std::sin(x * 0.05f + y * 0.03f) * wave;
            const int grain = int(next() % 25) - 12;
            for (int k = 0; k < 3; ++k) {
                auto at = [&](int cx, int cy) { return grid[(static_cast<size_t>(cy) * gw + cx) * 3 + k]; };
                const float top = at(gx, gy) + (at(gx + 1, gy) - at(gx, gy)) * fx;
                const float bottom = at(gx, gy + 1) + (at(gx + 1, gy + 1) - at(gx, gy + 1)) * fx;
                const float v = top + (bottom - top) * fy;
                p[3 * x + k] = uchar(std::clamp(v + texture + grain, 0.0f, 255.0f));
            }
        }
    }
    return img;
}

} // namespace zanfold
