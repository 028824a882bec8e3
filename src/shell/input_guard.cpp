#include "shell/input_guard.h"

#include <QApplication>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QWidget>

namespace zanfold {

namespace {

bool isInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

bool isDrag(QEvent::Type type) {
    return type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop;
}

} // namespace

InputGuard::InputGuard(QWidget* window, AppState& state) : QObject(window), window_(window), state_(state) {
    qApp->installEventFilter(this);
}

bool InputGuard::belongsToWindow(QObject* object) const {
    // Actions and shortcuts go with the widget that holds them.
    while (object && !object->isWidgetType())
        object = object->parent();
    if (!object) return false;
    QWidget* top = static_cast<QWidget*>(object)->window();
    // A popup menu goes with the widget it opens from.
    if (auto* menu = qobject_cast<QMenu*>(top))
        return menu->parentWidget() && belongsToWindow(menu->parentWidget());
    // Dialogs owned by the window (their menus and actions too) take their input: they are how a running
    // action asks its questions, and the template window is one.
    return top == window_;
}

bool InputGuard::eventFilter(QObject* watched, QEvent* event) {
    if (!state_.CommandBusy) return false;
    const QEvent::Type type = event->type();
    if (allowed_ && watched == allowed_) return false;
    if (isDrag(type) && belongsToWindow(watched)) {
        // Refused, so the drop cursor says no.
        static_cast<QDropEvent*>(event)->setDropAction(Qt::IgnoreAction);
        event->ignore();
        return true;
    }
    if (isInput(type) && belongsToWindow(watched)) {
        if (type == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            state_.CancelRequested.request();
        event->accept(); // a shortcut override accepted here keeps the shortcut from firing
        return true;
    }
    return false;
}

} // namespace zanfold
