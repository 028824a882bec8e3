#include "album/strip.h"
#include "core/commands.h"
#include "core/palette.h"
#include "crop/assignment.h"
#include "crop/canvas.h"
#include "crop/crop_geometry.h"
#include "crop/work_templates.h"
#include "imaging/picture.h"
#include "shell/command_dispatch.h"
#include "shell/gui_support.h"
#include "shell/settings_dialog.h"
#include "support/jpeg_maker.h"
#include "support/qt_print.h"
#include "support/temp_dir.h"
#include "support/work_fixture.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QUrl>

#include <gtest/gtest.h>

namespace zanfold {
namespace {

using test::DuringWork;
using test::ModalAnswerer;
using test::TempDir;

using test::dropFolder;
using test::pressButton;
using test::turnWheel;

class Safety : public test::LiveWindowTest {
protected:
    void SetUp() override {
        LiveWindowTest::SetUp();
        state->JobCount = 1; // long enough work to act during it
        state->settings.OpenFolder = 0;
    }
    QString album(const QString& name, int photos, QSize size = {1600, 1200}) {
        for (int i = 0; i < photos; ++i)
            dir.write(QStringLiteral("%1/%2.jpg").arg(name).arg(i, 3, 10, QLatin1Char('0')),
                      test::makeJpeg(test::solidImage(size.width(), size.height(), qRgb(200, 40, 40))));
        return dir.file(name);
    }
    // Imports through a drop on the strip, as a user would.
    void importByDrop(const QString& folder) {
        dropFolder(live->window.stripPanel(), folder);
        ASSERT_EQ(state->AlbumPath, folder);
    }
    void addTemplate(const QString& name, const std::vector<SpecRecord>& specs) {
        state->CurrentTemplate = test::addLibraryTemplate(*state, name, specs);
        CLIP_ADDTEMPLATE(*state, live->ui);
    }
    QStringList fileNames() const {
        QStringList names;
        for (const PhotoRecord& p : state->Photos)
            names << p.fileName;
        return names;
    }
};

// A folder dropped during an import used to start a second import inside the first, whose workers went on
// writing into the replaced catalogue.
TEST_F(Safety, DuringAnImportTheWindowTakesNoInput) {
    const QString first = album(QStringLiteral("first"), 24);
    const QString second = album(QStringLiteral("second"), 3);
    MainWindow& window = live->window;
    QWidget* strip = window.stripPanel();
    bool refused = false, clickIgnored = false, busyPointer = false;
    DuringWork during(window, [&] {
        ASSERT_TRUE(state->CommandBusy);
        busyPointer = strip->cursor().shape() == Qt::BusyCursor &&
                      window.canvasPanel()->cursor().shape() == Qt::BusyCursor;
        refused = !dropFolder(strip, second).enterAccepted;
        // The album being read is not shown before it is whole.
        EXPECT_TRUE(state->Photos.empty());
        QTest::mouseClick(strip, Qt::LeftButton, {}, stripCellCorner(*state, 0) + QPoint(50, 50));
        QTest::mouseClick(strip, Qt::RightButton, {}, stripCellCorner(*state, 0) + QPoint(50, 50));
        clickIgnored = state->CurrentPhoto == -1;
        window.resize(1100, 760); // laid out again from the count alone
    });
    importByDrop(first);
    ASSERT_TRUE(during.ran());
    EXPECT_TRUE(refused);
    EXPECT_TRUE(clickIgnored);
    EXPECT_TRUE(busyPointer);
    EXPECT_FALSE(state->CommandBusy);
    EXPECT_EQ(strip->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(window.canvasPanel()->cursor().shape(), Qt::ArrowCursor);
    // The first album, whole, and nothing of the second.
    EXPECT_EQ(state->AlbumPath, first);
    ASSERT_EQ(state->Photos.size(), 24u);
    for (const QString& name : fileNames())
        EXPECT_TRUE(QFile::exists(first + QLatin1Char('/') + name)) << name.toStdString();
    // Afterwards the window takes input again.
    QTest::mouseClick(strip, Qt::LeftButton, {}, stripCellCorner(*state, 1) + QPoint(50, 50));
    EXPECT_EQ(state->CurrentPhoto, 1);
}

TEST_F(Safety, DuringABatchDropsAndCommandsAreRefused) {
    importByDrop(album(QStringLiteral("trip"), 2));
    const QString other = album(QStringLiteral("other"), 2);
    addTemplate(QStringLiteral("T"), {{'A', 3, 1920, 1080, 30}});
    for (int n = 0; n < 30; ++n)
        assignPhoto(*state, n % 2, 0, 0, n, 1920, 1080);
    // A step to undo, which must wait too.
    CLIP_SELECT(*state, live->ui, 0, 0, 0);
    CMDEVENT(*state, live->ui, command::PresetFirst + 7);
    QAction* undo = live->window.actionsFor(command::Undo).value(0);
    ASSERT_TRUE(undo->isEnabled());
    bool refused = false, undoOffered = true;
    DuringWork during(live->window, [&] {
        refused = !dropFolder(live->window.stripPanel(), other).enterAccepted;
        QTest::keyClick(&live->window, Qt::Key_Delete); // would release the selected position
        undoOffered = undo->isEnabled();
        QTest::keyClick(&live->window, Qt::Key_Z, Qt::ControlModifier);
    });
    QStringList asked;
    ModalAnswerer answers([&](QWidget* modal) {
        asked << qobject_cast<QMessageBox*>(modal)->text();
        pressButton(modal, QMessageBox::Ok);
    });
    CMDEVENT(*state, live->ui, command::StartCropping);
    ASSERT_TRUE(during.ran());
    EXPECT_TRUE(refused);
    EXPECT_FALSE(undoOffered);
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(state->Slots[0].cropY, 0); // the preset stayed
    EXPECT_EQ(asked.value(0), QStringLiteral("确信要开始裁图吗？"));
    EXPECT_TRUE(asked.value(1).startsWith(QStringLiteral("裁图完成！")));
    EXPECT_EQ(state->AlbumPath, dir.file(QStringLiteral("trip")));
    EXPECT_EQ(state->Slots[0].photo, 0);
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("trip/trip/T/A030.jpg"))));
}

// Esc stops an import through the real key event: no album is left and the status says so.
TEST_F(Safety, EscStopsAnImport) {
    const QString trip = album(QStringLiteral("trip"), 24);
    bool offered = false;
    DuringWork during(live->window, [&] {
        offered = live->window.cancelButton()->isVisible();
        QTest::keyClick(&live->window, Qt::Key_Escape);
    });
    dropFolder(live->window.stripPanel(), trip);
    ASSERT_TRUE(during.ran());
    EXPECT_TRUE(offered);
    EXPECT_TRUE(state->Photos.empty());
    EXPECT_TRUE(state->AlbumPath.isEmpty());
    EXPECT_EQ(live->window.statusPart(1)->text(), QStringLiteral("导入相册已取消"));
    EXPECT_FALSE(live->window.cancelButton()->isVisible());
    EXPECT_FALSE(state->CommandBusy);
}

// The 取消 button beside the progress stops a batch: the files written are whole, and the rest are named.
TEST_F(Safety, TheCancelButtonStopsABatch) {
    importByDrop(album(QStringLiteral("trip"), 2));
    addTemplate(QStringLiteral("T"), {{'A', 3, 1920, 1080, 30}});
    for (int n = 0; n < 30; ++n)
        assignPhoto(*state, n % 2, 0, 0, n, 1920, 1080);
    DuringWork during(live->window, [&] {
        QPushButton* cancel = live->window.cancelButton();
        ASSERT_TRUE(cancel->isVisible());
        QTest::mouseClick(cancel, Qt::LeftButton);
    });
    QStringList asked;
    ModalAnswerer answers([&](QWidget* modal) {
        asked << qobject_cast<QMessageBox*>(modal)->text();
        pressButton(modal, QMessageBox::Ok);
    });
    CMDEVENT(*state, live->ui, command::StartCropping);
    ASSERT_TRUE(during.ran());
    const QStringList files = QDir(dir.file(QStringLiteral("trip/trip/T"))).entryList(QDir::Files);
    EXPECT_LT(files.size(), 30);
    for (const QString& f : files)
        EXPECT_EQ(probe(dir.file(QStringLiteral("trip/trip/T/") + f)).size, QSize(1920, 1080))
            << f.toStdString();
    ASSERT_EQ(asked.size(), 2);
    EXPECT_TRUE(asked[1].startsWith(QStringLiteral("裁图已取消：已写入 %1 个文件").arg(files.size())));
    EXPECT_EQ(state->Slots[0].photo, 0); // the work is untouched
}

// Return used to confirm and remove a template with all its assignments.
TEST_F(Safety, ReturnOnTheRemovalQuestionsKeepsTheTemplates) {
    importByDrop(album(QStringLiteral("trip"), 1, {400, 300}));
    addTemplate(QStringLiteral("T1"), {{'A', 3, 1920, 1080, 2}});
    addTemplate(QStringLiteral("T2"), {{'B', 3, 1920, 1080, 2}});
    assignPhoto(*state, 0, 0, 0, 0, 1920, 1080);
    QStringList asked;
    QList<QMessageBox::StandardButton> defaults;
    ModalAnswerer answers([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        asked << box->text();
        defaults << box->standardButton(box->defaultButton());
        QTest::keyClick(box, Qt::Key_Return);
    });
    CMDEVENT(*state, live->ui, command::RemoveCurrentTemplate);
    CMDEVENT(*state, live->ui, command::RemoveAllTemplates);
    EXPECT_EQ(asked, (QStringList{QStringLiteral("确信要删除当前模板吗？"),
                                  QStringLiteral("确信要删除所有模板吗？")}));
    EXPECT_EQ(defaults, (QList<QMessageBox::StandardButton>{QMessageBox::Cancel, QMessageBox::Cancel}));
    EXPECT_EQ(state->WorkTemplates.size(), 2u);
    EXPECT_EQ(state->Slots[0].photo, 0);
}

// A folder dropped on a changed work: after the replace question comes the unsaved-work one, and Cancel
// there keeps the album and the work.
TEST_F(Safety, ADroppedFolderAsksAboutUnsavedWork) {
    const QString trip = album(QStringLiteral("trip"), 1, {400, 300});
    importByDrop(trip);
    state->History.record(*state, QStringLiteral("add"), [&] {
        addTemplate(QStringLiteral("T"), {{'A', 3, 1920, 1080, 2}});
    });
    ASSERT_TRUE(live->window.isWindowModified());
    QStringList asked;
    ModalAnswerer answers([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_TRUE(box);
        asked << box->text();
        if (asked.size() == 1)
            box->button(QMessageBox::Ok)->click();
        else
            QTest::keyClick(box, Qt::Key_Escape);
    });
    dropFolder(live->window.stripPanel(), album(QStringLiteral("other"), 1, {400, 300}));
    EXPECT_EQ(asked, (QStringList{QStringLiteral("确信要替换当前工作吗？"),
                                  QStringLiteral("工作尚未保存，是否保存？")}));
    EXPECT_EQ(state->AlbumPath, trip);
    EXPECT_EQ(state->WorkTemplates.size(), 1u);
}

// Return on the summary before a batch that would enlarge photos does not start it.
TEST_F(Safety, ReturnOnThePreflightSummaryWritesNothing) {
    importByDrop(album(QStringLiteral("trip"), 1, {400, 300}));
    addTemplate(QStringLiteral("T"), {{'A', 3, 1920, 1080, 2}});
    for (int n = 0; n < 2; ++n)
        assignPhoto(*state, 0, 0, 0, n, 1920, 1080);
    QStringList asked;
    QList<QMessageBox::StandardButton> defaults;
    ModalAnswerer answers([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_TRUE(box);
        asked << box->text();
        defaults << box->standardButton(box->defaultButton());
        if (asked.size() == 1)
            box->button(QMessageBox::Ok)->click();
        else
            QTest::keyClick(box, Qt::Key_Return);
    });
    CMDEVENT(*state, live->ui, command::StartCropping);
    ASSERT_EQ(asked.size(), 2);
    EXPECT_TRUE(asked[1].startsWith(QStringLiteral("有 2 个位置的照片将被放大超过 1.25 倍")));
    EXPECT_TRUE(asked[1].endsWith(QStringLiteral("继续裁图？")));
    EXPECT_EQ(defaults[1], QMessageBox::No);
    EXPECT_TRUE(QDir(dir.file(QStringLiteral("trip/trip/T"))).entryList(QDir::Files).isEmpty());
    EXPECT_FALSE(state->CommandBusy);
}

// The dialog used to learn of the extension only after it had returned, so "NAME" replaced NAME.zpj unasked.
TEST_F(Safety, SavingOverAnExistingProjectAsksFirst) {
    importByDrop(album(QStringLiteral("trip"), 1, {400, 300}));
    addTemplate(QStringLiteral("T"), {{'A', 3, 1920, 1080, 1}});
    const QString existing = dir.write(QStringLiteral("trip/mine.zpj"), "old work");
    auto answerWith = [&](QMessageBox::StandardButton overwrite, QStringList& asked) {
        return [&asked, overwrite](QWidget* modal) {
            if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
                auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                ASSERT_TRUE(name);
                // Typed without the extension (set whole: typing would open the completer's list).
                name->setText(QStringLiteral("mine"));
                QTest::keyClick(name, Qt::Key_Return);
                return;
            }
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_TRUE(box);
            asked << box->text();
            if (overwrite == QMessageBox::No) {
                QTest::keyClick(box, Qt::Key_Return); // the default keeps the file
                auto* dialog = qobject_cast<QFileDialog*>(box->parentWidget());
                QTimer::singleShot(0, dialog, [dialog] { dialog->reject(); });
            } else {
                pressButton(box, overwrite);
            }
        };
    };
    QStringList asked;
    {
        ModalAnswerer answers(answerWith(QMessageBox::No, asked));
        CMDEVENT(*state, live->ui, command::SaveProject);
    }
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].contains(QStringLiteral("mine.zpj")));
    EXPECT_EQ(TempDir::read(existing), QByteArray("old work"));
    asked.clear();
    {
        ModalAnswerer answers(answerWith(QMessageBox::Yes, asked));
        CMDEVENT(*state, live->ui, command::SaveProject);
    }
    EXPECT_EQ(asked.size(), 1);
    EXPECT_EQ(TempDir::read(existing).left(4), QByteArray::fromHex("f0de6a15"));
    EXPECT_EQ(state->ProjectPath, existing);
}

// One work, one photo in the first of many positions, selected and armed for editing.
class Editing : public Safety {
protected:
    void SetUp() override {
        Safety::SetUp();
        importByDrop(album(QStringLiteral("trip"), 1, {4000, 3000}));
        addTemplate(QStringLiteral("T"), {{'A', 3, 1080, 1920, 40}, {'B', 3, 1920, 1080, 2}});
        assignPhoto(*state, 0, 0, 0, 0, 1080, 1920);
        QTest::mouseClick(canvas(), Qt::LeftButton, {}, frameCentre());
        ASSERT_TRUE(state->DragArmed);
    }
    QWidget* canvas() const { return live->window.canvasPanel(); }
    QPoint frameCentre() const {
        return frameCorner(*state, 0) + QPoint(state->FrameWidth / 2, state->FrameHeight / 2);
    }
    QRect crop() const {
        const SlotRecord& s = state->Slots[0];
        return {s.cropX, s.cropY, s.cropWidth, s.cropHeight};
    }
};

// A horizontal wheel or a tilt used to be read as a vertical turn and zoomed the crop.
TEST_F(Editing, OnlyTheVerticalWheelZooms) {
    const int full = crop().height();
    turnWheel(canvas(), frameCentre(), {0, 120}); // away from the user: the photo larger
    const QRect zoomed = crop();
    EXPECT_LT(zoomed.height(), full);
    turnWheel(canvas(), frameCentre(), {120, 0});
    turnWheel(canvas(), frameCentre(), {-120, 0});
    turnWheel(canvas(), frameCentre(), {-120, 30}); // a tilt, mostly sideways
    EXPECT_EQ(crop(), zoomed);
}

// Over a tab strip the wheel used to switch the specification (and lose the selection).
TEST_F(Editing, TheWheelOverTabsAndScrollBarScrollsTheCanvasOneRow) {
    QScrollBar* bar = live->window.canvasScrollBar();
    ASSERT_TRUE(bar->isVisible());
    QTabBar* tabs = live->window.specTabs();
    turnWheel(tabs, QPoint(20, 10), {0, -120});
    EXPECT_EQ(state->FirstRow, 1);
    EXPECT_EQ(state->CurrentSpec, 0);
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(state->CurrentSlot, 0);
    turnWheel(live->window.workTabs(), QPoint(20, 10), {0, -120});
    EXPECT_EQ(state->FirstRow, 2);
    turnWheel(bar, QPoint(5, 50), {0, -120});
    EXPECT_EQ(state->FirstRow, 3);
    EXPECT_EQ(bar->value(), 3);
    turnWheel(bar, QPoint(5, 50), {0, 120});
    EXPECT_EQ(state->FirstRow, 2);
    turnWheel(tabs, QPoint(20, 10), {120, 0}); // horizontal: nothing
    EXPECT_EQ(state->FirstRow, 2);
}

// Keypad keys with and without NumLock place the crop; the digits above the letters do nothing.
TEST_F(Editing, KeypadKeysApplyPresetsAndDigitKeysDoNot) {
    const int spare = 200 - crop().width(); // a portrait crop in a landscape thumbnail
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int x;
    } cases[] = {
        {Qt::Key_7, Qt::KeypadModifier, 0},
        {Qt::Key_3, Qt::KeypadModifier, spare},
        {Qt::Key_Home, Qt::KeypadModifier, 0},          // 7 with NumLock off
        {Qt::Key_Right, Qt::KeypadModifier, spare},     // 6
        {Qt::Key_Clear, Qt::KeypadModifier, spare / 2}, // 5
        {Qt::Key_9, Qt::NoModifier, spare / 2},         // a digit key: unchanged
        {Qt::Key_1, Qt::NoModifier, spare / 2},
    };
    for (const auto& c : cases) {
        QTest::keyClick(&live->window, c.key, c.modifiers);
        EXPECT_EQ(state->Slots[0].cropX, c.x) << c.key;
    }
    // The tab bar, holding the focus, still leaves the keypad to the presets.
    live->window.specTabs()->setFocus();
    QTest::keyClick(live->window.specTabs(), Qt::Key_Left, Qt::KeypadModifier);
    EXPECT_EQ(state->Slots[0].cropX, 0);
    EXPECT_EQ(state->CurrentSpec, 0);
}

// Ctrl+Z takes a crop drag back, on screen too, and Ctrl+Y (or Ctrl+Shift+Z) does it again.
TEST_F(Editing, CtrlZAfterADragRestoresTheCropOnScreen) {
    live->window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&live->window));
    // A thumbnail with a horizontal gradient, so that a moved crop looks different.
    QImage& thumb = state->Photos[0].thumb;
    for (int x = 0; x < thumb.width(); ++x)
        for (int y = 0; y < thumb.height(); ++y)
            thumb.setPixel(x, y, qRgb(x, 255 - x, 40));
    const QRect cell(cellCorner(*state, 0), QSize(kCellSize, kCellSize));
    auto shown = [&] { return canvas()->grab(cell).toImage(); };
    const QRect start = crop();
    const QImage before = shown();
    EXPECT_FALSE(live->window.isWindowModified());
    QTest::mousePress(canvas(), Qt::LeftButton, {}, frameCentre());
    for (int dx : {-4, -9, -15})
        QTest::mouseMove(canvas(), frameCentre() + QPoint(dx, 0));
    QTest::mouseRelease(canvas(), Qt::LeftButton, {}, frameCentre() + QPoint(-15, 0));
    const QRect dragged = crop();
    ASSERT_EQ(dragged, start.translated(15, 0));
    const QImage moved = shown();
    ASSERT_NE(moved, before);
    QAction* undo = live->window.actionsFor(command::Undo).value(0);
    QAction* redo = live->window.actionsFor(command::Redo).value(0);
    EXPECT_EQ(undo->text(), QStringLiteral("撤销 移动照片\tCtrl+Z"));
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    EXPECT_TRUE(live->window.isWindowModified());

    QTest::keyClick(&live->window, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(crop(), start);
    EXPECT_EQ(shown(), before);
    EXPECT_EQ(state->CurrentSlot, 0);
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(redo->text(), QStringLiteral("重做 移动照片\tCtrl+Y"));
    EXPECT_FALSE(live->window.isWindowModified());
    QTest::keyClick(&live->window, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(crop(), dragged);
    EXPECT_EQ(shown(), moved);
    QTest::keyClick(&live->window, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&live->window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(crop(), dragged);
}

// 退出 on a changed work asks first; Cancel, and Return (its default), keep the window and the work.
TEST_F(Editing, ExitOnAChangedWorkAsksAndOnlyNoCloses) {
    // No quitting the test's application when its only window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    turnWheel(canvas(), frameCentre(), {0, 120});
    ASSERT_TRUE(live->window.isWindowModified());
    QWidget* exit = live->window.toolbar()->widgetForAction(live->window.actionsFor(command::Exit).value(0));
    ASSERT_TRUE(exit);
    QStringList asked;
    QList<QMessageBox::StandardButton> defaults;
    auto answer = [&](std::function<void(QMessageBox*)> press) {
        ModalAnswerer answers([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_TRUE(box);
            asked << box->text();
            defaults << box->standardButton(box->defaultButton());
            press(box);
        });
        QTest::mouseClick(exit, Qt::LeftButton);
        return answers.answered();
    };
    EXPECT_EQ(answer([](QMessageBox* box) { box->button(QMessageBox::Cancel)->click(); }), 1);
    EXPECT_TRUE(live->window.isVisible());
    EXPECT_FALSE(state->CloseRequested);
    EXPECT_EQ(answer([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); }), 1);
    EXPECT_TRUE(live->window.isVisible());
    EXPECT_EQ(answer([](QMessageBox* box) { box->button(QMessageBox::No)->click(); }), 1);
    EXPECT_FALSE(live->window.isVisible());
    EXPECT_EQ(asked, QStringList(3, QStringLiteral("工作尚未保存，是否保存？")));
    EXPECT_EQ(defaults, QList<QMessageBox::StandardButton>(3, QMessageBox::Cancel));
    EXPECT_EQ(state->Slots[0].photo, 0);
    QApplication::setQuitOnLastWindowClosed(true);
}

// 对准人脸 from the canvas's menu, with real clicks: on a photo without faces it looks for them (in the
// file), says none was found and leaves the crop; with a face it moves the crop onto it, its size kept.
TEST_F(Editing, FacePositionFromTheCanvasMenu) {
    auto pick = [&] {
        QTest::mouseClick(canvas(), Qt::RightButton, {}, frameCentre());
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_TRUE(menu);
        QAction* position = nullptr;
        for (QAction* a : menu->actions())
            if (a->text() == QStringLiteral("照片定位")) position = a;
        ASSERT_TRUE(position && position->isEnabled());
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(position).center());
        QMenu* presets = position->menu();
        ASSERT_TRUE(QTest::qWaitFor([&] { return presets->isVisible(); }));
        QAction* face = presets->actions().back();
        ASSERT_EQ(face->text(), QStringLiteral("对准人脸"));
        QTest::mouseClick(presets, Qt::LeftButton, {}, presets->actionGeometry(face).center());
    };
    const QRect start = crop();
    QStringList said;
    {
        ModalAnswerer answers([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_TRUE(box);
            said << box->text();
            box->button(QMessageBox::Ok)->click();
        });
        pick();
        EXPECT_EQ(answers.answered(), 1);
    }
    EXPECT_EQ(said, QStringList{QStringLiteral("这张照片中没有找到人脸")});
    EXPECT_TRUE(state->Photos[0].facesDetected);
    EXPECT_EQ(crop(), start);

    // A face near the right edge of the 4000 x 3000 photo.
    state->Photos[0].faces = {{QRectF(3500, 1200, 300, 300), 1.0f}};
    pick();
    EXPECT_EQ(crop().size(), start.size());
    EXPECT_GT(crop().x(), start.x());
    const QRect source = sourceRect(state->Photos[0], state->Slots[0]);
    EXPECT_TRUE(source.contains(QRect(3500, 1200, 300, 300)));
    EXPECT_TRUE(live->window.isWindowModified());
}

// Faces are looked for when 自动对准人脸 is turned on in the settings (F2) with an album loaded, and before
// an allocation (F7) when the setting was turned on without the dialog.
TEST_F(Editing, FacesAreFoundWhenTheSettingIsTurnedOnAndBeforeAnAllocation) {
    state->SettingsPath = dir.file(QStringLiteral("Zanfold.ini"));
    ASSERT_FALSE(state->Photos[0].facesDetected);
    {
        ModalAnswerer answers([&](QWidget* modal) {
            auto* dialog = qobject_cast<SettingsDialog*>(modal);
            ASSERT_TRUE(dialog) << modal->metaObject()->className() << " "
                                << modal->property("text").toString().toStdString();
            QTabBar* bar = dialog->tabs()->tabBar();
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
            QWidget* faces = dialog->control(4233);
            ASSERT_TRUE(faces && faces->isVisible());
            QTest::mouseClick(faces, Qt::LeftButton, {}, QPoint(8, faces->height() / 2));
            QTest::mouseClick(dialog->control(4026), Qt::LeftButton);
        });
        QTest::keyClick(&live->window, Qt::Key_F2);
        EXPECT_EQ(answers.answered(), 1);
    }
    EXPECT_EQ(state->settings.FaceCrop, 1);
    EXPECT_TRUE(state->Photos[0].facesDetected);
    EXPECT_FALSE(live->window.isWindowModified());

    state->Photos[0].facesDetected = false;
    QStringList asked;
    ModalAnswerer answers([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_TRUE(box);
        asked << box->text();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    live->window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&live->window));
    QTest::keyClick(&live->window, Qt::Key_F7);
    EXPECT_TRUE(state->Photos[0].facesDetected) << asked.join(QLatin1Char('|')).toStdString();
}

} // namespace
} // namespace zanfold
