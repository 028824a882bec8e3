#include "shell/gui_support.h"

#include <QProgressBar>

namespace zanfold::test {

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
