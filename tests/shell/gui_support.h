#pragma once

#include "core/app_state.h"
#include "shell/main_window.h"
#include "shell/qt_ui.h"

#include "support/temp_dir.h"

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <QMessageBox>

namespace zanfold::test {

// Real events, sent through the application as the window system would deliver them.
struct DropResult {
    bool enterAccepted = false;
};
// Drags the folder over the widget and drops it at its middle.
DropResult dropFolder(QWidget* target, const QString& folder);
// One turn of the wheel at `at`; `angle` in eighths of a degree (0, 120 is one notch away from the user).
void turnWheel(QWidget* target, QPoint at, QPoint angle);
// Presses a button of the message box `modal`.
void pressButton(QWidget* modal, QMessageBox::StandardButton which);

// One QApplication for the suite, offscreen.
QApplication& application();

// The real window over its real Ui, as the program starts it.
struct LiveWindow {
    AppState state;
    QtUi ui{state};
    MainWindow window{state, ui};

    LiveWindow();
};

// A test over the real window, with a folder of its own.
class LiveWindowTest : public ::testing::Test {
protected:
    TempDir dir;
    std::unique_ptr<LiveWindow> live;
    AppState* state = nullptr;

    void SetUp() override;
};

// Answers the modal dialogs a command opens: each new one is handed to `handle`, in the order they appear,
// from the dialogs' own event loops, so the command's exec() returns as it would for a user.
class ModalAnswerer {
public:
    explicit ModalAnswerer(std::function<void(QWidget*)> handle);
    ~ModalAnswerer();
    int answered() const { return answered_; }

private:
    std::function<void(QWidget*)> handle_;
    QTimer timer_;
    int answered_ = 0;
};

// Runs `act` once while the window shows its progress bar (an import or a batch is running), from the
// event loop that the running work keeps alive. `ran()` tells whether it came to run.
class DuringWork {
public:
    DuringWork(MainWindow& window, std::function<void()> act);
    bool ran() const { return ran_; }

private:
    QTimer timer_;
    bool ran_ = false;
};

// Presses `key` on the active window and hands the modal dialog it opens to `inside`; every other dialog
// opened meanwhile goes to `others`. False when the key opened no dialog the filter `isIt` accepts.
bool pressForDialog(LiveWindow& live, Qt::Key key, const std::function<bool(QWidget*)>& isIt,
                    const std::function<void(QWidget*)>& inside, const std::function<void(QWidget*)>& others);

template <typename Dialog>
bool pressForDialog(LiveWindow& live, Qt::Key key, const std::function<void(Dialog*)>& inside,
                    const std::function<void(QWidget*)>& others = {}) {
    return pressForDialog(
        live, key, [](QWidget* w) { return qobject_cast<Dialog*>(w) != nullptr; },
        [&](QWidget* w) { inside(qobject_cast<Dialog*>(w)); }, others);
}

} // namespace zanfold::test
