#pragma once

#include "core/app_state.h"
#include "core/ui.h"

#include <QWidget>

class QMenu;
class QWheelEvent;

namespace zanfold {

// One wheel notch read for scrolling and zooming: +1 towards the user, -1 away from the user, 0 for a
// horizontal wheel or a tilt, which must change nothing.
int wheelStep(const QWheelEvent* event);

// The stages of carrying a photo from the strip: picked up by the first move after a press on it, carried
// while the mouse moves, dropped where the button is released, or given up when the work changed meanwhile.
enum class PhotoDragStep { Start, Move, Drop, Cancel };

// The photo strip: paints the thumbnails of the visible rows with their use counts, selects on a press,
// carries a photo from the first move after it, opens the photo menu, scrolls with the wheel and takes
// dropped album folders.
class StripView : public QWidget {
    Q_OBJECT
public:
    StripView(AppState& state, Ui& ui, QWidget* parent);
    // Called before the photo menu opens, to fill it for the selected photo.
    std::function<void(QMenu*)> preparePhotoMenu;
    QMenu* photoMenu = nullptr;
    std::function<void(int delta)> scrollBy;
    // Carries the selected photo: the strip point of the press and the pointer's screen position.
    std::function<void(PhotoDragStep, QPoint press, QPoint global)> photoDrag;
    // Gives up a photo being carried: an undo or a key changed the work under the pointer.
    void cancelCarry();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    AppState& state_;
    Ui& ui_;
    bool dragArmed_ = false; // StripDragArmed
    bool carrying_ = false;
    QPoint pressPoint_; // StripPressX, StripPressY
};

// The crop canvas: paints the positions of the shown specification with their crops and masks, selects,
// drags and zooms the photo in a frame and opens the position menu.
class CanvasView : public QWidget {
    Q_OBJECT
public:
    CanvasView(AppState& state, Ui& ui, QWidget* parent);
    QMenu* positionMenu = nullptr;
    std::function<void(int delta)> scrollBy;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool event(QEvent* event) override;

private:
    AppState& state_;
    Ui& ui_;
    bool dragging_ = false;
};

} // namespace zanfold
