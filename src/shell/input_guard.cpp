#include "shell/input_guard.h"

#include <QApplication>
#include <QDropEvent>
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

InputGuard::InputGuard(QWidget* window, const AppState& state)
    : QObject(window), window_(window), state_(state) {
    qApp->installEventFilter(this);
}

bool InputGuard::belongsToWindow(QObject* object) const {
    if (auto* widget = qobject_cast<QWidget*>(object)) {
        QWidget* top = widget->window();
        // Dialogs owned by the window take their input: they are how a running action asks its questions.
        if (top == window_) return true;
        if (!qobject_cast<QMenu*>(top)) return false;
        object = top;
    }
    // Actions, shortcuts and popup menus of the window.
    for (QObject* o = object; o; o = o->parent())
        if (o == window_) return true;
    return false;
}

bool InputGuard::eventFilter(QObject* watched, QEvent* event) {
    if (!state_.CommandBusy) return false;
    const QEvent::Type type = event->type();
    if (isDrag(type) && belongsToWindow(watched)) {
        // Refused, so the drop cursor says no.
        static_cast<QDropEvent*>(event)->setDropAction(Qt::IgnoreAction);
        event->ignore();
        return true;
    }
    if (isInput(type) && belongsToWindow(watched)) {
        event->accept(); // a shortcut override accepted here keeps the shortcut from firing
        return true;
    }
    return false;
}

} // namespace zanfold
