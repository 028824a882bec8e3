#include "support/recording_ui.h"

namespace zanfold::test {

namespace {

template <typename T> T takeFront(std::deque<T>& script, T fallback) {
    if (script.empty()) return fallback;
    T value = script.front();
    script.pop_front();
    return value;
}

} // namespace

Answer RecordingUi::message(const QString& text, Icon icon, Buttons buttons, const QString& captionText,
                            Answer byDefault) {
    messages.push_back({text, icon, buttons, captionText, byDefault});
    if (buttons == Buttons::Ok) return Answer::Ok;
    const bool yes = buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel;
    return takeFront(answers, yes ? Answer::Yes : Answer::Ok);
}

QString RecordingUi::browseFolder(const QString& title, const QString& start) {
    folderDialogs.emplace_back(title, start);
    return takeFront(folders, QString());
}

QString RecordingUi::openFile(const QString&, const QString&, const QString&) {
    return takeFront(openFiles, QString());
}

QString RecordingUi::saveFile(const QString&, const QString&, const QString&, const QString&) {
    return takeFront(saveFiles, QString());
}

void RecordingUi::setStatus(int part, const QString& text) {
    status[part] = text;
    statusHistory.push_back(QString::number(part) + QLatin1Char(':') + text);
}

void RecordingUi::progress(int value, int max) {
    progressCalls.emplace_back(value, max);
}

void RecordingUi::hideProgress() {
    ++progressHidden;
}

void RecordingUi::setCommandEnabled(int commandId, bool on) {
    enabled[commandId] = on;
}

void RecordingUi::setCaption(const QString& text) {
    caption = text;
}

void RecordingUi::redraw(View view) {
    redraws.push_back(view);
}

void RecordingUi::redrawCell(int n) {
    cellRedraws.push_back(n);
}

void RecordingUi::redrawStripPhoto(int p) {
    stripPhotoRedraws.push_back(p);
}

void RecordingUi::setTabs(TabStrip strip, const QStringList& texts, int current) {
    tabs[strip] = texts;
    currentTab[strip] = current;
}

void RecordingUi::placeCanvas(const CanvasPlacement& placement) {
    placements.push_back(placement);
}

void RecordingUi::setCanvasScroll(int firstRow) {
    canvasScroll = firstRow;
}

void RecordingUi::showPhoto(int index) {
    shownPhoto = index;
}

int RecordingUi::chooseColour(int) {
    return takeFront(colours, -1);
}

void RecordingUi::showSettings() {
    ++settingsDialogs;
    if (onSettings) onSettings();
}

void RecordingUi::setBusy(bool on) {
    busy.push_back(on);
}

void RecordingUi::showTemplateWindow() {
    ++templateWindows;
    if (onTemplateWindow) onTemplateWindow();
}

bool RecordingUi::openInShell(const QString& path) {
    opened << path;
    return openSucceeds;
}

void RecordingUi::processEvents() {
    ++eventsProcessed;
    if (onProcessEvents) onProcessEvents();
}

void RecordingUi::quit() {
    ++quitCalls;
}

} // namespace zanfold::test
