#include "core/app_state.h"
#include "core/geometry.h"

#include <gtest/gtest.h>

namespace zanfold {
namespace {

struct ZoomCase {
    int maxW, maxH, w, h, expectW, expectH;
    friend void PrintTo(const ZoomCase& c, std::ostream* os) {
        *os << c.w << "x" << c.h << " into " << c.maxW << "x" << c.maxH;
    }
};

class ZoomTest : public ::testing::TestWithParam<ZoomCase> {};

TEST_P(ZoomTest, FitsIntoBox) {
    const ZoomCase c = GetParam();
    int w = c.w, h = c.h;
    ZF_GETZOOM(c.maxW, c.maxH, w, h);
    EXPECT_EQ(w, c.expectW);
    EXPECT_EQ(h, c.expectH);
}

INSTANTIATE_TEST_SUITE_P(Boxes, ZoomTest,
                         ::testing::Values(ZoomCase{200, 200, 4000, 3000, 200, 150},
                                           ZoomCase{200, 200, 3000, 4000, 150, 200},
                                           ZoomCase{200, 200, 50, 40, 200, 160},   // enlarged
                                           ZoomCase{200, 200, 4000, 0, 4000, 0},   // height 0: unchanged
                                           ZoomCase{200, 200, 4000, -3, 4000, -3}, // negative: unchanged
                                           ZoomCase{200, 200, 4000, 3999, 200, 200},
                                           ZoomCase{100, 100, 200, 200, 100, 100},
                                           ZoomCase{200, 200, 1920, 1080, 200, 112}, // 112.5 -> 112
                                           ZoomCase{200, 200, 1080, 1920, 112, 200},
                                           ZoomCase{200, 200, 4000, 3, 200, 0}, // thin photos round to 0
                                           ZoomCase{100, 100, 200, 150, 100, 75}));

TEST(Orientation, ExactComparison) {
    EXPECT_EQ(PHOTO_GETTYPE(1920, 1080), kLandscape);
    EXPECT_EQ(PHOTO_GETTYPE(1080, 1920), kPortrait);
    EXPECT_EQ(PHOTO_GETTYPE(1000, 1000), kSquare);
    EXPECT_EQ(PHOTO_GETTYPE(4000, 3999), kLandscape); // no tolerance on the full size...
    int w = 4000, h = 3999;
    ZF_GETZOOM(200, 200, w, h);
    ZF_GETZOOM(100, 100, w, h);
    EXPECT_EQ(PHOTO_GETTYPE(w, h), kSquare); // ...but the strip size it is classified on is square
    EXPECT_STREQ(orientationText(kLandscape), "横");
    EXPECT_STREQ(orientationText(kPortrait), "竖");
    EXPECT_STREQ(orientationText(kSquare), "方");
}

TEST(Nearest, HalvesGoToEven) {
    const std::pair<double, int> cases[] = {{0.5, 0},     {1.5, 2},    {2.5, 2},   {3.5, 4},
                                            {112.5, 112}, {43.5, 44},  {-0.5, 0},  {-1.5, -2},
                                            {2.4999, 2},  {2.5001, 3}, {-2.6, -3}, {1e6 + 0.5, 1000000}};
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(nearest(value), expected) << value;
        EXPECT_EQ(nearest(static_cast<float>(value)), expected) << value;
    }
}

TEST(AppStateInit, StartsWithNothingSelected) {
    AppState state;
    state.StripPaneWidth = 10;
    state.TemplateFile.clear();
    EXPECT_EQ(INITDATA(state), 1);
    EXPECT_EQ(state.StripPaneWidth, 240);
    EXPECT_EQ(state.TemplateFile, QStringLiteral("zfTemplate.xml"));
    EXPECT_EQ(state.ProjectFilter, QStringLiteral("Zanfold项目文件(*.zpj)"));
    EXPECT_EQ(state.CurrentPhoto, -1);
    EXPECT_EQ(state.CurrentTemplate, -1);
    EXPECT_EQ(state.CurrentWork, -1);
    EXPECT_EQ(state.CurrentSpec, 0);
    EXPECT_EQ(state.CurrentSlot, -1);
    const Settings& s = state.settings;
    EXPECT_EQ(s.ZoomSpeed, 10);
    EXPECT_EQ(s.ClipTop, 25);
    EXPECT_EQ(s.ClipLeft, 25);
    EXPECT_EQ(s.BackColor, 16777215);
    EXPECT_EQ(s.JpegQuality, 90);
    for (int flag :
         {s.LockType, s.FirstPhoto, s.OpenFolder, s.CheckMove, s.FinishAsk, s.UseMask, s.AutoOrient})
        EXPECT_EQ(flag, 1);
    for (int flag : {s.UseOutFolder, s.OutFolderType, s.SurplusPhoto, s.LoopPhoto, s.SafeImport})
        EXPECT_EQ(flag, 0);
}

} // namespace
} // namespace zanfold
