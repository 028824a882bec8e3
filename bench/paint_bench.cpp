// How long the desktop's interactions take to repaint: the real main window, offscreen, over an album of
// 200 and of 2000 photos and a work of 60 positions, at 1440 x 900. Prints milliseconds per step; the
// steps that change the work include recording them in its history.
#include "album/strip.h"
#include "core/geometry.h"
#include "crop/assignment.h"
#include "crop/canvas.h"
#include "crop/crop_geometry.h"
#include "crop/work_templates.h"
#include "history/undo_redo.h"
#include "shell/main_window.h"
#include "shell/qt_ui.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <cstdio>
#include <functional>

using namespace zanfold;

namespace {

// A photo as import leaves it: a 200 x 133 thumbnail of a 6000 x 4000 picture, drawn so that scaling has
// real work to do.
PhotoRecord photo(int i) {
    PhotoRecord p;
    p.index = i;
    p.hasImage = true;
    p.width = 6000;
    p.height = 4000;
    p.thumbWidth = 6000;
    p.thumbHeight = 4000;
    ZF_GETZOOM(200, 200, p.thumbWidth, p.thumbHeight);
    p.stripWidth = p.thumbWidth;
    p.stripHeight = p.thumbHeight;
    ZF_GETZOOM(100, 100, p.stripWidth, p.stripHeight);
    p.thumb = QImage(p.thumbWidth, p.thumbHeight, QImage::Format_RGB32);
    QPainter painter(&p.thumb);
    QLinearGradient gradient(0, 0, p.thumbWidth, p.thumbHeight);
    gradient.setColorAt(0, QColor::fromHsv((i * 37) % 360, 180, 220));
    gradient.setColorAt(1, QColor::fromHsv((i * 37 + 120) % 360, 200, 90));
    painter.fillRect(p.thumb.rect(), gradient);
    p.fileName = QStringLiteral("IMG_%1.jpg").arg(i, 4, 10, QLatin1Char('0'));
    return p;
}

// Milliseconds per step: the step's own work and the repaint it asks for, flushed as the event loop would.
double perStep(int steps, const std::function<void(int)>& step) {
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < steps; ++i) {
        step(i);
        QApplication::processEvents();
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e6 / steps;
}

struct Figures {
    double drag = 0, zoom = 0, undoRedo = 0, stripRow = 0, fullCanvas = 0, fullStrip = 0;
};

Figures measure(int photos) {
    AppState state;
    QtUi ui(state);
    MainWindow window(state, ui);
    ui.attach(&window);
    window.resize(1440, 900);
    window.show();
    for (int i = 0; i < photos; ++i)
        state.Photos.push_back(photo(i));
    state.AlbumOrientCount = {photos, 0, 0};
    window.refreshStrip();
    TemplateRecord t;
    t.pTypeSum = 1;
    t.count = 60;
    t.spec[0] = {'A', 3, 1920, 1080, 60};
    state.Templates.push_back(t);
    state.TemplateNames.append(QStringLiteral("Bench"));
    state.CurrentTemplate = 0;
    CLIP_ADDTEMPLATE(state, ui);
    for (int n = 0; n < 60; ++n)
        assignPhoto(state, n % photos, 0, 0, n, 1920, 1080);
    QApplication::processEvents();

    QWidget* canvas = window.canvasPanel();
    const QPoint frame = frameCorner(state, 0) + QPoint(state.FrameWidth / 2, state.FrameHeight / 2);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(frame), QPointF(canvas->mapToGlobal(frame)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &press);
    QApplication::processEvents();

    Figures f;
    // A zoomed-in crop can move both ways.
    for (int i = 0; i < 6; ++i)
        CLIP_ZOOM(state, ui, true);
    QApplication::processEvents();
    f.drag = perStep(400, [&](int i) {
        const QPoint at = frame + QPoint(i % 2 ? 0 : 1, 0);
        QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(canvas->mapToGlobal(at)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(canvas, &move);
    });
    f.zoom = perStep(400, [&](int i) {
        QWheelEvent wheel(QPointF(frame), QPointF(canvas->mapToGlobal(frame)), QPoint(),
                          QPoint(0, i % 2 ? -120 : 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(canvas, &wheel);
    });
    // The zooms were one step of the history: taken back and done again, the window laid out each time.
    f.undoRedo = perStep(200, [&](int i) { i % 2 ? REDO(state, ui) : UNDO(state, ui); });
    QScrollBar* stripBar = nullptr;
    for (QScrollBar* bar : window.findChildren<QScrollBar*>())
        if (bar != window.canvasScrollBar() && bar->isVisible()) stripBar = bar;
    f.stripRow = perStep(400, [&](int i) {
        stripBar->triggerAction(i % 2 ? QAbstractSlider::SliderSingleStepSub
                                      : QAbstractSlider::SliderSingleStepAdd);
    });
    f.fullCanvas = perStep(200, [&](int) { canvas->repaint(); });
    f.fullStrip = perStep(200, [&](int) { window.stripPanel()->repaint(); });
    return f;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    measure(200); // warms the caches, fonts and the backing store up
    const Figures small = measure(200);
    const Figures large = measure(2000);
    std::printf("Interaction repaints, main window 1440 x 900 offscreen, 60 positions\n\n");
    std::printf("%-40s %12s %12s\n", "ms per step", "200 photos", "2000 photos");
    const struct {
        const char* name;
        double Figures::*field;
    } rows[] = {{"crop drag step (its cell)", &Figures::drag},
                {"wheel zoom step (its cell, recorded)", &Figures::zoom},
                {"undo or redo of the zoom step", &Figures::undoRedo},
                {"strip scroll by one row", &Figures::stripRow},
                {"full canvas repaint", &Figures::fullCanvas},
                {"full strip repaint", &Figures::fullStrip}};
    for (const auto& row : rows)
        std::printf("%-40s %12.3f %12.3f\n", row.name, small.*row.field, large.*row.field);
    return 0;
}
