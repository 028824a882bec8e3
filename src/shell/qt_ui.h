#pragma once

#include "core/app_state.h"
#include "core/ui.h"

#include <QPointer>

namespace zanfold {

class MainWindow;

// The Ui port on real widgets: message boxes, native dialogs, the status bar, the progress bar, enabled
// commands, tabs and the canvas placement of the main window.
class QtUi : public Ui {
public:
    explicit QtUi(AppState& state) : state_(state) {}
    void attach(MainWindow* window) { window_ = window; }

    Answer message(const QString& text, Icon icon, Buttons buttons, const QString& caption,
                   Answer byDefault) override;
    QString browseFolder(const QString& title, const QString& start) override;
    QString openFile(const QString& title, const QString& filter, const QString& start) override;
    QString saveFile(const QString& title, const QString& filter, const QString& start,
                     const QString& proposed) override;
    void setStatus(int part, const QString& text) override;
    void progress(int value, int max) override;
    void hideProgress() override;
    void setCommandEnabled(int commandId, bool enabled) override;
    void setCaption(const QString& caption) override;
    void redraw(View view) override;
    void redrawCell(int n) override;
    void redrawStripPhoto(int p) override;
    void setTabs(TabStrip strip, const QStringList& texts, int current) override;
    void placeCanvas(const CanvasPlacement& placement) override;
    void setCanvasScroll(int firstRow) override;
    void showPhoto(int index) override;
    void showTemplateWindow() override;
    int chooseColour(int initial) override;
    void showSettings() override;
    void setBusy(bool busy) override;
    bool openInShell(const QString& path) override;
    void processEvents() override;
    void quit() override;

private:
    QWidget* owner() const;

    AppState& state_;
    QPointer<MainWindow> window_;
    bool waiting_ = false; // the progress bar is up and the busy pointer shown
};

} // namespace zanfold
