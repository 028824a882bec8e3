#include "shell/main_window.h"

#include "album/album_import.h"
#include "core/commands.h"
#include "crop/assignment.h"
#include "crop/canvas.h"
#include "project/unsaved_work.h"
#include "shell/command_dispatch.h"
#include "shell/gui_support.h"
#include "shell/startup.h"
#include "support/jpeg_maker.h"
#include "support/qt_print.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"
#include "support/work_compare.h"
#include "support/work_fixture.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QTabBar>
#include <QToolBar>

#include <gtest/gtest.h>

namespace zanfold {
namespace {

using test::RecordingUi;
using test::TempDir;

class Window : public ::testing::Test {
protected:
    void SetUp() override { test::application(); }
};

TEST_F(Window, StartsWithOnlyTheFirstCommandsEnabled) {
    AppState state;
    RecordingUi ui;
    MainWindow window(state, ui);
    window.resize(1000, 700);
    window.show();
    const std::pair<int, bool> buttons[] = {
        {command::Settings, true},        {command::ImportAlbum, true},    {command::ChooseTemplates, false},
        {command::AllocatePhotos, false}, {command::StartCropping, false}, {command::Exit, true}};
    for (const auto& [id, enabled] : buttons) {
        const QList<QAction*> actions = window.actionsFor(id);
        ASSERT_FALSE(actions.isEmpty()) << id;
        EXPECT_EQ(actions.front()->isEnabled(), enabled) << id;
    }
    QStringList texts;
    for (QAction* a : window.toolbar()->actions())
        if (!a->text().isEmpty()) texts << a->text();
    EXPECT_EQ(texts,
              (QStringList{QStringLiteral("设置"), QStringLiteral("导入相册"), QStringLiteral("选择模板"),
                           QStringLiteral("分配照片"), QStringLiteral("开始裁图"), QStringLiteral("退出")}));
    EXPECT_EQ(window.specTabs()->tabText(0), QStringLiteral("**********"));
    EXPECT_EQ(window.workTabs()->tabText(0), QStringLiteral("<没有选择模板>  "));
    EXPECT_EQ(window.statusPart(1)->width(), 600);
    EXPECT_EQ(window.statusPart(2)->width(), 200);
    EXPECT_EQ(window.canvasPanel()->geometry(),
              QRect(246, state.ToolbarHeight + 23, 754, state.CanvasHeight));
    EXPECT_EQ(state.RightPaneWidth, 754);
}

// Every menu item starts enabled but the two submenus, the empty history, the items that need a selected
// position (单张裁图 of the toolbar's menu too) and the copy that needs an allocation; the keys read as written.
TEST_F(Window, MenusStartEnabledButWhatNeedsASelectionOrAnAllocation) {
    AppState state;
    RecordingUi ui;
    MainWindow window(state, ui);
    QStringList disabled, texts;
    for (QMenu* menu : window.findChildren<QMenu*>()) {
        for (QAction* a : menu->actions()) {
            if (a->isSeparator() || !a->isVisible()) continue;
            texts << a->text();
            if (!a->isEnabled()) disabled << a->text();
        }
    }
    // The note on damaged photos is shown only for one, and never enabled.
    disabled.removeAll(QStringLiteral("照片文件已损坏，裁出的图片可能有灰色区域"));
    disabled.removeDuplicates();
    disabled.sort();
    // Nothing to undo or redo in a new work.
    EXPECT_EQ(disabled, (QStringList{QStringLiteral("删除照片\tDelete"), QStringLiteral("单张裁图"),
                                     QStringLiteral("复制分配当前规格\tD"), QStringLiteral("已经使用"),
                                     QStringLiteral("撤销\tCtrl+Z"), QStringLiteral("查找照片\tF"),
                                     QStringLiteral("照片定位"), QStringLiteral("重做\tCtrl+Y")}));
    for (const char* text : {"删除照片\tDelete", "打开项目\tCtrl+O", "模板管理\tF4", "上左\t7", "单张裁图"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(text))) << text;
}

TEST_F(Window, StatusPartsSitWhereTheBarIsDivided) {
    AppState state;
    RecordingUi ui;
    MainWindow window(state, ui);
    window.resize(900, 600);
    window.show();
    const int left[] = {0, 500, 700};
    for (int part = 1; part <= 3; ++part) {
        const QRect r(window.statusPart(part)->mapTo(&window, QPoint(0, 0)), window.statusPart(part)->size());
        EXPECT_EQ(r.left(), left[part - 1]) << part;
        EXPECT_EQ(r.bottom(), 599) << part;
    }
    EXPECT_EQ(window.statusPart(3)->mapTo(&window, QPoint(0, 0)).x() + window.statusPart(3)->width(), 900);
}

// Only the left button drags the splitter; the panes follow when it is released.
TEST_F(Window, SplitterFollowsTheLeftButtonOnly) {
    AppState state;
    RecordingUi ui;
    MainWindow window(state, ui);
    window.resize(1000, 700);
    window.show();
    QWidget* bar = window.splitter();
    auto send = [&](QEvent::Type type, int x, Qt::MouseButton button) {
        const QPoint local(2, 50);
        const QPoint global = window.mapToGlobal(QPoint(x, 100));
        QMouseEvent e(type, QPointF(local), QPointF(global), button,
                      type == QEvent::MouseMove ? Qt::MouseButtons(button) : Qt::MouseButtons(button),
                      Qt::NoModifier);
        QApplication::sendEvent(bar, &e);
    };
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        send(QEvent::MouseButtonPress, 242, button);
        send(QEvent::MouseMove, 300, button);
        send(QEvent::MouseButtonRelease, 300, button);
        EXPECT_EQ(state.StripPaneWidth, 240) << button;
        EXPECT_EQ(bar->x(), 240);
    }
    send(QEvent::MouseButtonPress, 242, Qt::LeftButton);
    send(QEvent::MouseMove, 100, Qt::LeftButton); // too narrow a strip: the bar stays
    EXPECT_EQ(bar->x(), 240);
    send(QEvent::MouseMove, 300, Qt::LeftButton);
    EXPECT_EQ(bar->x(), 300);
    EXPECT_EQ(window.canvasPanel()->x(), 246); // the panes wait for the release
    send(QEvent::MouseButtonRelease, 300, Qt::LeftButton);
    EXPECT_EQ(state.StripPaneWidth, 300);
    EXPECT_EQ(window.canvasPanel()->x(), 306);
}

TEST_F(Window, NeverSmallerThan820By400) {
    AppState state;
    RecordingUi ui;
    MainWindow window(state, ui);
    window.show();
    window.resize(500, 300);
    // The whole window, frame included.
    EXPECT_EQ(window.frameGeometry().size(), QSize(820, 400));
}

TEST_F(Window, StatusTextsAndTabsGoThroughTheWindow) {
    AppState state;
    QtUi ui(state);
    MainWindow window(state, ui);
    ui.attach(&window);
    const QString texts[] = {QStringLiteral(" 5:          a.jpg  ( 4000 × 3000 )"),
                             QStringLiteral(" 照片数量： 120 (横 80 竖 35 方 5)"),
                             QStringLiteral(" 需要裁图： 0 (横 0 竖 0 方 0)")};
    for (int part = 1; part <= 3; ++part)
        ui.setStatus(part, texts[part - 1]);
    for (int part = 1; part <= 3; ++part)
        EXPECT_EQ(window.statusPart(part)->text(), texts[part - 1]) << part;
    ui.setStatus(4, QStringLiteral("nowhere")); // no such part: nothing changes
    EXPECT_EQ(window.statusPart(3)->text(), texts[2]);
    ui.setTabs(TabStrip::Works, {QStringLiteral("A  "), QStringLiteral("B  ")}, 1);
    EXPECT_EQ(window.workTabs()->count(), 2);
    EXPECT_EQ(window.workTabs()->tabText(1), QStringLiteral("B  "));
    EXPECT_EQ(window.workTabs()->currentIndex(), 1);
    ui.setTabs(TabStrip::Specs, {QStringLiteral(" 1920×1080 (12)  ")}, 0);
    EXPECT_EQ(window.specTabs()->tabText(0), QStringLiteral(" 1920×1080 (12)  "));
}

// A window over a real album and work: the strip and the canvas paint what the work holds.
TEST_F(Window, StripAndCanvasShowTheWork) {
    TempDir dir;
    for (int i = 0; i < 3; ++i)
        dir.write(QStringLiteral("a/%1.jpg").arg(i),
                  test::makeJpeg(test::solidImage(400, 300, qRgb(200, 30, 30))));
    AppState state;
    RecordingUi ui;
    MainWindow window(state, ui);
    window.resize(1000, 700);
    window.show();
    ASSERT_EQ(ALBUM_OPEN(state, ui, dir.file(QStringLiteral("a")), false), 1);
    test::addToWork(state, ui,
                    test::addLibraryTemplate(state, QStringLiteral("T"), {{'A', 3, 1920, 1080, 2}}));
    assignPhoto(state, 0, 0, 0, 0, 1920, 1080);
    window.refreshStrip();
    EXPECT_EQ(state.StripColumns, 2);
    const QImage strip = window.stripPanel()->grab().toImage();
    EXPECT_EQ(strip.pixelColor(60, 60).red(), 200); // the first thumbnail
    EXPECT_EQ(strip.pixelColor(5, 5), QColor(160, 160, 160));
    const QImage canvas = window.canvasPanel()->grab().toImage();
    const QPoint filled = frameCorner(state, 0) + QPoint(100, 56),
                 empty = frameCorner(state, 1) + QPoint(100, 56);
    EXPECT_EQ(canvas.pixelColor(filled).red(), 200);
    EXPECT_EQ(canvas.pixelColor(empty), QColor(Qt::white));
}

TEST(Startup, BrokenLibraryIsReportedAndStartUpGoesOn) {
    TempDir dir;
    dir.write(QStringLiteral("zfTemplate.xml"), "<Templates><broken>");
    dir.write(QStringLiteral("Zanfold.ini"), "[General]\nZoomSpeed=20\n");
    const QString before = QDir::currentPath();
    AppState state;
    RecordingUi ui;
    startUp(state, ui, dir.path());
    QDir::setCurrent(before);
    EXPECT_EQ(state.AppTitle, QStringLiteral("Zanfold2015"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.lastMessage().text.startsWith(QStringLiteral("打开模板出错：")));
    EXPECT_TRUE(state.Templates.empty());
    EXPECT_EQ(state.settings.ZoomSpeed, 20); // the settings were still read
    EXPECT_EQ(state.SettingsPath, dir.file(QStringLiteral("Zanfold.ini")));
}

TEST(Commands, BusyDropsCommandsAndExitQuits) {
    AppState state;
    RecordingUi ui;
    state.CommandBusy = true;
    CMDEVENT(state, ui, command::ShortcutKeys);
    EXPECT_TRUE(ui.messages.empty());
    state.CommandBusy = false;
    CMDEVENT(state, ui, command::ShortcutKeys);
    ASSERT_EQ(ui.messages.size(), 1u);
    const QStringList lines = ui.lastMessage().text.split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.size(), 25);
    EXPECT_EQ(lines[0], QStringLiteral("快捷键："));
    EXPECT_EQ(lines[5], QStringLiteral("F3 ------------------------ 查找未使用照片"));
    EXPECT_EQ(lines[24], QStringLiteral("Num0~Num9 ----------------- 定位分配照片"));
    EXPECT_FALSE(state.CommandBusy);
    CMDEVENT(state, ui, command::Exit);
    EXPECT_EQ(ui.quitCalls, 1);
}

// Commands that change the work become steps of its history, named after them; the rest leave none.
TEST(Commands, WorkCommandsAreStepsThatUndoTakesBack) {
    AppState state;
    RecordingUi ui;
    test::setCanvasArea(state);
    test::setAlbum(state, {{4000, 3000}, {4000, 3000}, {3000, 4000}});
    test::addLibraryTemplate(state, QStringLiteral("T"), {{'A', 3, 1920, 1080, 3}});
    test::addToWork(state, ui, 0);
    const WorkSnapshot start = takeSnapshot(state);
    CMDEVENT(state, ui, command::AllocateCurrentSpec);
    const WorkSnapshot allocated = takeSnapshot(state);
    for (int id : {command::FindUnused, command::FindPhoto, command::ShortcutKeys, command::OpenPhotoFolder})
        CMDEVENT(state, ui, id);
    EXPECT_EQ(state.History.steps(), 1);
    EXPECT_TRUE(state.History.changed());
    CMDEVENT(state, ui, command::Undo);
    EXPECT_EQ(test::workDifference(start, takeSnapshot(state)), QString());
    EXPECT_FALSE(state.History.changed());
    CMDEVENT(state, ui, command::Redo);
    EXPECT_EQ(test::workDifference(allocated, takeSnapshot(state)), QString());
    // Undo and redo are refused while other work runs, like every command.
    state.CommandBusy = true;
    CMDEVENT(state, ui, command::Undo);
    state.CommandBusy = false;
    EXPECT_EQ(test::workDifference(allocated, takeSnapshot(state)), QString());
}

// 导入相册 asks about unsaved work before the folder dialog; Cancel keeps everything.
TEST(Commands, ImportOnAChangedWorkAsksBeforeChoosingTheFolder) {
    AppState state;
    RecordingUi ui;
    test::setCanvasArea(state);
    test::setAlbum(state, {{4000, 3000}});
    test::addLibraryTemplate(state, QStringLiteral("T"), {{'A', 3, 1920, 1080, 3}});
    state.History.record(state, QStringLiteral("add"), [&] { test::addToWork(state, ui, 0); });
    ui.answers = {Answer::Cancel};
    CMDEVENT(state, ui, command::ImportAlbum);
    EXPECT_EQ(ui.lastMessage().text, unsavedWorkQuestion());
    EXPECT_TRUE(ui.folderDialogs.empty());
    ui.answers = {Answer::No};
    CMDEVENT(state, ui, command::ImportAlbum); // the folder dialog, cancelled
    EXPECT_EQ(ui.folderDialogs.size(), 1u);
    EXPECT_EQ(state.WorkTemplates.size(), 1u);
}

TEST(Commands, TemplateCommandsOpenTheTemplateWindowInTheirModes) {
    AppState state;
    RecordingUi ui;
    std::vector<int> modes;
    ui.onTemplateWindow = [&] {
        EXPECT_TRUE(state.CommandBusy);
        modes.push_back(state.TemplateSelectMode);
    };
    state.TemplateSelectMode = 1;
    CMDEVENT(state, ui, command::TemplateManagement);
    CMDEVENT(state, ui, command::ChooseTemplates); // no album: nothing opens
    test::setAlbum(state, {{1600, 1200}});
    CMDEVENT(state, ui, command::ChooseTemplates);
    EXPECT_EQ(modes, (std::vector<int>{0, 1}));
    EXPECT_EQ(state.TemplateSelectMode, 0);
}

TEST(Startup, StandardButtonsSpeakChinese) {
    QApplication& app = test::application();
    ASSERT_TRUE(installChineseTranslations(app));
    QMessageBox box(QMessageBox::Question, QStringLiteral("Zanfold2015"), QStringLiteral("?"),
                    QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Ok)->text().remove(QLatin1Char('&')), QStringLiteral("确定"));
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text().remove(QLatin1Char('&')), QStringLiteral("取消"));
}

TEST(SingleInstance, SecondStartEndsAtOnce) {
    TempDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.file(QStringLiteral("config")));
    QProcess first;
    first.setProcessEnvironment(env);
    first.start(QStringLiteral(ZANFOLD_APP), {});
    ASSERT_TRUE(first.waitForStarted());
    EXPECT_FALSE(first.waitForFinished(1500)); // the first one keeps running
    QProcess second;
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(ZANFOLD_APP), {});
    EXPECT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 0);
    first.kill();
    first.waitForFinished();
}

} // namespace
} // namespace zanfold
