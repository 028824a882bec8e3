#include "album/album_import.h"
#include "album/strip.h"
#include "core/commands.h"
#include "core/palette.h"
#include "crop/assignment.h"
#include "crop/canvas.h"
#include "crop/work_templates.h"
#include "shell/command_dispatch.h"
#include "shell/gui_support.h"
#include "support/jpeg_maker.h"
#include "support/qt_print.h"
#include "support/temp_dir.h"
#include "support/work_fixture.h"

#include <QHelpEvent>
#include <QLabel>
#include <QPaintEvent>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace zanfold {
namespace {

// Records the regions the widget is asked to paint.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget* widget) { widget->installEventFilter(this); }
    QRegion painted;
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(event)->region();
            ++paints;
        }
        return false;
    }
};

// The real window over an imported album of 30 photos and a work of 40 portrait positions.
class Views : public test::LiveWindowTest {
protected:
    void SetUp() override {
        LiveWindowTest::SetUp();
        for (int i = 0; i < 30; ++i)
            dir.write(QStringLiteral("trip/%1.jpg").arg(i, 2, 10, QLatin1Char('0')),
                      test::makeJpeg(test::solidImage(400, 300, qRgb(200, 40 + 5 * i, 40))));
        ASSERT_EQ(ALBUM_OPEN(*state, live->ui, dir.file(QStringLiteral("trip")), false), 1);
        state->CurrentTemplate =
            test::addLibraryTemplate(*state, QStringLiteral("T"), {{'A', 3, 1080, 1920, 40}});
        CLIP_ADDTEMPLATE(*state, live->ui);
        settle();
    }
    MainWindow& window() { return live->window; }
    QWidget* strip() { return window().stripPanel(); }
    QWidget* canvas() { return window().canvasPanel(); }
    static void settle() {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }
    QRect cellArea(int n) const {
        const int i = n - state->CellColumns * state->FirstRow;
        return QRect(cellCorner(*state, i) - QPoint(2, 2), QSize(kCellSize + 4, kCellSize + 4));
    }
    QPoint frameCentre(int n) const {
        const int i = n - state->CellColumns * state->FirstRow;
        return frameCorner(*state, i) + QPoint(state->FrameWidth / 2, state->FrameHeight / 2);
    }
    QPoint inWindow(QWidget* w, QPoint p) { return w->mapTo(&window(), p); }
};

TEST_F(Views, TheFloatingPanelCarriesAPhotoOntoAPosition) {
    const QPoint press = stripCellCorner(*state, 3) + QPoint(50, 50);
    // The strip holds the pointer from the press on, as the window system hands it every move and the
    // release until the button goes up.
    auto fromStrip = [&](QWidget* w, QPoint p) { return strip()->mapFrom(&window(), inWindow(w, p)); };
    QTest::mousePress(strip(), Qt::LeftButton, {}, press);
    ASSERT_EQ(state->CurrentPhoto, 3);
    QLabel* panel = window().floatingPanel();
    EXPECT_FALSE(panel->isVisible()); // no threshold, but nothing before the first move
    QTest::mouseMove(strip(), press + QPoint(1, 0));
    ASSERT_TRUE(panel->isVisible());
    // Over its cell: the strip size (100 x 75) centred in the cell, in window coordinates.
    const QPoint cell = stripCellCorner(*state, 3);
    const QRect placed(cell.x(), cell.y() + state->ToolbarHeight + 12, 100, 75); // 12.5 rounds to 12
    EXPECT_EQ(floatingPanelRect(*state, press), placed);
    EXPECT_EQ(panel->geometry(), placed);
    const QImage picture = panel->grab().toImage();
    EXPECT_EQ(picture.pixel(0, 0), palette::kDarkBackground); // the panel's fill around the photo
    const QColor photo = picture.pixelColor(50, 37);
    EXPECT_NEAR(photo.red(), 200, 6);
    EXPECT_NEAR(photo.green(), 55, 6);

    const QPoint target = frameCentre(4);
    QTest::mouseMove(strip(), fromStrip(canvas(), target));
    // Carried with the pointer, which held it one pixel right of the press.
    EXPECT_EQ(panel->geometry().topLeft(),
              placed.topLeft() + inWindow(canvas(), target) - inWindow(strip(), press) - QPoint(1, 0));
    QTest::mouseRelease(strip(), Qt::LeftButton, {}, fromStrip(canvas(), target));
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(state->Slots[4].photo, 3);
    EXPECT_EQ(state->CurrentSlot, 4);
    EXPECT_EQ(state->Photos[3].useCount, 1);
}

// Ctrl+Z while a photo is carried gives the carry up: the photo under the pointer may no longer be the one
// picked up, so the release drops nothing.
TEST_F(Views, AnUndoWhileCarryingGivesTheCarryUp) {
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    auto fromStrip = [&](QWidget* w, QPoint p) { return strip()->mapFrom(&window(), inWindow(w, p)); };
    auto carry = [&](int photo, int position, const std::function<void()>& meanwhile) {
        const QPoint press = stripCellCorner(*state, photo) + QPoint(50, 50);
        QTest::mousePress(strip(), Qt::LeftButton, {}, press);
        QTest::mouseMove(strip(), press + QPoint(1, 0));
        QTest::mouseMove(strip(), fromStrip(canvas(), frameCentre(position)));
        meanwhile();
        QTest::mouseRelease(strip(), Qt::LeftButton, {}, fromStrip(canvas(), frameCentre(position)));
    };
    carry(3, 4, [] {});
    ASSERT_EQ(state->Slots[4].photo, 3);
    carry(5, 6, [&] {
        QTest::keyClick(&window(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_FALSE(window().floatingPanel()->isVisible());
    });
    EXPECT_EQ(state->Slots[4].photo, -1); // the first drop was undone
    EXPECT_EQ(state->Slots[6].photo, -1); // and the second never happened
    EXPECT_EQ(state->Photos[5].useCount, 0);
}

TEST_F(Views, ACropDragRepaintsOnlyTheSelectedCell) {
    assignPhoto(*state, 0, 0, 0, 1, 1080, 1920);
    QTest::mousePress(canvas(), Qt::LeftButton, {}, frameCentre(1));
    ASSERT_TRUE(state->DragArmed);
    settle();
    PaintRecorder recorder(canvas());
    const int before = state->Slots[1].cropX;
    QTest::mouseMove(canvas(), frameCentre(1) + QPoint(6, 0));
    settle();
    QTest::mouseRelease(canvas(), Qt::LeftButton, {}, frameCentre(1) + QPoint(6, 0));
    EXPECT_NE(state->Slots[1].cropX, before);
    ASSERT_GT(recorder.paints, 0);
    EXPECT_TRUE(cellArea(1).contains(recorder.painted.boundingRect()));

    // Selecting another cell repaints the two outlines only.
    recorder.painted = QRegion();
    QTest::mouseClick(canvas(), Qt::LeftButton, {}, frameCentre(2));
    settle();
    EXPECT_EQ(recorder.painted.subtracted(QRegion(cellArea(1)) + cellArea(2)), QRegion());
}

// A position whose output would enlarge its photo too much shows a marker in its frame's corner, which goes
// once the photo has the pixels (here: the record of a larger photo of the same picture).
TEST_F(Views, TooMuchEnlargementIsMarkedInTheFrame) {
    assignPhoto(*state, 0, 0, 0, 1, 1080, 1920); // 400 x 300: its 225 x 300 crop becomes 1080 x 1920
    const int i = 1 - state->CellColumns * state->FirstRow;
    const QRect frame(frameCorner(*state, i), QSize(state->FrameWidth, state->FrameHeight));
    const QRect marker = enlargedMarker(frame);
    auto markerShown = [&] {
        const QImage shot = canvas()->grab().toImage();
        return shot.pixel(marker.topLeft() + QPoint(1, 1)) == palette::kEnlargedMarker &&
               shot.pixel(marker.bottomRight() - QPoint(1, 1)) == palette::kEnlargedMarker;
    };
    EXPECT_TRUE(markerShown());
    // Resting the pointer on it says what it means.
    QHelpEvent help(QEvent::ToolTip, marker.center(), canvas()->mapToGlobal(marker.center()));
    QApplication::sendEvent(canvas(), &help);
    EXPECT_EQ(QToolTip::text(), enlargedMarkerText());
    QToolTip::hideText();
    state->Photos[0].width = 4000;
    state->Photos[0].height = 3000;
    EXPECT_FALSE(markerShown());
    EXPECT_TRUE(frame.contains(marker));
}

// The bar's last page ends with the last row: no row out of reach, no grey page below it.
TEST_F(Views, TheCanvasScrollBarReachesTheLastRow) {
    QScrollBar* bar = window().canvasScrollBar();
    ASSERT_TRUE(bar->isVisible());
    const int rows = state->CanvasRows;
    ASSERT_GT(rows, 4);
    const int lastFirstRow = rows - state->FullVisibleRows;
    EXPECT_EQ(bar->maximum(), lastFirstRow);
    QTest::keyClick(bar, Qt::Key_Down); // a line
    EXPECT_EQ(state->FirstRow, 1);
    QTest::keyClick(bar, Qt::Key_PageDown); // a page
    EXPECT_EQ(state->FirstRow, 1 + state->FullVisibleRows);
    QTest::keyClick(bar, Qt::Key_End); // the bottom: the last row at the bottom
    EXPECT_EQ(state->FirstRow, lastFirstRow);
    QTest::keyClick(bar, Qt::Key_Home);
    EXPECT_EQ(state->FirstRow, 0);
    // The wheel over a gap, with nothing selected, does nothing.
    state->CurrentSlot = -1;
    QWheelEvent wheel(QPointF(5, 5), QPointF(canvas()->mapToGlobal(QPoint(5, 5))), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas(), &wheel);
    EXPECT_EQ(state->FirstRow, 0);
    // The thumb dragged to the end of the track.
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = Qt::Vertical;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.pageStep = bar->pageStep();
    option.singleStep = bar->singleStep();
    const QRect thumb =
        bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
    QTest::mousePress(bar, Qt::LeftButton, {}, thumb.center());
    QTest::mouseMove(bar, QPoint(thumb.center().x(), bar->height() + 40));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(thumb.center().x(), bar->height() + 40));
    EXPECT_EQ(state->FirstRow, lastFirstRow);
}

// A resize that keeps the grid used to put the bar back to 0 (the next use jumped) and to disarm the wheel.
TEST_F(Views, AResizeThatKeepsTheGridKeepsTheRowAndTheArming) {
    QScrollBar* bar = window().canvasScrollBar();
    QTest::keyClick(bar, Qt::Key_Down);
    QTest::keyClick(bar, Qt::Key_Down);
    ASSERT_EQ(state->FirstRow, 2);
    const int n = state->CellColumns * 2; // the first cell shown
    assignPhoto(*state, 0, 0, 0, n, 1080, 1920);
    QTest::mouseClick(canvas(), Qt::LeftButton, {}, frameCentre(n));
    ASSERT_TRUE(state->DragArmed);
    const int columns = state->CellColumns;
    window().resize(window().width(), window().height() + 6);
    settle();
    ASSERT_EQ(state->CellColumns, columns);
    EXPECT_EQ(state->FirstRow, 2);
    EXPECT_EQ(bar->value(), 2);
    EXPECT_TRUE(state->DragArmed);
    const int height = state->Slots[n].cropHeight;
    QWheelEvent wheel(QPointF(frameCentre(n)), QPointF(canvas()->mapToGlobal(frameCentre(n))), QPoint(),
                      QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas(), &wheel);
    EXPECT_LT(state->Slots[n].cropHeight, height); // still zooms without a new click
}

TEST_F(Views, StripDetails) {
    // The middle button selects nothing.
    QTest::mouseClick(strip(), Qt::MiddleButton, {}, stripCellCorner(*state, 0) + QPoint(50, 50));
    EXPECT_EQ(state->CurrentPhoto, -1);
    // Find-unused leaves the strip where it is when the photo's row is in view.
    QScrollBar* bar = nullptr;
    for (QScrollBar* b : window().findChildren<QScrollBar*>())
        if (b != window().canvasScrollBar() && b->isVisible()) bar = b;
    ASSERT_TRUE(bar);
    QTest::keyClick(bar, Qt::Key_Down);
    ASSERT_EQ(state->StripScrollPos, 1);
    for (int p = 0; p < state->StripColumns + 1; ++p)
        assignPhoto(*state, p, 0, 0, p, 1080, 1920);
    CMDEVENT(*state, live->ui, command::FindUnused); // photo columns + 1, on the second row: in view
    EXPECT_EQ(state->CurrentPhoto, state->StripColumns + 1);
    EXPECT_EQ(state->StripScrollPos, 1);
    EXPECT_EQ(bar->value(), 1);

    // The use count: a space and the number with its top-left at (88, 88) of the cell, nothing above.
    settle();
    const QImage shot = strip()->grab().toImage();
    const QPoint cell = stripCellCorner(*state, 0);
    int above = 0, inPlace = 0;
    for (int y = cell.y() + 60; y < cell.y() + 104; ++y)
        for (int x = cell.x() + 88; x < cell.x() + 108; ++x) {
            const QColor c = shot.pixelColor(x, y);
            // The digits are white; the thumbnail is red, the cell dark and the gap grey.
            if (c.red() > 230 && c.green() > 230 && c.blue() > 230) (y < cell.y() + 88 ? above : inPlace)++;
        }
    EXPECT_EQ(above, 0);
    EXPECT_GT(inPlace, 5);
}

} // namespace
} // namespace zanfold
