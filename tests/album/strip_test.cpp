#include "album/strip.h"

#include "core/commands.h"
#include "crop/assignment.h"
#include "support/qt_print.h"
#include "support/work_fixture.h"

#include <gtest/gtest.h>

namespace zanfold {
namespace {

using test::RecordingUi;

AppState album(int photos, int paneWidth, int paneHeight) {
    AppState state;
    test::setAlbum(state, std::vector<QSize>(photos, QSize(4000, 3000)));
    state.StripPaneWidth = paneWidth;
    state.PaneHeight = paneHeight;
    state.ToolbarHeight = 40;
    return state;
}

TEST(Strip, GridWithoutScrollBar) {
    AppState state = album(5, 240, 440);
    const StripPlacement p = ALBUM_UPDATESCROLL(state);
    EXPECT_FALSE(p.scrollBar);
    EXPECT_EQ(p.panel, QRect(0, 40, 240, 440));
    EXPECT_EQ(state.StripColumns, 2);
    EXPECT_EQ(state.StripRows, 3);
    EXPECT_EQ(state.StripCells, 5);
    EXPECT_EQ(stripCellCorner(state, 0), QPoint(10, 10));
    EXPECT_EQ(stripCellCorner(state, 1), QPoint(120, 10));
    EXPECT_EQ(stripCellCorner(state, 4), QPoint(10, 230));
}

TEST(Strip, GridWithScrollBar) {
    AppState state = album(10, 240, 300);
    state.StripScrollPos = 9;
    const StripPlacement p = ALBUM_UPDATESCROLL(state);
    EXPECT_TRUE(p.scrollBar);
    EXPECT_EQ(p.panel.width(), 223);
    EXPECT_EQ(p.scrollRect, QRect(223, 40, 17, 300));
    EXPECT_EQ(state.StripColumns, 2);
    EXPECT_EQ(state.StripPageSize, 2);
    EXPECT_EQ(state.StripRows, 3);
    EXPECT_EQ(state.StripCells, 6);
    EXPECT_EQ(p.scrollMaximum, 4);
    EXPECT_EQ(state.StripScrollPos, 3); // no further than the last page
}

TEST(Strip, SelectByPoint) {
    AppState state = album(5, 240, 440);
    RecordingUi ui;
    ALBUM_UPDATESCROLL(state);
    const std::pair<QPoint, int> cases[] = {{{115, 50}, -1},  {{125, 50}, 1}, {{50, 50}, 0},  {{50, 235}, 4},
                                            {{125, 235}, -1}, {{5, 50}, -1},  {{50, 115}, -1}};
    for (const auto& [point, photo] : cases) {
        state.CurrentPhoto = -1;
        EXPECT_EQ(PHOTO_SELECT(state, ui, point.x(), point.y()), photo >= 0 ? 1 : 0)
            << point.x() << "," << point.y();
        EXPECT_EQ(state.CurrentPhoto, photo);
    }
    state.CurrentPhoto = 1;
    ui.redraws.clear();
    ui.stripPhotoRedraws.clear();
    EXPECT_EQ(PHOTO_SELECT(state, ui, 125, 50), 1); // already selected: nothing drawn
    EXPECT_TRUE(ui.redraws.empty());
    EXPECT_TRUE(ui.stripPhotoRedraws.empty());
    EXPECT_EQ(PHOTO_SELECT(state, ui, 50, 50), 1);
    // The old outline and the new one: two cells, never the whole strip.
    EXPECT_EQ(ui.stripPhotoRedraws, (std::vector<int>{1, 0}));
    EXPECT_TRUE(ui.redraws.empty());
    EXPECT_EQ(ui.status[1], QStringLiteral(" 1:          IMG_0000.jpg  ( 4000 × 3000 )"));
}

TEST(Strip, SelectIndexScrollsItsRowToTheTop) {
    AppState state = album(10, 240, 300);
    RecordingUi ui;
    ALBUM_UPDATESCROLL(state);
    PHOTO_SELECTINDEX(state, ui, 5);
    EXPECT_EQ(state.CurrentPhoto, 5);
    EXPECT_EQ(state.StripScrollPos, 2);
    PHOTO_SELECTINDEX(state, ui, 9);
    // As far as the scroll bar reaches: its last page ends with the last row (5 rows, 2 a page).
    EXPECT_EQ(state.StripScrollPos, 3);
    ALBUM_UPDATESCROLL(state);
    EXPECT_EQ(state.StripScrollPos, 3);
    EXPECT_TRUE(ui.status[1].startsWith(QStringLiteral(" 10 ")));
}

TEST(Strip, UsedInListsEveryUse) {
    AppState state = album(3, 240, 440);
    RecordingUi ui;
    test::setCanvasArea(state);
    test::addToWork(state, ui,
                    test::addLibraryTemplate(state, QStringLiteral("模板A"), {{'A', 3, 1920, 1080, 4}}));
    test::addToWork(state, ui,
                    test::addLibraryTemplate(state, QStringLiteral("模板B"), {{'B', 3, 1920, 1080, 12}}));
    assignPhoto(state, 1, 0, 0, 2, 1920, 1080);
    assignPhoto(state, 1, 1, 0, 11, 1920, 1080);
    state.CurrentPhoto = 1;
    state.CurrentSlot = -1;
    const std::vector<UsedInItem> items = ALBUM_UPDATEMENU(state, ui);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].text, QStringLiteral("模板A：A003"));
    EXPECT_EQ(items[1].text, QStringLiteral("模板B：B012"));
    EXPECT_EQ(items[1].use, (UsageEntry{1, 0, 11}));
    EXPECT_FALSE(ui.enabled[command::UsePhoto]);
    EXPECT_TRUE(ui.enabled[command::UsedInMenu]);
    state.CurrentPhoto = 0;
    state.CurrentSlot = 0;
    EXPECT_TRUE(ALBUM_UPDATEMENU(state, ui).empty());
    EXPECT_FALSE(ui.enabled[command::UsedInMenu]);
    EXPECT_TRUE(ui.enabled[command::UsePhoto]);
}

} // namespace
} // namespace zanfold
