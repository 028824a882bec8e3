#pragma once

#include "core/app_state.h"

#include <QObject>

class QWidget;

namespace zanfold {

// Holds back every input to one window while a user action runs (an import or a batch keeps the window
// alive meanwhile): mouse, wheel, keys, shortcuts, context menus and drops, so nothing can touch records
// that workers are still writing or start other work. Painting, resizing and the close box still pass.
// Installed on the application, so no handler of the window has to check for itself.
class InputGuard : public QObject {
public:
    InputGuard(QWidget* window, const AppState& state);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool belongsToWindow(QObject* object) const;

    QWidget* window_;
    const AppState& state_;
};

} // namespace zanfold
