#include "allocation/allocation.h"
#include "core/commands.h"
#include "crop/canvas.h"
#include "crop/face_crop.h"
#include "crop/slots.h"
#include "crop/work_templates.h"
#include "project/project_file.h"
#include "shell/command_dispatch.h"
#include "shell/gui_support.h"
#include "shell/single_instance.h"
#include "shell/startup.h"
#include "shell/template_dialog.h"
#include "support/jpeg_maker.h"
#include "support/qt_print.h"
#include "support/temp_dir.h"
#include "support/work_fixture.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace zanfold {
namespace {

using test::ModalAnswerer;

// The dialogs a user meets in order, each answered by one step.
using Step = std::function<void(QWidget*)>;

Step press(QMessageBox::StandardButton which) {
    return [which](QWidget* modal) { test::pressButton(modal, which); };
}

// Types a path into a file or folder dialog and accepts it; an empty path cancels it.
Step choose(const QString& path) {
    return [path](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_TRUE(dialog) << modal->metaObject()->className();
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_TRUE(name);
        name->setText(path);
        QTest::keyClick(name, Qt::Key_Return);
    };
}

QStringList utf8List(std::initializer_list<const char*> utf8) {
    QStringList out;
    for (const char* t : utf8)
        out << QString::fromUtf8(t);
    return out;
}

// The entries of a menu as shown: texts, "-" for separators, a submenu's title followed by " >".
QStringList entries(const QMenu* menu) {
    QStringList out;
    for (const QAction* a : menu->actions()) {
        if (!a->isVisible()) continue;
        out << (a->isSeparator() ? QStringLiteral("-")
                : a->menu()      ? a->text() + QStringLiteral(" >")
                                 : a->text());
    }
    return out;
}

class DailyUse : public test::LiveWindowTest {
protected:
    std::vector<QString> texts; // of the message boxes met

    void SetUp() override {
        LiveWindowTest::SetUp();
        state->TemplateFile = dir.file(QStringLiteral("zfTemplate.xml"));
        state->settings.OpenFolder = 0;
        state->settings.FinishAsk = 0;
        state->JobCount = 1;
    }
    MainWindow& window() { return live->window; }
    QWidget* canvas() { return window().canvasPanel(); }
    QWidget* strip() { return window().stripPanel(); }

    QString album(const QString& name, int landscape, int portrait = 0) {
        for (int i = 0; i < landscape + portrait; ++i)
            dir.write(QStringLiteral("%1/%2.jpg").arg(name).arg(i, 3, 10, QLatin1Char('0')),
                      test::makeJpeg(i < landscape ? test::gradientImage(1600, 1200)
                                                   : test::gradientImage(1200, 1600)));
        return dir.file(name);
    }
    void importByDrop(const QString& folder, std::vector<Step> dialogs = {}) {
        answering(std::move(dialogs), [&] { test::dropFolder(strip(), folder); });
        ASSERT_EQ(state->AlbumPath, folder);
    }
    // Puts library template t into the work as F6 and the template window do.
    void take(int t) {
        answering({[t](QWidget* modal) {
                      auto* d = qobject_cast<TemplateDialog*>(modal);
                      ASSERT_TRUE(d);
                      QTreeWidgetItem* item = d->tree()->topLevelItem(0)->child(t);
                      d->tree()->setCurrentItem(item);
                      QTest::mouseClick(d->button(3028), Qt::LeftButton);
                  }},
                  [&] { key(Qt::Key_F6); });
    }
    // Runs `act`; the dialogs it opens are answered by `dialogs` in order, and every message box's text is
    // kept. A dialog beyond the steps fails the test and is cancelled.
    void answering(std::vector<Step> dialogs, const std::function<void()>& act) {
        size_t next = 0;
        ModalAnswerer answerer([&](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal)) texts.push_back(box->text());
            if (next < dialogs.size()) return dialogs[next++](modal);
            ADD_FAILURE() << "unexpected dialog " << modal->metaObject()->className();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                box->reject();
                return;
            }
            static_cast<QDialog*>(modal)->reject();
        });
        act();
        EXPECT_EQ(next, dialogs.size()) << "dialogs not met";
    }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = {}) {
        window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
        QTest::keyClick(&window(), k, modifiers);
    }
    QPoint frameCentre(int i = 0) {
        return frameCorner(*state, i) + QPoint(state->FrameWidth / 2, state->FrameHeight / 2);
    }
    void drag(QPoint from, QPoint to) {
        QTest::mousePress(canvas(), Qt::LeftButton, {}, from);
        QTest::mouseMove(canvas(), to);
        QTest::mouseRelease(canvas(), Qt::LeftButton, {}, to);
    }
    QRect crop(int g) const {
        const SlotRecord& s = state->Slots[g];
        return {s.cropX, s.cropY, s.cropWidth, s.cropHeight};
    }
    bool enabled(int id) { return window().actionsFor(id).front()->isEnabled(); }
    // Picks the entry `text` of the popup menu that is open.
    void pick(const QString& text) {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_TRUE(menu);
        for (QAction* a : menu->actions()) {
            if (a->text() != text) continue;
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
            return;
        }
        FAIL() << "no entry " << text.toStdString();
    }
    // An album of 4 landscape and 2 portrait photos with template "T" (A 3 x 1920 x 1080, B 2 x 1080 x
    // 1920) in the work, allocated by F7.
    void allocatedWork() {
        importByDrop(album(QStringLiteral("trip"), 4, 2));
        test::addLibraryTemplate(*state, QStringLiteral("T"),
                                 {{'A', 3, 1920, 1080, 3}, {'B', 3, 1080, 1920, 2}});
        take(0);
        key(Qt::Key_F7);
        ASSERT_EQ(state->Slots[0].photo, 0);
    }
};

// 单张裁图 used to be enabled before any position was chosen and then cropped position 0.
TEST_F(DailyUse, SingleCropWaitsForAChosenPosition) {
    allocatedWork();
    EXPECT_EQ(state->CurrentSlot, -1);
    for (int id : {command::CropOne, command::CanvasCropOne, command::FindPhoto, command::RemovePhoto})
        EXPECT_FALSE(enabled(id)) << id;
    EXPECT_TRUE(enabled(command::CopyCurrentSpec)); // after an allocation
    QTest::mouseClick(canvas(), Qt::LeftButton, {}, frameCentre(1));
    for (int id : {command::CropOne, command::CanvasCropOne, command::FindPhoto, command::RemovePhoto})
        EXPECT_TRUE(enabled(id)) << id;
    // From the canvas menu: only the chosen position is written.
    QTest::mouseClick(canvas(), Qt::RightButton, {}, frameCentre(1));
    pick(QStringLiteral("单张裁图"));
    const QDir out(dir.file(QStringLiteral("trip/trip/T")));
    EXPECT_EQ(out.entryList(QDir::Files), QStringList{QStringLiteral("A002.jpg")});
    // An empty position greys them again.
    key(Qt::Key_Delete);
    EXPECT_FALSE(enabled(command::CropOne));
}

// F7 replaced hand-made crops without a word.
TEST_F(DailyUse, AllocatingOverAHandMovedCropAsksAndCancelKeepsIt) {
    allocatedWork();
    key(Qt::Key_F7); // nothing set by hand: no question
    EXPECT_TRUE(texts.empty());
    QTest::mouseClick(canvas(), Qt::LeftButton, {}, frameCentre(0));
    drag(frameCentre(0), frameCentre(0) + QPoint(0, 15));
    const QRect moved = crop(0);
    ASSERT_NE(moved, crop(1));
    for (const Qt::KeyboardModifiers modifiers :
         {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::ControlModifier)})
        answering({[&](QWidget* modal) {
                      auto* box = qobject_cast<QMessageBox*>(modal);
                      ASSERT_TRUE(box);
                      EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()),
                                box->button(QMessageBox::Cancel));
                      box->button(QMessageBox::Cancel)->click();
                  }},
                  [&] { key(modifiers ? Qt::Key_A : Qt::Key_F7, modifiers); });
    EXPECT_EQ(texts, (std::vector<QString>(2, QStringLiteral("将替换 1 个手工调整过的位置，是否继续？"))));
    EXPECT_EQ(crop(0), moved);
    answering({press(QMessageBox::Ok)}, [&] { key(Qt::Key_F7); });
    EXPECT_NE(crop(0), moved);
    EXPECT_FALSE(state->Slots[0].handSet);
}

TEST_F(DailyUse, ATurnedPhotoKeepsItsPositions) {
    allocatedWork();
    const QImage before = state->Photos[0].thumb.copy(crop(0));
    QTest::mouseClick(strip(), Qt::RightButton, {}, QPoint(60, 60));
    ASSERT_EQ(state->CurrentPhoto, 0);
    pick(QStringLiteral("旋转180度"));
    EXPECT_EQ(state->Slots[0].photo, 0);
    EXPECT_EQ(state->Photos[0].thumb.copy(crop(0)), before.mirrored(true, true)); // the same part of it
    // A quarter turn: the position keeps its photo, with the initial crop of the new shape.
    QTest::mouseClick(strip(), Qt::RightButton, {}, QPoint(60, 60));
    pick(QStringLiteral("向左旋转"));
    const int turned = state->CurrentPhoto;
    ASSERT_GE(turned, 0);
    EXPECT_EQ(state->Photos[turned].fileName, QStringLiteral("000.jpg"));
    EXPECT_EQ(state->Slots[0].photo, turned);
    const CropRect initial = initialCrop(state->settings, 1920, 1080, state->Photos[turned]);
    EXPECT_EQ(crop(0), QRect(initial.x, initial.y, initial.width, initial.height));
    EXPECT_EQ(window().statusPart(1)->text(),
              QStringLiteral("照片已旋转：1 个使用它的位置已重新裁切为默认位置"));
    // One step each.
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(state->Photos[0].fileName, QStringLiteral("000.jpg"));
    EXPECT_EQ(state->Photos[0].thumb.copy(crop(0)), before.mirrored(true, true));
}

TEST_F(DailyUse, EscDuringASecondImportLeavesTheFirstAlbumAndWork) {
    allocatedWork();
    const std::vector<SlotRecord> slots = state->Slots;
    const int steps = state->History.steps();
    const QString second = album(QStringLiteral("second"), 30);
    test::DuringWork during(window(), [&] { QTest::keyClick(&window(), Qt::Key_Escape); });
    // 替换当前工作? OK; 工作尚未保存 — 否.
    answering({press(QMessageBox::Ok), press(QMessageBox::No)}, [&] { test::dropFolder(strip(), second); });
    ASSERT_TRUE(during.ran());
    EXPECT_EQ(state->AlbumPath, dir.file(QStringLiteral("trip")));
    EXPECT_EQ(state->Photos.size(), 6u);
    ASSERT_EQ(state->Slots.size(), slots.size());
    for (size_t g = 0; g < slots.size(); ++g)
        EXPECT_EQ(state->Slots[g].photo, slots[g].photo);
    EXPECT_EQ(state->History.steps(), steps);
    EXPECT_TRUE(window().isWindowModified());
    EXPECT_EQ(window().workTabs()->tabText(0), QStringLiteral("T  "));
}

TEST_F(DailyUse, CtrlSWritesTheOpenedProjectAndSaveAsAsks) {
    allocatedWork();
    const QString file = dir.file(QStringLiteral("work.zpj"));
    ASSERT_EQ(saveProjectTo(*state, live->ui, file), 1);
    // Opened again through Ctrl+O.
    answering({press(QMessageBox::Ok), choose(file)}, [&] { key(Qt::Key_O, Qt::ControlModifier); });
    ASSERT_EQ(state->ProjectPath, file);
    EXPECT_TRUE(window().windowTitle().contains(QStringLiteral("work.zpj")));
    QTest::mouseClick(canvas(), Qt::LeftButton, {}, frameCentre(0));
    drag(frameCentre(0), frameCentre(0) + QPoint(0, 12));
    EXPECT_TRUE(window().isWindowModified());
    const QByteArray before = test::TempDir::read(file);
    answering({}, [&] { key(Qt::Key_S, Qt::ControlModifier); }); // no dialog
    EXPECT_NE(test::TempDir::read(file), before);
    EXPECT_FALSE(window().isWindowModified());
    // 另存为 asks for the file; cancelled, nothing is written.
    const QByteArray saved = test::TempDir::read(file);
    answering({choose(QString())}, [&] { key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier); });
    EXPECT_EQ(test::TempDir::read(file), saved);
    const QString copy = dir.file(QStringLiteral("copy.zpj"));
    answering({choose(copy)}, [&] { key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier); });
    EXPECT_TRUE(QFile::exists(copy));
    EXPECT_EQ(state->ProjectPath, copy);
}

TEST_F(DailyUse, AProjectWhoseAlbumMovedOpensFromItsNewFolder) {
    allocatedWork();
    const QString file = dir.file(QStringLiteral("work.zpj"));
    ASSERT_EQ(saveProjectTo(*state, live->ui, file), 1);
    const QByteArray saved = test::TempDir::read(file);
    ASSERT_TRUE(QDir().rename(dir.file(QStringLiteral("trip")), dir.file(QStringLiteral("moved"))));
    // 替换当前工作? OK; the album is gone: choose its new place? OK; the folder.
    answering({press(QMessageBox::Ok), choose(file), press(QMessageBox::Ok),
               choose(dir.file(QStringLiteral("moved")))},
              [&] { key(Qt::Key_O, Qt::ControlModifier); });
    ASSERT_GE(texts.size(), 2u);
    EXPECT_TRUE(texts[1].contains(QDir::toNativeSeparators(dir.file(QStringLiteral("trip")))));
    EXPECT_EQ(state->AlbumPath, dir.file(QStringLiteral("moved")));
    EXPECT_EQ(state->Slots[0].photo, 0);
    EXPECT_TRUE(window().isWindowModified());
    EXPECT_EQ(test::TempDir::read(file), saved);
}

TEST_F(DailyUse, TheWheelZoomsTheSelectedPositionAfterUndoRedoTabsAndOpening) {
    allocatedWork();
    auto zooms = [&] {
        const int g = currentSlotIndex(*state);
        if (g < 0) return false;
        const QRect before = crop(g);
        test::turnWheel(canvas(), frameCentre(state->CurrentSlot - state->CellColumns * state->FirstRow),
                        {0, 120});
        return crop(g) != before;
    };
    QTest::mouseClick(canvas(), Qt::LeftButton, {}, frameCentre(0));
    drag(frameCentre(0), frameCentre(0) + QPoint(0, 12));
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(zooms()) << "after undo";
    key(Qt::Key_Z, Qt::ControlModifier);
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(zooms()) << "after redo";
    QTabBar* tabs = window().specTabs();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    EXPECT_EQ(state->CurrentSlot, 0); // shown selected
    EXPECT_TRUE(zooms()) << "after a tab";
    const QString file = dir.file(QStringLiteral("work.zpj"));
    ASSERT_EQ(saveProjectTo(*state, live->ui, file), 1);
    answering({press(QMessageBox::Ok), choose(file)}, [&] { key(Qt::Key_O, Qt::ControlModifier); });
    EXPECT_TRUE(zooms()) << "after opening";
    CLIP_SELECT(*state, live->ui, 0, 1, 1);
    EXPECT_TRUE(zooms()) << "after a selection from the photo menu";
}

TEST_F(DailyUse, UndoOfTheFirstTemplateShowsTheEmptyWorkTabs) {
    importByDrop(album(QStringLiteral("trip"), 2));
    test::addLibraryTemplate(*state, QStringLiteral("T"), {{'A', 3, 1920, 1080, 3}});
    take(0);
    ASSERT_EQ(window().workTabs()->tabText(0), QStringLiteral("T  "));
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(state->WorkTemplates.empty());
    ASSERT_EQ(window().workTabs()->count(), 1);
    EXPECT_EQ(window().workTabs()->tabText(0), emptyWorkTab());
    ASSERT_EQ(window().specTabs()->count(), 1);
    EXPECT_EQ(window().specTabs()->tabText(0), emptySpecTab());
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(window().workTabs()->tabText(0), QStringLiteral("T  "));
}

// Scrolled down, then made so large that the bar hides: the rows above used to stay out of reach.
TEST_F(DailyUse, AResizeThatHidesTheBarShowsTheFirstRow) {
    importByDrop(album(QStringLiteral("trip"), 1));
    test::addLibraryTemplate(*state, QStringLiteral("T"), {{'A', 3, 1920, 1080, 8}});
    take(0);
    // 3 columns of 3 rows; at 620 pixels two rows are whole, at 630 all three, with the same grid.
    window().resize(900, 700);
    const int chrome = window().height() - state->CanvasHeight;
    window().resize(900, chrome + 620);
    ASSERT_EQ(state->CanvasHeight, 620);
    ASSERT_EQ(state->CellColumns, 3);
    QScrollBar* bar = window().canvasScrollBar();
    ASSERT_TRUE(bar->isVisible());
    QTest::keyClick(bar, Qt::Key_Down);
    ASSERT_EQ(state->FirstRow, 1);
    window().resize(900, chrome + 630);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(state->CellColumns, 3);
    EXPECT_EQ(state->FirstRow, 0);
}

// A later start comes to the first window; one given a project file hands it over, and the first window
// opens it as 打开项目 would.
TEST_F(DailyUse, ASecondStartBringsTheFirstWindowUpWithItsProject) {
    allocatedWork();
    const QString saved = dir.file(QStringLiteral("saved.zpj"));
    ASSERT_EQ(saveProjectTo(*state, live->ui, saved), 1);
    const int photo = state->Slots[0].photo;
    state->Slots[0].photo = -1;
    // The folder the second start computes, from the environment it inherits.
    const auto put = [](const char* name, const QByteArray& value) {
        const QByteArray before = qgetenv(name);
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
        return before;
    };
    const QByteArray user = put("USER", "zanfold-test");
    const QByteArray runtime = put("XDG_RUNTIME_DIR", dir.path().toUtf8());
    const QProcessEnvironment env0 = QProcessEnvironment::systemEnvironment();
    SingleInstance first(instanceFolder());
    put("USER", user);
    put("XDG_RUNTIME_DIR", runtime);
    QProcessEnvironment env = env0;
    ASSERT_TRUE(first.claim());
    QString handed;
    first.onWake = [&](const QString& file) {
        handed = file;
        window().bringToFront();
        openGivenFile(*state, live->ui, file);
    };
    window().showMinimized();
    ASSERT_TRUE(window().isMinimized());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.file(QStringLiteral("config")));
    QProcess second;
    second.setProcessEnvironment(env);
    second.setWorkingDirectory(dir.path());
    second.start(QStringLiteral(ZANFOLD_APP), {QStringLiteral("saved.zpj")});
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitCode(), 0);
    // The work there is replaced only after the question 打开项目 asks.
    answering({press(QMessageBox::Ok)},
              [&] { QTRY_COMPARE_WITH_TIMEOUT(state->Slots[0].photo, photo, 5000); });
    EXPECT_FALSE(window().isMinimized());
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(QFileInfo(handed), QFileInfo(saved));
}

// Every key of the accelerator table, pressed on the window, does its command.
TEST_F(DailyUse, EveryAcceleratorDoesItsCommand) {
    allocatedWork();
    state->settings.FinishAsk = 0;
    auto keys = [&](Qt::Key k, Qt::KeyboardModifiers m, std::vector<Step> dialogs = {}) {
        answering(std::move(dialogs), [&] { key(k, m); });
    };
    const Qt::KeyboardModifiers none, ctrl(Qt::ControlModifier);

    keys(Qt::Key_F7, none);
    QTest::mouseClick(canvas(), Qt::LeftButton, {}, frameCentre(1));
    keys(Qt::Key_Delete, none);
    EXPECT_EQ(state->Slots[1].photo, -1);
    keys(Qt::Key_D, none); // the empty position gets a copy
    EXPECT_EQ(state->Slots[1].photo, state->Slots[0].photo);
    keys(Qt::Key_Delete, none);
    keys(Qt::Key_D, ctrl);
    EXPECT_EQ(state->Slots[1].photo, state->Slots[0].photo);
    auto filled = [&] {
        return std::all_of(state->Slots.begin(), state->Slots.end(),
                           [](const SlotRecord& s) { return s.photo >= 0; });
    };
    keys(Qt::Key_Delete, none);
    keys(Qt::Key_A, none); // the least used photos into the shown specification
    EXPECT_TRUE(filled());
    ALLOT_CLEAR_ALL(*state, live->ui, false);
    keys(Qt::Key_A, ctrl); // the current template
    EXPECT_TRUE(filled());
    QTest::mouseClick(canvas(), Qt::LeftButton, {}, frameCentre(2));
    keys(Qt::Key_F, none);
    EXPECT_EQ(state->CurrentPhoto, state->Slots[2].photo);
    auto unused = [&](int from) {
        for (int i = from; i < static_cast<int>(state->Photos.size()); ++i)
            if (state->Photos[i].useCount == 0) return i;
        return -1;
    };
    keys(Qt::Key_Delete, none);
    keys(Qt::Key_F, ctrl);
    EXPECT_EQ(state->CurrentPhoto, unused(0));
    const int next = unused(state->CurrentPhoto + 1);
    keys(Qt::Key_F3, none, next < 0 ? std::vector<Step>{press(QMessageBox::Ok)} : std::vector<Step>{});
    if (next >= 0) EXPECT_EQ(state->CurrentPhoto, next);
    keys(Qt::Key_D, none);
    // The desktop here opens nothing: the user is told, with the path.
    keys(Qt::Key_V, none, {press(QMessageBox::Ok)});
    EXPECT_TRUE(texts.back().contains(QDir::toNativeSeparators(dir.file(QStringLiteral("trip/")))));
    keys(Qt::Key_O, none, {press(QMessageBox::Ok)});
    EXPECT_TRUE(texts.back().endsWith(QDir::toNativeSeparators(dir.file(QStringLiteral("trip")))));
    keys(Qt::Key_F1, none, {press(QMessageBox::Ok)});
    EXPECT_EQ(texts.back(), keyHelpText());
    keys(Qt::Key_F8, none, {press(QMessageBox::Ok)});
    EXPECT_EQ(QDir(dir.file(QStringLiteral("trip/trip/T"))).entryList(QDir::Files).size(), 5);
    state->settings.OutFolder = dir.file(QStringLiteral("trip/trip"));
    keys(Qt::Key_F9, none, {press(QMessageBox::Ok)});
    EXPECT_TRUE(texts.back().contains(QStringLiteral("没有可以打开它的程序")));
    const QString file = dir.file(QStringLiteral("keys.zpj"));
    keys(Qt::Key_S, ctrl, {choose(file)});
    EXPECT_TRUE(QFile::exists(file));
    keys(Qt::Key_O, ctrl, {press(QMessageBox::Ok), choose(QString())});
    keys(Qt::Key_F5, none, {choose(QString())});
    EXPECT_EQ(state->AlbumPath, dir.file(QStringLiteral("trip")));
}

// The menus list their entries in this order, separators where they are; what we added is in its place.
TEST_F(DailyUse, EveryMenuHoldsItsEntriesInOrder) {
    const auto menuOf = [&](int buttonId) {
        auto* button = qobject_cast<QToolButton*>(
            window().toolbar()->widgetForAction(window().actionsFor(buttonId).front()));
        return button ? button->menu() : nullptr;
    };
    // The popup menus, found by an entry of theirs.
    const auto menuWith = [&](const QString& text) -> QMenu* {
        for (QMenu* menu : window().findChildren<QMenu*>())
            if (entries(menu).contains(text) && menu->parent() == &window()) return menu;
        return nullptr;
    };
    const std::pair<QMenu*, QStringList> menus[] = {
        {menuOf(command::Settings), utf8List({"模板管理\tF4", "打开裁图文件夹\tF9", "-", "快捷键\tF1"})},
        {menuOf(command::ImportAlbum), utf8List({"打开项目\tCtrl+O", "保存项目\tCtrl+S",
                                                 "另存为\tCtrl+Shift+S", "-", "打开照片文件夹\tO"})},
        {menuOf(command::ChooseTemplates), utf8List({"删除当前裁图模板", "删除所有裁图模板"})},
        {menuOf(command::AllocatePhotos),
         utf8List({"分配剩余照片", "复制分配照片\tCtrl+D", "清除所有模板的分配", "-", "分配当前模板\tCtrl+A",
                   "分配剩余照片给当前模板", "清除当前模板的分配"})},
        {menuOf(command::StartCropping), utf8List({"单张裁图"})},
        {menuWith(QStringLiteral("查看照片\tV")),
         utf8List({"查看照片\tV", "-", "向左旋转", "向右旋转", "旋转180度", "-", "查找未使用照片\tCtrl+F",
                   "查找下一个\tF3", "-", "更新照片", "删除照片", "使用照片", "已经使用 >"})},
        {menuWith(QStringLiteral("查找照片\tF")),
         utf8List({"撤销\tCtrl+Z", "重做\tCtrl+Y", "-", "照片定位 >", "查找照片\tF", "删除照片\tDelete", "-",
                   "分配当前规格\tA", "复制分配当前规格\tD", "-", "单张裁图"})},
    };
    for (const auto& [menu, expected] : menus) {
        ASSERT_TRUE(menu) << expected.front().toStdString();
        EXPECT_EQ(entries(menu), expected);
    }
    QMenu* position = nullptr;
    for (QAction* a : menuWith(QStringLiteral("查找照片\tF"))->actions())
        if (a->menu()) position = a->menu();
    ASSERT_TRUE(position);
    EXPECT_EQ(entries(position),
              utf8List({"上左\t7", "上中\t8", "上右\t9", "-", "中左\t4", "居中\t5", "中右\t6", "-", "下左\t1",
                        "下中\t2", "下右\t3", "-", "默认\t0", "-", "对准人脸"}));
}

} // namespace
} // namespace zanfold
