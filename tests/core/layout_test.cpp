#include "core/layout.h"

#include <gtest/gtest.h>

namespace zanfold {
namespace {

TEST(Layout, PanesOfA1000By700Window) {
    const WindowLayout l = windowLayout({1000, 700}, 40, 22, 240, 150);
    EXPECT_EQ(l.paneHeight, 638);
    EXPECT_EQ(l.canvasHeight, 591);
    EXPECT_EQ(l.rightPaneWidth, 754);
    EXPECT_EQ(l.canvas, QRect(246, 63, 754, 591));
    EXPECT_EQ(l.workTabs, QRect(246, 655, 754, 23));
    EXPECT_EQ(l.specTabs, QRect(246, 40, 754, 23));
    EXPECT_EQ(l.strip, QRect(0, 40, 240, 638));
    EXPECT_EQ(l.splitter, QRect(240, 40, 6, 638));
    EXPECT_EQ(l.progress, QRect(180, 685, 817, 14));
    EXPECT_EQ(l.statusWidths[0], 600);
    EXPECT_EQ(l.statusWidths[1], 200);
    EXPECT_EQ(l.logo, QPoint(850, 2));
}

TEST(Layout, LogoFollowsTheToolbar) {
    EXPECT_EQ(logoSize(40), QSize(150, 34));
    EXPECT_EQ(logoSize(56), QSize(221, 50)); // 221.0
}

TEST(Layout, SplitterLimits) {
    const std::pair<int, bool> cases[] = {{100, false}, {129, false}, {130, true},
                                          {300, true},  {770, true},  {771, false}};
    for (const auto& [x, allowed] : cases)
        EXPECT_EQ(splitterAllowed(x, 1000), allowed) << x;
}

} // namespace
} // namespace zanfold
