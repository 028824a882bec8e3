#include "shell/main_window.h"

#include "album/strip.h"
#include "core/busy.h"
#include "core/commands.h"
#include "core/palette.h"
#include "crop/canvas.h"
#include "crop/work_templates.h"
#include "history/undo_redo.h"
#include "project/unsaved_work.h"
#include "shell/command_dispatch.h"
#include "shell/icons.h"
#include "shell/input_guard.h"
#include "shell/views.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>

namespace zanfold {

struct MenuItem {
    int id; // 0: separator
    const char* text;
    const char* shortcut;
    const char* bitmap;
};

namespace {

// The drop-down menus of the toolbar buttons.
const MenuItem kSettingsMenu[] = {{command::TemplateManagement, "模板管理", "F4", "16TemplateB"},
                                  {command::OpenOutputFolder, "打开裁图文件夹", "F9", "16openA"},
                                  {0, nullptr, nullptr, nullptr},
                                  {command::ShortcutKeys, "快捷键", "F1", ""}};
const MenuItem kAlbumMenu[] = {{command::OpenProject, "打开项目", "Ctrl+O", "16openB"},
                               {command::SaveProject, "保存项目", "Ctrl+S", "16save"},
                               {command::SaveProjectAs, "另存为", "Ctrl+Shift+S", "16save"},
                               {0, nullptr, nullptr, nullptr},
                               {command::OpenPhotoFolder, "打开照片文件夹", "O", "16OpenFolder"}};
const MenuItem kTemplatesMenu[] = {{command::RemoveCurrentTemplate, "删除当前裁图模板", "", "16delTemplate"},
                                   {command::RemoveAllTemplates, "删除所有裁图模板", "", "16deleteA"}};
const MenuItem kAllotMenu[] = {
    {command::AllocateRemaining, "分配剩余照片", "", "16Photo0"},
    {command::CopyAllocation, "复制分配照片", "Ctrl+D", "16copy"},
    {command::ClearAllAllocation, "清除所有模板的分配", "", "16RemovePhotoUse"},
    {0, nullptr, nullptr, nullptr},
    {command::AllocateCurrentTemplate, "分配当前模板", "Ctrl+A", "16PhotoUse"},
    {command::AllocateRemainingToCurrent, "分配剩余照片给当前模板", "", "16Photo0"},
    {command::ClearCurrentAllocation, "清除当前模板的分配", "", "16deleteB"}};
const MenuItem kClipMenu[] = {{command::CropOne, "单张裁图", "", "16ClipA"}};

// The photo menu of the strip; the "已经使用" submenu is filled when it opens.
const MenuItem kPhotoMenu[] = {{command::ViewPhoto, "查看照片", "V", "16view"},
                               {0, nullptr, nullptr, nullptr},
                               {command::RotateLeft, "向左旋转", "", "16left"},
                               {command::RotateRight, "向右旋转", "", "16right"},
                               {command::Rotate180, "旋转180度", "", "16rotateC"},
                               {0, nullptr, nullptr, nullptr},
                               {command::FindUnused, "查找未使用照片", "Ctrl+F", "16findA"},
                               {command::FindNextUnused, "查找下一个", "F3", "16findB"},
                               {0, nullptr, nullptr, nullptr},
                               {command::ReloadPhoto, "更新照片", "", "16updatephoto"},
                               {command::DeletePhoto, "删除照片", "", "16deleteB"},
                               {command::UsePhoto, "使用照片", "", "16SelectPhoto"}};

// The position presets, as the numeric keypad lays them out.
const MenuItem kPositionMenu[] = {{command::PresetFirst + 7, "上左", "7", "16positon1"},
                                  {command::PresetFirst + 8, "上中", "8", "16positon2"},
                                  {command::PresetFirst + 9, "上右", "9", "16positon3"},
                                  {0, nullptr, nullptr, nullptr},
                                  {command::PresetFirst + 4, "中左", "4", "16positon4"},
                                  {command::PresetFirst + 5, "居中", "5", "16positon5"},
                                  {command::PresetFirst + 6, "中右", "6", "16positon6"},
                                  {0, nullptr, nullptr, nullptr},
                                  {command::PresetFirst + 1, "下左", "1", "16positon7"},
                                  {command::PresetFirst + 2, "下中", "2", "16positon8"},
                                  {command::PresetFirst + 3, "下右", "3", "16positon9"},
                                  {0, nullptr, nullptr, nullptr},
                                  {command::PresetFirst, "默认", "0", "16ClipB"},
                                  {0, nullptr, nullptr, nullptr},
                                  {command::FacePosition, "对准人脸", "", "16face"}};

const MenuItem kCanvasMenu[] = {{command::FindPhoto, "查找照片", "F", "16findB"},
                                {command::RemovePhoto, "删除照片", "Delete", "16RemovePhotoUse"},
                                {0, nullptr, nullptr, nullptr},
                                {command::AllocateCurrentSpec, "分配当前规格", "A", ""},
                                {command::CopyCurrentSpec, "复制分配当前规格", "D", "16copy"},
                                {0, nullptr, nullptr, nullptr},
                                {command::CanvasCropOne, "单张裁图", "", "16ClipA"}};

// The accelerator table: key, command.
struct Accelerator {
    QKeySequence key;
    int id;
};

} // namespace

MainWindow::MainWindow(AppState& state, Ui& ui) : state_(state), ui_(ui) {
    showCaption(state.AppTitle);
    setWindowIcon(resourceIcon(QStringLiteral("zanfold")));
    setMinimumSize(kMinimumWindowWidth, kMinimumWindowHeight);
    buildToolbar();
    buildMenus();
    buildShortcuts();

    statusBar_ = new QStatusBar(this);
    statusBar_->setSizeGripEnabled(false);
    // The parts are placed by the window layout, at fixed places, not by the bar's own layout.
    for (QLabel*& part : status_) {
        part = new QLabel(statusBar_);
        part->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    statusHeight_ = std::max(statusBar_->sizeHint().height(), status_[0]->sizeHint().height() + 4);

    strip_ = new StripView(state_, ui_, this);
    canvas_ = new CanvasView(state_, ui_, this);
    stripScroll_ = new QScrollBar(Qt::Vertical, this);
    canvasScroll_ = new QScrollBar(Qt::Vertical, this);
    stripScroll_->hide();
    canvasScroll_->hide();

    specTabs_ = new QTabBar(this);
    workTabs_ = new QTabBar(this);
    workTabs_->setShape(QTabBar::RoundedSouth);
    for (QTabBar* tabs : {specTabs_, workTabs_}) {
        tabs->setExpanding(false);
        tabs->setDrawBase(true);
    }
    showTabs(TabStrip::Specs, {emptySpecTab()}, 0);
    showTabs(TabStrip::Works, {emptyWorkTab()}, 0);
    connect(specTabs_, &QTabBar::currentChanged, this, [this](int i) { onTab(TabStrip::Specs, i); });
    connect(workTabs_, &QTabBar::currentChanged, this, [this](int i) { onTab(TabStrip::Works, i); });

    splitter_ = new QFrame(this);
    splitter_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    splitter_->setCursor(Qt::SplitHCursor);

    progress_ = new QProgressBar(this);
    progress_->setTextVisible(false);
    progress_->hide();
    cancel_ = new QPushButton(QStringLiteral("取消"), this);
    cancel_->setToolTip(QStringLiteral("停止导入或裁图（Esc）"));
    cancel_->hide();
    connect(cancel_, &QPushButton::clicked, this, [this] { state_.CancelRequested.request(); });

    floating_ = new QLabel(this);
    floating_->hide();
    strip_->photoDrag = [this](PhotoDragStep step, QPoint press, QPoint global) {
        carryPhoto(step, press, global);
    };

    logo_ = new QLabel(this);
    const QSize logo = logoSize(state_.ToolbarHeight);
    logo_->setPixmap(resourcePixmap(QStringLiteral("logo"), logo, devicePixelRatioF(), Qt::transparent));
    logo_->resize(logo);

    connect(canvasScroll_, &QScrollBar::valueChanged, this, [this](int row) {
        state_.FirstRow = row;
        canvas_->update();
    });
    connect(stripScroll_, &QScrollBar::valueChanged, this, [this](int row) {
        state_.StripScrollPos = row;
        strip_->update();
    });
    strip_->scrollBy = [this](int delta) { stripScroll_->setValue(stripScroll_->value() + delta); };
    canvas_->scrollBy = [this](int delta) {
        if (canvasScroll_->isVisible()) canvasScroll_->setValue(canvasScroll_->value() + delta);
    };
    buildPopupMenus();
    // Nothing is selected yet: the position commands (单张裁图 of the toolbar's menu too) and the copy of an
    // allocation wait for a position and an allocation.
    for (int id : {command::FindPhoto, command::RemovePhoto, command::CanvasCropOne, command::CropOne,
                   command::CopyCurrentSpec})
        for (QAction* a : actionsFor(id))
            a->setEnabled(false);
    // eventFilter sees the application's events: keypad presets are read from the key presses themselves
    // (keypad shortcuts do not fire on every X11 desktop, and with NumLock off the keys arrive as Home,
    // Up, …) whichever child has the focus; the wheel over tabs and scroll bars, and the splitter's drag.
    qApp->installEventFilter(this);
    // Installed last, so it sees every event first.
    (new InputGuard(this, state_))->allow(cancel_);
    resize(900, 600);
    applyLayout();
    state_.History.setListener([this] {
        strip_->cancelCarry();
        refreshHistory();
    });
    refreshHistory();
}

MainWindow::~MainWindow() {
    state_.History.setListener({});
}

void MainWindow::showCaption(const QString& caption) {
    // The mark stands where Qt puts "*" while the work has unsaved changes.
    setWindowTitle(caption + QStringLiteral("[*]"));
}

void MainWindow::refreshHistory() {
    const bool idle = !state_.CommandBusy;
    for (QAction* a : actionsFor(command::Undo)) {
        a->setText(undoEntryText(state_.History) + QStringLiteral("\tCtrl+Z"));
        a->setEnabled(idle && state_.History.canUndo());
    }
    for (QAction* a : actionsFor(command::Redo)) {
        a->setText(redoEntryText(state_.History) + QStringLiteral("\tCtrl+Y"));
        a->setEnabled(idle && state_.History.canRedo());
    }
    setWindowModified(hasUnsavedWork(state_));
}

QAction* MainWindow::commandAction(int id, const QString& text, const QString& iconName) {
    auto* action = new QAction(resourceIcon(iconName), text, this);
    connect(action, &QAction::triggered, this, [this, id] { CMDEVENT(state_, ui_, id); });
    actions_.insert(id, action);
    return action;
}

void MainWindow::buildToolbar() {
    toolbar_ = new QToolBar(this);
    toolbar_->setIconSize(QSize(48, 48));
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar_->setMovable(false);
    const struct {
        int id;
        const char* text;
        const char* icon;
        bool dropDown;
    } buttons[] = {{command::Settings, "设置", "200", true},
                   {0, nullptr, nullptr, false},
                   {command::ImportAlbum, "导入相册", "201", true},
                   {command::ChooseTemplates, "选择模板", "202", true},
                   {command::AllocatePhotos, "分配照片", "203", true},
                   {command::StartCropping, "开始裁图", "204", true},
                   {0, nullptr, nullptr, false},
                   {command::Exit, "退出", "205", false}};
    for (const auto& b : buttons) {
        if (b.id == 0) {
            auto* gap = new QWidget(toolbar_);
            gap->setFixedWidth(10);
            toolbar_->addWidget(gap);
            continue;
        }
        QAction* action = commandAction(b.id, QString::fromUtf8(b.text), QString::fromLatin1(b.icon));
        toolbar_->addAction(action);
        if (b.dropDown) {
            auto* button = qobject_cast<QToolButton*>(toolbar_->widgetForAction(action));
            if (button) button->setPopupMode(QToolButton::MenuButtonPopup);
        }
    }
    for (int id : {command::ChooseTemplates, command::AllocatePhotos, command::StartCropping})
        for (QAction* a : actionsFor(id))
            a->setEnabled(false);
    state_.ToolbarHeight = toolbar_->sizeHint().height();
}

QMenu* MainWindow::menuOf(const MenuItem* items, size_t count, QWidget* parent) {
    auto* menu = new QMenu(parent);
    for (size_t i = 0; i < count; ++i) {
        const MenuItem& item = items[i];
        if (item.id == 0) {
            menu->addSeparator();
            continue;
        }
        // The key is shown after a tab, as written ("Delete", "Ctrl+O"); the accelerator table fires it.
        QString text = QString::fromUtf8(item.text);
        if (*item.shortcut) text += QLatin1Char('\t') + QString::fromLatin1(item.shortcut);
        menu->addAction(commandAction(item.id, text, QString::fromLatin1(item.bitmap)));
    }
    return menu;
}

void MainWindow::buildMenus() {
    auto attach = [this](int buttonId, QMenu* menu) {
        for (QAction* a : actionsFor(buttonId))
            if (auto* button = qobject_cast<QToolButton*>(toolbar_->widgetForAction(a)))
                button->setMenu(menu);
    };
    attach(command::Settings, menuOf(kSettingsMenu, std::size(kSettingsMenu), this));
    attach(command::ImportAlbum, menuOf(kAlbumMenu, std::size(kAlbumMenu), this));
    attach(command::ChooseTemplates, menuOf(kTemplatesMenu, std::size(kTemplatesMenu), this));
    attach(command::AllocatePhotos, menuOf(kAllotMenu, std::size(kAllotMenu), this));
    attach(command::StartCropping, menuOf(kClipMenu, std::size(kClipMenu), this));
}

void MainWindow::buildPopupMenus() {
    QMenu* photo = menuOf(kPhotoMenu, std::size(kPhotoMenu), this);
    usedIn_ = photo->addMenu(QStringLiteral("已经使用"));
    actions_.insert(command::UsedInMenu, usedIn_->menuAction());
    usedIn_->menuAction()->setEnabled(false);
    // Shown above the entries when the photo's file holds corrupt data.
    auto* damaged = new QAction(QStringLiteral("照片文件已损坏，裁出的图片可能有灰色区域"), photo);
    damaged->setEnabled(false);
    QAction* first = photo->actions().front();
    photo->insertAction(first, damaged);
    QAction* gap = photo->insertSeparator(first);
    damaged->setVisible(false);
    gap->setVisible(false);
    strip_->photoMenu = photo;
    strip_->preparePhotoMenu = [this, damaged, gap](QMenu*) {
        const PhotoRecord* photo = state_.CurrentPhoto >= 0 ? &state_.Photos[state_.CurrentPhoto] : nullptr;
        const bool marked = photo && (photo->damaged || photo->profileUnusable);
        if (marked)
            damaged->setText(photo->damaged ? QStringLiteral("照片文件已损坏，裁出的图片可能有灰色区域")
                                            : QStringLiteral("照片的颜色配置文件无法使用，按原始数值裁切"));
        damaged->setVisible(marked);
        gap->setVisible(marked);
        fillPhotoMenu(usedIn_);
    };

    auto* canvas = new QMenu(this);
    canvas->addAction(commandAction(command::Undo, QString(), QString()));
    canvas->addAction(commandAction(command::Redo, QString(), QString()));
    canvas->addSeparator();
    QMenu* position = menuOf(kPositionMenu, std::size(kPositionMenu), canvas);
    position->setTitle(QStringLiteral("照片定位"));
    canvas->addMenu(position);
    // The submenu is enabled with its presets, and starts disabled like "已经使用".
    actions_.insert(command::PresetFirst, position->menuAction());
    position->menuAction()->setEnabled(false);
    canvas->addActions(menuOf(kCanvasMenu, std::size(kCanvasMenu), canvas)->actions());
    canvas_->positionMenu = canvas;
}

void MainWindow::fillPhotoMenu(QMenu* usedIn) {
    usedIn->clear();
    const std::vector<UsedInItem> items = ALBUM_UPDATEMENU(state_, ui_);
    for (size_t k = 0; k < items.size(); ++k) {
        const int id = command::UsedInFirst + static_cast<int>(k);
        QAction* action = usedIn->addAction(items[k].text);
        connect(action, &QAction::triggered, this, [this, id] { CMDEVENT(state_, ui_, id); });
    }
}

void MainWindow::buildShortcuts() {
    using namespace command;
    const Accelerator table[] = {
        {Qt::Key_A, AllocateCurrentSpec},
        {Qt::CTRL | Qt::Key_A, AllocateCurrentTemplate},
        {Qt::CTRL | Qt::Key_D, CopyAllocation},
        {Qt::Key_D, CopyCurrentSpec},
        {Qt::Key_F, FindPhoto},
        {Qt::CTRL | Qt::Key_F, FindUnused},
        {Qt::Key_O, OpenPhotoFolder},
        {Qt::CTRL | Qt::Key_O, OpenProject},
        {Qt::CTRL | Qt::Key_S, SaveProject},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_S, SaveProjectAs},
        {Qt::Key_V, ViewPhoto},
        {Qt::Key_Delete, RemovePhoto},
        {Qt::Key_F1, ShortcutKeys},
        {Qt::Key_F2, command::Settings},
        {Qt::Key_F3, FindNextUnused},
        {Qt::Key_F4, TemplateManagement},
        {Qt::Key_F5, ImportAlbum},
        {Qt::Key_F6, ChooseTemplates},
        {Qt::Key_F7, AllocatePhotos},
        {Qt::Key_F8, StartCropping},
        {Qt::Key_F9, OpenOutputFolder},
        {Qt::CTRL | Qt::Key_Z, Undo},
        {Qt::CTRL | Qt::Key_Y, Redo},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, Redo},
    };
    for (const Accelerator& a : table) {
        auto* shortcut = new QShortcut(a.key, this);
        const int id = a.id;
        connect(shortcut, &QShortcut::activated, this, [this, id] { CMDEVENT(state_, ui_, id); });
    }
}

void MainWindow::showTabs(TabStrip strip, const QStringList& texts, int current) {
    QTabBar* tabs = strip == TabStrip::Specs ? specTabs_ : workTabs_;
    const QSignalBlocker quiet(tabs);
    while (tabs->count() > 0)
        tabs->removeTab(0);
    for (const QString& text : texts) {
        const int i = tabs->addTab(text);
        if (strip == TabStrip::Works) tabs->setTabIcon(i, resourceIcon(QStringLiteral("404")));
    }
    tabs->setCurrentIndex(current);
}

void MainWindow::onTab(TabStrip strip, int index) {
    if (index < 0 || state_.WorkTemplates.empty()) return;
    state_.FirstRow = 0;
    if (strip == TabStrip::Specs) {
        state_.CellColumns = 0;
        state_.VisibleRows = 0;
        CLIP_CHANGESPEC(state_, ui_, index, 0);
    } else {
        CLIP_CHANGETEMPLATE(state_, ui_, index, 0, 0);
    }
}

void MainWindow::placeCanvas(const CanvasPlacement& placement) {
    canvas_->setGeometry(placement.canvas);
    canvasScroll_->setVisible(placement.scrollBar);
    if (placement.scrollBar) {
        canvasScroll_->setGeometry(placement.scrollRect);
        // The range runs to the last row (rows - 1) and the thumb, a page long, stops where the last row
        // shows at the bottom; a resize that keeps the grid keeps FirstRow.
        const QSignalBlocker quiet(canvasScroll_);
        canvasScroll_->setRange(0, std::max(0, placement.scrollMaximum - placement.scrollPage + 1));
        canvasScroll_->setPageStep(placement.scrollPage);
        canvasScroll_->setValue(state_.FirstRow);
    }
}

QWidget* MainWindow::stripPanel() const {
    return strip_;
}

QWidget* MainWindow::canvasPanel() const {
    return canvas_;
}

void MainWindow::refreshStrip() {
    const StripPlacement place = ALBUM_UPDATESCROLL(state_);
    strip_->setGeometry(place.panel);
    stripScroll_->setVisible(place.scrollBar);
    if (place.scrollBar) {
        stripScroll_->setGeometry(place.scrollRect);
        const QSignalBlocker quiet(stripScroll_);
        // The thumb stops where the last row shows at the bottom, as the canvas's does.
        stripScroll_->setRange(0, std::max(0, place.scrollMaximum - place.scrollPage + 1));
        stripScroll_->setPageStep(place.scrollPage);
        stripScroll_->setValue(state_.StripScrollPos);
    }
    strip_->update();
}

void MainWindow::carryPhoto(PhotoDragStep step, QPoint press, QPoint global) {
    switch (step) {
    case PhotoDragStep::Start: {
        const QRect at = floatingPanelRect(state_, press);
        const PhotoRecord& photo = state_.Photos[state_.CurrentPhoto];
        // The dark panel with the photo inside its one-pixel border.
        QPixmap picture(at.size());
        picture.fill(QColor::fromRgba(palette::kDarkBackground));
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(1, 1, at.width() - 2, at.height() - 2), photo.thumb);
        painter.end();
        floating_->setPixmap(picture);
        floating_->setGeometry(at);
        floating_->show();
        floating_->raise();
        floatingGrab_ = global - mapToGlobal(at.topLeft());
        break;
    }
    case PhotoDragStep::Move:
        floating_->move(mapFromGlobal(global - floatingGrab_));
        break;
    case PhotoDragStep::Drop: {
        floating_->hide();
        // Dropped on a position of the canvas, the photo goes there; anywhere else nothing happens.
        const QPoint at = canvas_->mapFromGlobal(global);
        if (canvas_->rect().contains(at))
            state_.History.record(state_, dropStepName(), [&] { CLIP_DROP(state_, ui_, at.x(), at.y()); });
        break;
    }
    case PhotoDragStep::Cancel:
        floating_->hide();
        break;
    }
}

void MainWindow::showProgress(bool cancellable) {
    cancel_->setVisible(cancellable);
    progress_->show();
    placeProgress();
}

void MainWindow::hideProgress() {
    progress_->hide();
    cancel_->hide();
}

void MainWindow::placeProgress() {
    QRect bar = progressArea_;
    if (cancel_->isVisible()) {
        // The cancel button takes the right end of the status bar, beside the progress.
        const int width = cancel_->sizeHint().width();
        cancel_->setGeometry(this->width() - width - 2, height() - statusHeight_, width, statusHeight_);
        bar.setRight(cancel_->x() - 4);
        cancel_->raise();
    }
    progress_->setGeometry(bar);
    progress_->raise();
}

void MainWindow::updateCanvasCell(int n) {
    const int i = n - state_.CellColumns * state_.FirstRow;
    if (n < 0 || i < 0 || i >= state_.VisibleCells) return;
    // The cell with its 2-pixel outline around it.
    canvas_->update(QRect(cellCorner(state_, i) - QPoint(2, 2), QSize(kCellSize + 4, kCellSize + 4)));
}

void MainWindow::updateStripPhoto(int p) {
    const int k = p - state_.StripColumns * state_.StripScrollPos;
    if (p < 0 || k < 0 || k >= state_.StripCells) return;
    // The cell, its outline and the use count, which may reach into the gap to the right.
    strip_->update(QRect(stripCellCorner(state_, k) - QPoint(2, 2), QSize(kStripPitch, kStripPitch)));
}

QWidget* MainWindow::splitter() const {
    return splitter_;
}

void MainWindow::showBusy(bool busy) {
    refreshHistory();
    for (QWidget* panel : {stripPanel(), canvasPanel()}) {
        if (busy)
            panel->setCursor(Qt::BusyCursor);
        else
            panel->unsetCursor();
    }
}

void MainWindow::bringToFront() {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}

void MainWindow::placeOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 900, 600);
    resize(900, 600);
    move(centredWindowPosition(area, frameGeometry().size().expandedTo(size())));
}

void MainWindow::applyLayout() {
    const QSize logo = logoSize(state_.ToolbarHeight);
    const WindowLayout layout =
        windowLayout(size(), state_.ToolbarHeight, statusHeight_, state_.StripPaneWidth, logo.width());
    state_.RightPaneWidth = layout.rightPaneWidth;
    state_.CanvasHeight = layout.canvasHeight;
    state_.PaneHeight = layout.paneHeight;
    toolbar_->setGeometry(0, 0, width(), state_.ToolbarHeight);
    statusBar_->setGeometry(0, height() - statusHeight_, width(), statusHeight_);
    for (int i = 0; i < 3; ++i)
        status_[i]->setGeometry(layout.statusParts[i]);
    strip_->setGeometry(layout.strip);
    refreshStrip();
    splitter_->setGeometry(layout.splitter);
    specTabs_->setGeometry(layout.specTabs);
    canvas_->setGeometry(layout.canvas);
    workTabs_->setGeometry(layout.workTabs);
    progressArea_ = layout.progress;
    placeProgress();
    logo_->move(layout.logo);
    logo_->raise();
    if (!state_.WorkTemplates.empty()) CLIP_CHANGESPEC(state_, ui_, state_.CurrentSpec, 0);
}

void MainWindow::resizeEvent(QResizeEvent*) {
    applyLayout();
}

bool MainWindow::event(QEvent* event) {
    // The frame is known once the window system has decorated the window: the limit is the whole window's.
    if (event->type() == QEvent::Show || event->type() == QEvent::Move)
        setMinimumSize(minimumClientSize(frameGeometry().size() - size()));
    return QWidget::event(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // An import or a batch is still running: the window closes when it has finished.
    if (!mayCloseNow(state_, ui_)) {
        event->ignore();
        return;
    }
    if (mayDropWork(state_, ui_)) {
        event->accept();
        return;
    }
    // The user stays with the work.
    state_.CloseRequested = false;
    event->ignore();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        const auto* key = static_cast<QKeyEvent*>(event);
        const int preset = command::keypadPreset(key->key(), key->modifiers());
        if (!widget || widget->window() != this || preset < 0) return false;
        CMDEVENT(state_, ui_, command::PresetFirst + preset);
        return true;
    }
    // The wheel over the tab strips and the canvas scroll bar scrolls the canvas a row, over the strip's
    // scroll bar the strip; left to themselves, tab bars would switch the specification.
    if (event->type() == QEvent::Wheel && (watched == specTabs_ || watched == workTabs_ ||
                                           watched == canvasScroll_ || watched == stripScroll_)) {
        const int step = wheelStep(static_cast<QWheelEvent*>(event));
        if (step == 0 || state_.Photos.empty()) return true;
        if (watched == stripScroll_)
            strip_->scrollBy(step);
        else
            canvas_->scrollBy(step);
        return true;
    }
    if (watched != splitter_) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        // The left button only drags the bar.
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) splitterDragging_ = true;
        return true;
    case QEvent::MouseMove: {
        if (!splitterDragging_) return false;
        const int x = mapFromGlobal(static_cast<QMouseEvent*>(event)->globalPosition().toPoint()).x();
        // Only the bar follows the mouse; the panes follow when the button is released.
        if (x != splitterLastX_ && splitterAllowed(x, width())) {
            state_.StripPaneWidth = x;
            splitterLastX_ = x;
            splitter_->move(x, state_.ToolbarHeight);
        }
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (splitterDragging_ && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            splitterDragging_ = false;
            applyLayout();
        }
        return true;
    default:
        return false;
    }
}

} // namespace zanfold
