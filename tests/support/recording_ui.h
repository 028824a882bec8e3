#pragma once

#include "core/ui.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <map>
#include <vector>

namespace zanfold::test {

struct MessageCall {
    QString text;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    QString caption;
    Answer byDefault = Answer::Ok;
};

// A Ui that records every call and answers dialogs from scripts the test fills in beforehand.
class RecordingUi : public Ui {
public:
    // Scripted answers, taken from the front. An empty script answers Ok/Yes and cancels dialogs.
    std::deque<Answer> answers;
    std::deque<QString> folders;
    std::vector<std::pair<QString, QString>> folderDialogs; // title and start folder of each browseFolder()
    std::deque<QString> openFiles;
    std::deque<QString> saveFiles;

    std::vector<MessageCall> messages;
    std::map<int, QString> status;      // last text of each part
    std::vector<QString> statusHistory; // "part:text"
    std::vector<std::pair<int, int>> progressCalls;
    int progressHidden = 0;
    std::map<int, bool> enabled;
    QString caption;
    std::vector<View> redraws;
    std::vector<int> cellRedraws;       // redrawCell(n)
    std::vector<int> stripPhotoRedraws; // redrawStripPhoto(p)
    std::map<TabStrip, QStringList> tabs;
    std::map<TabStrip, int> currentTab;
    std::vector<CanvasPlacement> placements;
    int canvasScroll = -1;
    int shownPhoto = -1;
    std::deque<int> colours;                // answers of chooseColour(); -1 (cancelled) when empty
    std::vector<bool> busy;                 // every setBusy() call
    int settingsDialogs = 0;                // times the settings dialog was opened
    std::function<void()> onSettings;       // what the user does in it
    int templateWindows = 0;                // times the template window was opened
    std::function<void()> onTemplateWindow; // what the user does in it
    QStringList opened;
    bool openSucceeds = true;
    int eventsProcessed = 0;

    Answer message(const QString& text, Icon icon, Buttons buttons, const QString& caption,
                   Answer byDefault) override;
    QString browseFolder(const QString& title, const QString& start) override;
    QString openFile(const QString& title, const QString& filter, const QString& start) override;
    QString saveFile(const QString& title, const QString& filter, const QString& start,
                     const QString& proposed) override;
    void setStatus(int part, const QString& text) override;
    void progress(int value, int max) override;
    void hideProgress() override;
    void setCommandEnabled(int commandId, bool on) override;
    void setCaption(const QString& text) override;
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
    void setBusy(bool on) override;
    bool openInShell(const QString& path) override;
    void processEvents() override;
    void quit() override;
    int quitCalls = 0;
    std::function<void()> onProcessEvents; // lets a test act while a long operation waits

    // The last message shown, or an empty call when there was none.
    MessageCall lastMessage() const { return messages.empty() ? MessageCall{} : messages.back(); }
};

} // namespace zanfold::test
