#pragma once

#include "core/app_state.h"

#include <QObject>

class QWidget;

namespace zanfold {

// Holds back every input to one window while a user action runs (an import or a batch keeps the window
// alive meanwhile): mouse, wheel, keys, shortcuts, context menus and drops, so nothing can touch records
// that workers are still writing or start other work. Painting, resizing and the close box still pass.
// Installed on the application, so no handler of the window has to check for itself. Two ways out stay
// open: Esc asks the running work to stop, and so does the cancel button let through with allow().
class InputGuard : public QObject {
public:
    InputGuard(QWidget* window, AppState& state);
    void allow(QWidget* widget) { allowed_ = widget; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool belongsToWindow(QObject* object) const;

    QWidget* window_;
    AppState& state_;
    QWidget* allowed_ = nullptr;
};

} // namespace zanfold
