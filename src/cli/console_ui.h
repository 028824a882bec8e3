#pragma once

#include "core/ui.h"
#include "core/worker_pool.h"

#include <QElapsedTimer>

namespace zanfold {

// The Ui of the command line: messages go to standard error with their icon as a word, questions are
// answered yes (the user asked for the job), progress is a bar on a terminal and plain lines otherwise.
class ConsoleUi : public Ui {
public:
    ConsoleUi();

    Answer message(const QString& text, Icon icon, Buttons buttons, const QString& caption,
                   Answer byDefault) override;
    QString browseFolder(const QString& title, const QString& start) override;
    QString openFile(const QString& title, const QString& filter, const QString& start) override;
    QString saveFile(const QString& title, const QString& filter, const QString& start,
                     const QString& proposed) override;
    void setStatus(int part, const QString& text) override;
    void progress(int value, int max) override;
    void hideProgress() override;
    void setCommandEnabled(int, bool) override {}
    void setCaption(const QString&) override {}
    void redraw(View) override {}
    void setTabs(TabStrip, const QStringList&, int) override {}
    void placeCanvas(const CanvasPlacement&) override {}
    void setCanvasScroll(int) override {}
    void showPhoto(int) override {}
    void showTemplateWindow() override {}
    void redrawCell(int) override {}
    void redrawStripPhoto(int) override {}
    int chooseColour(int) override { return -1; }
    void showSettings() override {}
    void setBusy(bool) override {}
    bool openInShell(const QString&) override { return false; }
    // Passes SIGINT and SIGTERM on to `cancel` while work runs: the running import or batch stops after
    // the files already begun, so nothing is left half-written. A second signal ends the program at once.
    void stopOnSignals(CancelFlag& cancel);
    void processEvents() override;
    void quit() override {}

    // Messages shown with a warning or error icon.
    int problems() const { return problems_; }

private:
    bool terminal_;
    int lastPercent_ = -1;
    int problems_ = 0;
    CancelFlag* cancel_ = nullptr;
};

} // namespace zanfold
