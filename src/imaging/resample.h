#pragma once

#include <QImage>
#include <QRgb>

#include <vector>

namespace zanfold {

// The filter of one axis: how each output pixel is made from input pixels. The source interval
// [start, start + length) is in input pixel units and may reach outside the input [0, inSize); the part
// outside counts as background. Shrinking averages the covered area exactly (no aliasing); enlarging
// interpolates linearly between pixel centres (no half-pixel shift).
struct AxisFilter {
    int outSize = 0;
    int taps = 0;                  // stride of `weights`: the most inputs any output pixel uses
    std::vector<int> first;        // first input index of each output pixel
    std::vector<int> count;        // number of inputs of each output pixel
    std::vector<float> weights;    // outSize x taps
    std::vector<float> background; // share of the background colour in each output pixel
    int lo = 0;                    // inputs needed: [lo, hi); empty when the interval misses the input
    int hi = 0;
};

AxisFilter makeAxisFilter(double start, double length, int inSize, int outSize);

// Resamples a picture that arrives row by row (top to bottom) into an RGB888 image: each row is filtered
// horizontally once, and only as many filtered rows are kept as one output row needs, so memory stays
// bounded by the output size whatever the size of the source.
class StreamResampler {
public:
    StreamResampler(AxisFilter horizontal, AxisFilter vertical, QRgb background);

    // Input rows needed, [firstRow, endRow).
    int firstRow() const { return v_.lo; }
    int endRow() const { return v_.hi; }
    // Input columns needed, [firstColumn, endColumn).
    int firstColumn() const { return h_.lo; }
    int endColumn() const { return h_.hi; }

    // Row y of the input (rows in order from firstRow()); `rgb` holds the pixels of columns from `x0` on,
    // at least up to endColumn().
    void pushRow(int y, const uchar* rgb, int x0);
    // The finished image, handed over (call once); rows no input reached are background.
    QImage finish();

private:
    void emitReadyRows(int lastRow);

    AxisFilter h_;
    AxisFilter v_;
    int ring_;
    std::vector<float> rows_; // ring of horizontally filtered rows, ring_ x outWidth x 3
    std::vector<float> acc_;
    std::vector<float> bgRow_; // the background colour, one output row of it
    QImage out_;
    int nextOut_ = 0;
    int lastPushed_ = -1;
};

} // namespace zanfold
