#include "imaging/resample.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zanfold {
namespace {

struct AxisCase {
    double start, length;
    int inSize, outSize;
    friend void PrintTo(const AxisCase& c, std::ostream* os) {
        *os << "[" << c.start << ", +" << c.length << ") of " << c.inSize << " -> " << c.outSize;
    }
};

class AxisFilterTest : public ::testing::TestWithParam<AxisCase> {};

// Every output pixel is a weighted mean: picture weights plus background share add up to one, and
// every input it reads is one the filter asks the decoder for.
TEST_P(AxisFilterTest, WeightsAreAMeanOverRequestedInputs) {
    const AxisCase c = GetParam();
    const AxisFilter f = makeAxisFilter(c.start, c.length, c.inSize, c.outSize);
    ASSERT_EQ(f.outSize, c.outSize);
    for (int o = 0; o < c.outSize; ++o) {
        double sum = f.background[o];
        for (int k = 0; k < f.count[o]; ++k) {
            sum += f.weights[o * f.taps + k];
            EXPECT_GE(f.first[o] + k, f.lo);
            EXPECT_LT(f.first[o] + k, f.hi);
            EXPECT_GE(f.first[o] + k, 0);
            EXPECT_LT(f.first[o] + k, c.inSize);
        }
        EXPECT_NEAR(sum, 1.0, 1e-5) << "output " << o;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, AxisFilterTest,
                         ::testing::Values(AxisCase{0, 100, 100, 100}, AxisCase{0, 100, 100, 17},
                                           AxisCase{12.5, 60.25, 100, 7}, AxisCase{0, 10, 10, 1000},
                                           AxisCase{-50, 100, 100, 40}, AxisCase{80, 100, 100, 33},
                                           AxisCase{200, 50, 100, 10}, AxisCase{-5, 3, 100, 9},
                                           AxisCase{0, 1, 1, 1}, AxisCase{0, 65535, 65535, 1}));

TEST(AxisFilter, SameSizeIsACopy) {
    const AxisFilter f = makeAxisFilter(3, 10, 20, 10);
    for (int o = 0; o < 10; ++o) {
        ASSERT_EQ(f.count[o], 1);
        EXPECT_EQ(f.first[o], 3 + o);
        EXPECT_FLOAT_EQ(f.weights[o * f.taps], 1.0f);
    }
}

TEST(AxisFilter, EnlargingKeepsPixelCentres) {
    // 2 -> 4: output centres sit at input positions -0.25, 0.25, 0.75, 1.25; the outer ones clamp.
    const AxisFilter f = makeAxisFilter(0, 2, 2, 4);
    auto value = [&](int o) {
        const double in[2] = {0, 100};
        double v = 0;
        for (int k = 0; k < f.count[o]; ++k)
            v += f.weights[o * f.taps + k] * in[f.first[o] + k];
        return v;
    };
    EXPECT_NEAR(value(0), 0, 1e-4);
    EXPECT_NEAR(value(1), 25, 1e-4);
    EXPECT_NEAR(value(2), 75, 1e-4);
    EXPECT_NEAR(value(3), 100, 1e-4);
}

} // namespace
} // namespace zanfold
