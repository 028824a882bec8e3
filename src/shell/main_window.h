#pragma once

#include "core/app_state.h"
#include "core/layout.h"
#include "core/ui.h"

#include <QList>
#include <QMap>
#include <QWidget>

class QAction;
class QMenu;
class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QStatusBar;
class QTabBar;
class QToolBar;

namespace zanfold {

enum class PhotoDragStep;

// The main window: toolbar with the six commands and the logo, photo strip pane, splitter, specification
// tabs, crop canvas, template tabs, status bar of three parts and the progress bar over it. Every child is
// placed by windowLayout() on each resize.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    MainWindow(AppState& state, Ui& ui);
    ~MainWindow() override;

    QList<QAction*> actionsFor(int commandId) const { return actions_.values(commandId); }
    QLabel* statusPart(int part) const { return status_[part - 1]; }
    QProgressBar* progressBar() const { return progress_; }
    QLabel* floatingPanel() const { return floating_; }
    QPushButton* cancelButton() const { return cancel_; }
    // The progress bar over the status bar, with the cancel button when the work can be stopped.
    void showProgress(bool cancellable);
    void hideProgress();
    QWidget* stripPanel() const;
    QWidget* canvasPanel() const;
    QScrollBar* canvasScrollBar() const { return canvasScroll_; }
    QTabBar* specTabs() const { return specTabs_; }
    QTabBar* workTabs() const { return workTabs_; }
    QToolBar* toolbar() const { return toolbar_; }
    QWidget* splitter() const;

    void showTabs(TabStrip strip, const QStringList& texts, int current);
    void placeCanvas(const CanvasPlacement& placement);
    // Shows the window in front of the others, out of the task bar when it was minimised.
    void bringToFront();
    // Centres a client area of 900 x 600 in the screen's available area (never above or left of it).
    void placeOnScreen();
    // Lays the photo strip out again for the album and draws it.
    void refreshStrip();
    // Repaints one canvas position or one strip photo, when on screen.
    void updateCanvasCell(int n);
    void updateStripPhoto(int p);
    // While a user action runs, both panels show the busy pointer; afterwards the normal arrow.
    void showBusy(bool busy);
    // The title, marked while the work has unsaved changes.
    void showCaption(const QString& caption);
    // The undo and redo entries and the title's mark follow the history.
    void refreshHistory();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildToolbar();
    void buildMenus();
    void buildShortcuts();
    void buildPopupMenus();
    void fillPhotoMenu(QMenu* menu);
    QMenu* menuOf(const struct MenuItem* items, size_t count, QWidget* parent);
    void applyLayout();
    QAction* commandAction(int id, const QString& text, const QString& icon);
    void onTab(TabStrip strip, int index);
    void carryPhoto(PhotoDragStep step, QPoint press, QPoint global);
    void placeProgress();

    AppState& state_;
    Ui& ui_;
    QMultiMap<int, QAction*> actions_;
    QToolBar* toolbar_ = nullptr;
    QLabel* logo_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    QLabel* status_[3] = {nullptr, nullptr, nullptr};
    class StripView* strip_ = nullptr;
    class CanvasView* canvas_ = nullptr;
    QMenu* usedIn_ = nullptr;
    QScrollBar* stripScroll_ = nullptr;
    QScrollBar* canvasScroll_ = nullptr;
    QFrame* splitter_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QRect progressArea_; // where the layout puts the progress bar; the cancel button takes its right end
    QTabBar* specTabs_ = nullptr;
    QTabBar* workTabs_ = nullptr;
    QLabel* floating_ = nullptr; // the floating picture panel that carries a photo from the strip
    QPoint floatingGrab_;        // where the pointer holds it
    int statusHeight_ = 0;
    bool splitterDragging_ = false;
    int splitterLastX_ = -1;
};

} // namespace zanfold
