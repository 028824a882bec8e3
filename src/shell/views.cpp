#include "shell/views.h"

#include "album/album_import.h"
#include "album/strip.h"
#include "core/busy.h"
#include "core/palette.h"
#include "crop/canvas.h"
#include "crop/crop_geometry.h"
#include "crop/slots.h"
#include "history/undo_redo.h"
#include "project/unsaved_work.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QUrl>
#include <QWheelEvent>

#include <cstdlib>

namespace zanfold {

namespace {

const QColor kBackground(160, 160, 160);

// Draws the rectangle `source` of the picture stretched onto `target`; parts of the rectangle outside the
// picture stay as they are (white behind).
void drawCrop(QPainter& p, const QRectF& target, const QImage& picture, const QRectF& source) {
    const QRectF inside = source.intersected(QRectF(picture.rect()));
    if (inside.isEmpty() || source.width() <= 0 || source.height() <= 0) return;
    const double sx = target.width() / source.width(), sy = target.height() / source.height();
    const QRectF to(target.x() + (inside.x() - source.x()) * sx, target.y() + (inside.y() - source.y()) * sy,
                    inside.width() * sx, inside.height() * sy);
    p.drawImage(to, picture, inside);
}

} // namespace

int wheelStep(const QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    if (delta.y() == 0 || std::abs(delta.x()) > std::abs(delta.y())) return 0;
    return delta.y() < 0 ? 1 : -1;
}

StripView::StripView(AppState& state, Ui& ui, QWidget* parent) : QWidget(parent), state_(state), ui_(ui) {
    setAcceptDrops(true);
}

void StripView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRect dirty = event->rect();
    p.fillRect(dirty, kBackground);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const int photos = static_cast<int>(state_.Photos.size());
    for (int k = 0; k < state_.StripCells; ++k) {
        const int i = state_.StripColumns * state_.StripScrollPos + k;
        if (i >= photos) break;
        const QPoint cell = stripCellCorner(state_, k);
        // A selection or a use changes one or two cells: the others are not drawn again.
        if (!dirty.intersects(QRect(cell - QPoint(2, 2), QSize(kStripPitch, kStripPitch)))) continue;
        p.fillRect(QRect(cell, QSize(kStripCell, kStripCell)), QColor::fromRgba(palette::kDarkBackground));
        const PhotoRecord& photo = state_.Photos[i];
        p.drawImage(QRect(cell.x() + (kStripCell - photo.stripWidth) / 2,
                          cell.y() + (kStripCell - photo.stripHeight) / 2, photo.stripWidth,
                          photo.stripHeight),
                    photo.thumb);
        if (i == state_.CurrentPhoto) {
            p.setPen(QPen(QColor::fromRgba(palette::kHighlightPen), palette::kPenWidth));
            p.drawRect(QRect(cell - QPoint(1, 1), QSize(kStripCell + 2, kStripCell + 2)));
        }
        // Every photo shows its use count, 0 included: a space and the number, its top-left at (88, 88).
        p.setPen(Qt::white);
        p.drawText(QRect(cell + QPoint(88, 88), QSize(kStripPitch, kStripPitch)),
                   Qt::AlignLeft | Qt::AlignTop, QLatin1Char(' ') + QString::number(photo.useCount));
        if (photo.damaged || photo.profileUnusable) {
            const QRect badge(cell + QPoint(2, 2), QSize(30, 16));
            p.fillRect(badge, photo.damaged ? QColor(200, 0, 0) : QColor(190, 120, 0));
            p.drawText(badge, Qt::AlignCenter,
                       photo.damaged ? QStringLiteral("损坏") : QStringLiteral("色彩"));
        }
    }
}

void StripView::mousePressEvent(QMouseEvent* event) {
    // The left button and the right click select; the middle button does nothing.
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) return;
    const QPoint at = event->position().toPoint();
    const int hit = PHOTO_SELECT(state_, ui_, at.x(), at.y());
    if (event->button() == Qt::LeftButton) {
        dragArmed_ = hit != 0;
        pressPoint_ = at;
    } else if (hit && photoMenu) {
        if (preparePhotoMenu) preparePhotoMenu(photoMenu);
        photoMenu->popup(event->globalPosition().toPoint());
    }
}

void StripView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint global = event->globalPosition().toPoint();
    if (dragArmed_) {
        // The first move after the press picks the photo up; there is no distance threshold.
        dragArmed_ = false;
        carrying_ = state_.CurrentPhoto >= 0 && photoDrag;
        if (carrying_) photoDrag(PhotoDragStep::Start, pressPoint_, global);
    } else if (carrying_) {
        photoDrag(PhotoDragStep::Move, pressPoint_, global);
    }
}

void StripView::mouseReleaseEvent(QMouseEvent* event) {
    dragArmed_ = false;
    if (!carrying_) return;
    carrying_ = false;
    photoDrag(PhotoDragStep::Drop, pressPoint_, event->globalPosition().toPoint());
}

void StripView::cancelCarry() {
    dragArmed_ = false;
    if (!carrying_) return;
    carrying_ = false;
    photoDrag(PhotoDragStep::Cancel, pressPoint_, QPoint());
}

void StripView::wheelEvent(QWheelEvent* event) {
    const int step = wheelStep(event);
    if (step != 0 && state_.StripScrollShown && scrollBy) scrollBy(step);
}

void StripView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void StripView::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty()) return;
    event->acceptProposedAction();
    const QString folder = urls.front().toLocalFile();
    runExclusive(state_, ui_,
                 [&] { dropAlbumFolder(state_, ui_, folder, [&] { return mayDropWork(state_, ui_); }); });
}

CanvasView::CanvasView(AppState& state, Ui& ui, QWidget* parent) : QWidget(parent), state_(state), ui_(ui) {}

void CanvasView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRect dirty = event->rect();
    p.fillRect(dirty, kBackground);
    if (state_.CurrentWork < 0 || state_.WorkTemplates.empty()) return;
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const int first = CLIP_GETSLOT(state_, state_.CurrentWork, state_.CurrentSpec, 0);
    const int count = currentSpecRecord(state_).count;
    const QSize frameSize(state_.FrameWidth, state_.FrameHeight);
    for (int i = 0; i < state_.VisibleCells; ++i) {
        const int n = state_.CellColumns * state_.FirstRow + i;
        if (n >= count) break;
        const SlotRecord& slot = state_.Slots[first + n];
        const QPoint cell = cellCorner(state_, i);
        // An edit repaints its own cell; the others stay as they are.
        if (!dirty.intersects(QRect(cell - QPoint(2, 2), QSize(kCellSize + 4, kCellSize + 4)))) continue;
        const QRect frame(frameCorner(state_, i), frameSize);
        p.fillRect(QRect(cell, QSize(kCellSize, kCellSize)), QColor::fromRgba(palette::kDarkBackground));
        p.fillRect(frame, Qt::white);
        if (slot.photo >= 0)
            drawCrop(p, frame, state_.Photos[slot.photo].thumb,
                     QRectF(slot.cropX, slot.cropY, slot.cropWidth, slot.cropHeight));
        if (!slot.mask.isNull()) {
            p.setOpacity(palette::kFadedOpacity);
            p.drawImage(frame, slot.mask);
            p.setOpacity(1.0);
        }
        // Shown while zooming in: this position's output will look soft.
        if (enlargedTooMuch(state_, n)) {
            const QRect marker = enlargedMarker(frame);
            p.fillRect(marker, QColor::fromRgba(palette::kEnlargedMarker));
            p.setPen(Qt::white);
            p.drawText(marker, Qt::AlignCenter, QStringLiteral("!"));
        }
        if (n == state_.CurrentSlot) {
            p.setPen(QPen(QColor::fromRgba(palette::kHighlightPen), palette::kPenWidth));
            p.drawRect(QRect(cell - QPoint(1, 1), QSize(kCellSize + 2, kCellSize + 2)));
        }
        p.setPen(Qt::white);
        p.drawText(QRect(cell + QPoint(2, 186), QSize(kCellSize - 4, 14)), Qt::AlignLeft | Qt::AlignVCenter,
                   slot.name);
    }
}

bool CanvasView::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    if (!state_.WorkTemplates.empty() && state_.CurrentWork >= 0) {
        const int count = currentSpecRecord(state_).count;
        for (int i = 0; i < state_.VisibleCells; ++i) {
            const int n = state_.CellColumns * state_.FirstRow + i;
            if (n >= count) break;
            const QRect frame(frameCorner(state_, i), QSize(state_.FrameWidth, state_.FrameHeight));
            if (enlargedMarker(frame).contains(help->pos()) && enlargedTooMuch(state_, n)) {
                QToolTip::showText(help->globalPos(), enlargedMarkerText(), this);
                return true;
            }
        }
    }
    QToolTip::hideText();
    event->ignore();
    return true;
}

void CanvasView::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        state_.DragStart = state_.DragPoint = at;
        CLIP_CLICK(state_, ui_, at.x(), at.y());
        dragging_ = state_.DragArmed;
        if (dragging_) {
            setCursor(Qt::SizeAllCursor);
            // The whole drag, from press to release, is one step of the history.
            state_.History.begin(state_, dragStepName());
        }
    } else if (event->button() == Qt::RightButton && CLIP_POPUP(state_, ui_, at.x(), at.y()) &&
               positionMenu) {
        positionMenu->popup(event->globalPosition().toPoint());
    }
}

void CanvasView::mouseMoveEvent(QMouseEvent* event) {
    // The release may have gone by unseen (held back while a batch ran): the drag ends there.
    // An undo meanwhile (Ctrl+Z with the button held) ends the drag too: the crop under it has changed.
    if (dragging_ && (!(event->buttons() & Qt::LeftButton) || !state_.DragArmed)) mouseReleaseEvent(event);
    if (!dragging_) return;
    state_.DragPoint = event->position().toPoint();
    CLIP_MOVE(state_, ui_);
}

void CanvasView::mouseReleaseEvent(QMouseEvent*) {
    if (!dragging_) return;
    dragging_ = false;
    unsetCursor();
    state_.History.commit(state_);
}

void CanvasView::wheelEvent(QWheelEvent* event) {
    const int step = wheelStep(event);
    if (state_.Photos.empty() || step == 0) return;
    const QPoint at = event->position().toPoint();
    // Over the position shown as selected the wheel zooms its photo, however it came to be selected (a click,
    // a tab, an undo, a reopened project); over a gap with nothing selected it does nothing.
    if (CLIP_HITTEST(state_, at.x(), at.y()) == state_.CurrentSlot) {
        // Turning the wheel away from the user shows the photo larger.
        state_.History.record(
            state_, zoomStepName(), [&] { CLIP_ZOOM(state_, ui_, step < 0); }, zoomMergeKey(state_));
    } else if (scrollBy) {
        scrollBy(step);
    }
}

} // namespace zanfold
