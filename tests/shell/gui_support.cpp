#include "shell/gui_support.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <QWheelEvent>

namespace zanfold::test {

DropResult dropFolder(QWidget* target, const QString& folder) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(folder)});
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    DropResult result{enter.isAccepted() && enter.dropAction() != Qt::IgnoreAction};
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return result;
}

void turnWheel(QWidget* target, QPoint at, QPoint angle) {
    QWheelEvent wheel(QPointF(at), QPointF(target->mapToGlobal(at)), QPoint(), angle, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
}

void pressButton(QWidget* modal, QMessageBox::StandardButton which) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_TRUE(box) << (modal ? modal->metaObject()->className() : "no dialog");
    box->button(which)->click();
}

QApplication& application() {
    static int argc = 1;
    static char name[] = "test_shell";
    static char* argv[] = {name, nullptr};
    // Never destroyed: input devices the test events created would outlive the application's own parts
    // at exit, and the process ends anyway.
    static auto* app = new QApplication(argc, argv);
    return *app;
}

LiveWindow::LiveWindow() {
    ui.attach(&window);
    window.resize(1000, 700);
    window.show();
}

void LiveWindowTest::SetUp() {
    application();
    live = std::make_unique<LiveWindow>();
    state = &live->state;
}

bool pressForDialog(LiveWindow& live, Qt::Key key, const std::function<bool(QWidget*)>& isIt,
                    const std::function<void(QWidget*)>& inside,
                    const std::function<void(QWidget*)>& others) {
    bool opened = false;
    ModalAnswerer answerer([&](QWidget* modal) {
        if (!opened && isIt(modal)) {
            opened = true;
            inside(modal);
        } else if (others) {
            others(modal);
        }
    });
    // Shortcuts reach the active window only; a closed dialog need not hand the activation back.
    live.window.activateWindow();
    if (!QTest::qWaitForWindowActive(&live.window)) return false;
    QTest::keyClick(&live.window, key);
    return opened;
}

ModalAnswerer::ModalAnswerer(std::function<void(QWidget*)> handle) : handle_(std::move(handle)) {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        QWidget* modal = QApplication::activeModalWidget();
        // Marked rather than remembered: the next box may be made at the address of the last one.
        if (!modal || !modal->isVisible() || modal->property("zanfoldAnswered").toBool()) return;
        modal->setProperty("zanfoldAnswered", true);
        ++answered_;
        // From a timer of its own: an answer may open the next dialog and wait in it, and a timer is never
        // run again while its own slot still runs.
        QTimer::singleShot(0, modal, [this, modal] { handle_(modal); });
    });
    timer_.start();
}

ModalAnswerer::~ModalAnswerer() = default;

DuringWork::DuringWork(MainWindow& window, std::function<void()> act) {
    timer_.setInterval(2);
    QObject::connect(&timer_, &QTimer::timeout, [this, &window, act = std::move(act)] {
        if (ran_ || !window.progressBar()->isVisible()) return;
        ran_ = true;
        timer_.stop();
        act();
    });
    timer_.start();
}

} // namespace zanfold::test
