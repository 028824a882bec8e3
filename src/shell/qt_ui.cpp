#include "shell/qt_ui.h"

#include "album/strip.h"
#include "core/text.h"
#include "shell/main_window.h"
#include "shell/settings_dialog.h"
#include "shell/template_dialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QUrl>

namespace zanfold {

namespace {

QMessageBox::Icon boxIcon(Icon icon) {
    switch (icon) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Warning:
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Error:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    default:
        return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButton boxButton(Answer answer) {
    switch (answer) {
    case Answer::Ok:
        return QMessageBox::Ok;
    case Answer::Cancel:
        return QMessageBox::Cancel;
    case Answer::Yes:
        return QMessageBox::Yes;
    case Answer::No:
        return QMessageBox::No;
    }
    return QMessageBox::NoButton;
}

} // namespace

QWidget* QtUi::owner() const {
    // A dialog open over the window (the template window, the custom template editor) owns what its
    // rules show, so it stays in front of them.
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return window_;
}

Answer QtUi::message(const QString& text, Icon icon, Buttons buttons, const QString& caption,
                     Answer byDefault) {
    QMessageBox box(boxIcon(icon), caption.isEmpty() ? state_.AppTitle : caption, text, QMessageBox::NoButton,
                    owner());
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    if (QAbstractButton* preferred = box.button(boxButton(byDefault)))
        box.setDefaultButton(qobject_cast<QPushButton*>(preferred));
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

QString QtUi::browseFolder(const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(owner(), title, start);
}

QString QtUi::openFile(const QString& title, const QString& filter, const QString& start) {
    return QFileDialog::getOpenFileName(owner(), title, start, filter);
}

QString QtUi::saveFile(const QString& title, const QString& filter, const QString& start,
                       const QString& proposed) {
    QFileDialog dialog(owner(), title, start.isEmpty() ? proposed : start + QLatin1Char('/') + proposed,
                       filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The dialog adds the filter's extension itself, so its overwrite question sees the real name.
    const QString suffix = filterSuffix(filter);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString chosen = dialog.selectedFiles().front();
    if (suffix.isEmpty() || !QFileInfo(chosen).suffix().isEmpty()) return chosen;
    // A desktop's own dialog may hand back the name as typed: the file really written is checked here.
    const QString path = chosen + QLatin1Char('.') + suffix;
    if (QFileInfo::exists(path) &&
        message(QStringLiteral("%1 已存在。\n要替换它吗？").arg(QDir::toNativeSeparators(path)),
                Icon::Warning, Buttons::YesNo, title, Answer::No) != Answer::Yes)
        return {};
    return path;
}

void QtUi::setStatus(int part, const QString& text) {
    if (window_ && part >= 1 && part <= 3) window_->statusPart(part)->setText(text);
}

void QtUi::progress(int value, int max) {
    if (!window_) return;
    if (!waiting_) {
        // The progress bar shows while work runs, and the pointer says the window takes no input.
        waiting_ = true;
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    }
    QProgressBar* bar = window_->progressBar();
    bar->setRange(0, max);
    bar->setValue(value);
    if (!bar->isVisible()) window_->showProgress(state_.CancelOffered);
}

void QtUi::hideProgress() {
    if (waiting_) {
        waiting_ = false;
        QGuiApplication::restoreOverrideCursor();
    }
    if (window_) window_->hideProgress();
}

void QtUi::setCommandEnabled(int commandId, bool enabled) {
    if (!window_) return;
    for (QAction* action : window_->actionsFor(commandId))
        action->setEnabled(enabled);
}

void QtUi::setCaption(const QString& caption) {
    if (window_) window_->showCaption(caption);
}

void QtUi::redraw(View view) {
    if (!window_) return;
    switch (view) {
    case View::Strip:
        window_->refreshStrip();
        break;
    case View::Canvas:
        window_->canvasPanel()->update();
        break;
    case View::SelectedCell:
        window_->updateCanvasCell(state_.CurrentSlot);
        break;
    }
}

void QtUi::redrawCell(int n) {
    if (window_) window_->updateCanvasCell(n);
}

void QtUi::redrawStripPhoto(int p) {
    if (window_) window_->updateStripPhoto(p);
}

void QtUi::setTabs(TabStrip strip, const QStringList& texts, int current) {
    if (window_) window_->showTabs(strip, texts, current);
}

void QtUi::placeCanvas(const CanvasPlacement& placement) {
    if (window_) window_->placeCanvas(placement);
}

void QtUi::setCanvasScroll(int firstRow) {
    if (window_) window_->canvasScrollBar()->setValue(firstRow);
}

void QtUi::showPhoto(int index) {
    if (!window_) return;
    PHOTO_SELECTINDEX(state_, *this, index);
    window_->refreshStrip();
}

int QtUi::chooseColour(int initial) {
    const QColor chosen =
        QColorDialog::getColor(QColor(initial & 0xFF, (initial >> 8) & 0xFF, (initial >> 16) & 0xFF), owner(),
                               QStringLiteral("颜色"));
    if (!chosen.isValid()) return -1;
    return chosen.red() | chosen.green() << 8 | chosen.blue() << 16;
}

void QtUi::showSettings() {
    SettingsDialog dialog(state_, *this, window_);
    dialog.exec();
}

void QtUi::setBusy(bool busy) {
    if (window_) window_->showBusy(busy);
}

void QtUi::showTemplateWindow() {
    TemplateDialog dialog(state_, *this, window_);
    dialog.runModal();
}

bool QtUi::openInShell(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void QtUi::processEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void QtUi::quit() {
    // Through the window's close, which asks about unsaved work first.
    if (window_)
        window_->close();
    else
        QCoreApplication::quit();
}

} // namespace zanfold
