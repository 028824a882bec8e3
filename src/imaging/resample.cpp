#include "imaging/resample.h"

#include <algorithm>
#include <cmath>

namespace zanfold {

namespace {

// Input pixel i covers [i, i + 1). Weights of one output pixel before they are packed.
struct Taps {
    int first = 0;
    std::vector<float> w;
    float background = 0;
};

Taps areaTaps(double a, double b, int inSize) {
    Taps t;
    const double len = b - a;
    const double ia = std::max(a, 0.0), ib = std::min(b, static_cast<double>(inSize));
    if (ib <= ia) {
        t.background = 1;
        return t;
    }
    const int i0 = static_cast<int>(std::floor(ia));
    const int i1 = static_cast<int>(std::ceil(ib)); // exclusive
    t.first = i0;
    double inside = 0;
    for (int i = i0; i < i1; ++i) {
        const double cover = std::min(ib, i + 1.0) - std::max(ia, static_cast<double>(i));
        t.w.push_back(static_cast<float>(cover / len));
        inside += cover;
    }
    t.background = static_cast<float>(std::max(0.0, 1.0 - inside / len));
    return t;
}

Taps linearTaps(double centre, int inSize) {
    Taps t;
    // A centre beyond the outermost pixel centre by more than half a pixel lies outside the picture.
    if (centre < -0.5 || centre > inSize - 0.5) {
        t.background = 1;
        return t;
    }
    const double c = std::clamp(centre, 0.0, static_cast<double>(inSize - 1));
    const int i0 = std::min(static_cast<int>(std::floor(c)), inSize - 1);
    const double f = c - i0;
    t.first = i0;
    t.w.push_back(static_cast<float>(1.0 - f));
    if (f > 0 && i0 + 1 < inSize) t.w.push_back(static_cast<float>(f));
    return t;
}

} // namespace

AxisFilter makeAxisFilter(double start, double length, int inSize, int outSize) {
    AxisFilter f;
    f.outSize = outSize;
    std::vector<Taps> all(outSize);
    const double step = length / outSize;
    for (int o = 0; o < outSize; ++o) {
        if (inSize <= 0 || length <= 0)
            all[o].background = 1;
        else if (step > 1.0)
            all[o] = areaTaps(start + o * step, start + (o + 1) * step, inSize);
        else
            all[o] = linearTaps(start + (o + 0.5) * step - 0.5, inSize);
        f.taps = std::max(f.taps, static_cast<int>(all[o].w.size()));
    }
    f.taps = std::max(f.taps, 1);
    f.first.resize(outSize);
    f.count.resize(outSize);
    f.weights.assign(static_cast<size_t>(outSize) * f.taps, 0.0f);
    f.background.resize(outSize);
    f.lo = inSize;
    f.hi = 0;
    for (int o = 0; o < outSize; ++o) {
        const Taps& t = all[o];
        f.count[o] = static_cast<int>(t.w.size());
        f.first[o] = t.first;
        f.background[o] = t.background;
        std::copy(t.w.begin(), t.w.end(), f.weights.begin() + static_cast<ptrdiff_t>(o) * f.taps);
        if (!t.w.empty()) {
            f.lo = std::min(f.lo, t.first);
            f.hi = std::max(f.hi, t.first + f.count[o]);
        }
    }
    if (f.hi <= f.lo) f.lo = f.hi = 0;
    return f;
}

StreamResampler::StreamResampler(AxisFilter horizontal, AxisFilter vertical, QRgb background)
    : h_(std::move(horizontal)), v_(std::move(vertical)), ring_(v_.taps),
      rows_(static_cast<size_t>(ring_) * h_.outSize * 3), acc_(static_cast<size_t>(h_.outSize) * 3),
      bgRow_(static_cast<size_t>(h_.outSize) * 3), out_(h_.outSize, v_.outSize, QImage::Format_RGB888) {
    const float bg[3] = {static_cast<float>(qRed(background)), static_cast<float>(qGreen(background)),
                         static_cast<float>(qBlue(background))};
    for (size_t i = 0; i < bgRow_.size(); ++i)
        bgRow_[i] = bg[i % 3];
    // Rows that need no input at all come first or last; the first ones can be written right away.
    lastPushed_ = v_.lo - 1;
    emitReadyRows(lastPushed_);
}

void StreamResampler::pushRow(int y, const uchar* rgb, int x0) {
    if (y < v_.lo || y >= v_.hi || y <= lastPushed_) return;
    lastPushed_ = y;
    float* dst = rows_.data() + static_cast<size_t>(y % ring_) * h_.outSize * 3;
    const int taps = h_.taps;
    for (int o = 0; o < h_.outSize; ++o) {
        const float* w = h_.weights.data() + static_cast<size_t>(o) * taps;
        const uchar* src = rgb + 3 * (h_.first[o] - x0);
        const float b = h_.background[o];
        float r = bgRow_[0] * b, g = bgRow_[1] * b, bl = bgRow_[2] * b;
        for (int k = 0; k < h_.count[o]; ++k) {
            r += w[k] * src[3 * k];
            g += w[k] * src[3 * k + 1];
            bl += w[k] * src[3 * k + 2];
        }
        dst[3 * o] = r;
        dst[3 * o + 1] = g;
        dst[3 * o + 2] = bl;
    }
    emitReadyRows(y);
}

void StreamResampler::emitReadyRows(int lastRow) {
    const int width = h_.outSize * 3;
    while (nextOut_ < v_.outSize) {
        const int o = nextOut_;
        const int n = v_.count[o];
        if (n > 0 && v_.first[o] + n - 1 > lastRow) return;
        const float* w = v_.weights.data() + static_cast<size_t>(o) * v_.taps;
        const float b = v_.background[o];
        float* acc = acc_.data();
        for (int i = 0; i < width; ++i)
            acc[i] = bgRow_[i] * b;
        for (int k = 0; k < n; ++k) {
            const float* src = rows_.data() + static_cast<size_t>((v_.first[o] + k) % ring_) * width;
            const float wk = w[k];
            for (int i = 0; i < width; ++i)
                acc[i] += wk * src[i];
        }
        uchar* dst = out_.scanLine(o);
        for (int i = 0; i < width; ++i)
            dst[i] = static_cast<uchar>(std::clamp(acc[i] + 0.5f, 0.0f, 255.0f));
        ++nextOut_;
    }
}

QImage StreamResampler::finish() {
    emitReadyRows(lastPushed_);
    // Rows whose input never arrived (a source that ended early) are background.
    for (; nextOut_ < v_.outSize; ++nextOut_) {
        uchar* dst = out_.scanLine(nextOut_);
        for (int i = 0; i < h_.outSize * 3; ++i)
            dst[i] = static_cast<uchar>(bgRow_[i]);
    }
    // Handed over, not shared: a caller that writes into the picture must not pay for a copy.
    return std::move(out_);
}

} // namespace zanfold
