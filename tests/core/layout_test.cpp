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
    EXPECT_EQ(l.statusParts[0].width(), 600);
    EXPECT_EQ(l.statusParts[1].width(), 200);
    EXPECT_EQ(l.statusParts[0], QRect(0, 0, 600, 22));
    EXPECT_EQ(l.statusParts[1], QRect(600, 0, 200, 22));
    EXPECT_EQ(l.statusParts[2], QRect(800, 0, 200, 22)); // the rest of the bar
    EXPECT_EQ(l.logo, QPoint(850, 2));
}

TEST(Layout, WindowCentredInTheWorkArea) {
    const struct {
        QRect area;
        QSize window;
        QPoint at;
    } cases[] = {
        {{0, 0, 1280, 800}, {916, 639}, {182, 80}},     // 80.5: the half goes to the even 80
        {{0, 0, 1280, 800}, {916, 637}, {182, 82}},     // 81.5 -> 82
        {{100, 30, 1280, 770}, {900, 600}, {290, 115}}, // a panel on the left and at the top
        {{0, 0, 800, 500}, {916, 639}, {0, 0}},         // larger than the area: at its origin
    };
    for (const auto& c : cases)
        EXPECT_EQ(centredWindowPosition(c.area, c.window), c.at)
            << c.window.width() << "x" << c.window.height();
}

TEST(Layout, MinimumCountsTheFrame) {
    EXPECT_EQ(minimumClientSize({0, 0}), QSize(820, 400));
    EXPECT_EQ(minimumClientSize({16, 39}), QSize(804, 361));
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
