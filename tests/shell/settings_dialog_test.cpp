#include "shell/settings_dialog.h"

#include "shell/gui_support.h"
#include "support/qt_print.h"
#include "support/temp_dir.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace zanfold {
namespace {

using test::TempDir;

class SettingsGui : public test::LiveWindowTest {
protected:
    void SetUp() override {
        LiveWindowTest::SetUp();
        state->SettingsPath = dir.file(QStringLiteral("Zanfold.ini"));
    }
    // Presses F2 and lets `inside` work the dialog; `others` answers what it opens.
    void withDialog(const std::function<void(SettingsDialog*)>& inside,
                    const std::function<void(QWidget*)>& others = {}) {
        EXPECT_TRUE(test::pressForDialog<SettingsDialog>(*live, Qt::Key_F2, inside, others));
    }
    static void page(SettingsDialog* d, int index) {
        QTabBar* bar = d->tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
        ASSERT_EQ(d->tabs()->currentIndex(), index);
    }
    static void click(SettingsDialog* d, int id) {
        QWidget* w = d->control(id);
        ASSERT_TRUE(w) << id;
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(8, w->height() / 2));
    }
    static void keys(SettingsDialog* d, int id, Qt::Key key, int times) {
        QWidget* w = d->control(id);
        w->setFocus();
        for (int i = 0; i < times; ++i)
            QTest::keyClick(w, key);
    }
};

TEST_F(SettingsGui, EveryControlByClicksAndKeysThenOkWritesTheFile) {
    const QString out = dir.file(QStringLiteral("crops"));
    QDir().mkpath(out);
    withDialog(
        [&](SettingsDialog* d) {
            EXPECT_EQ(d->windowTitle(), QStringLiteral("设置"));
            EXPECT_EQ(d->size(), QSize(512, 420));
            EXPECT_EQ(d->tabs()->tabText(0), QStringLiteral("输出"));
            EXPECT_TRUE(d->control(4128)->property("checked").toBool());
            click(d, 4128);
            EXPECT_FALSE(d->control(4126)->isEnabled());
            EXPECT_FALSE(d->control(4127)->isEnabled());
            click(d, 4125);
            EXPECT_TRUE(d->control(4126)->isEnabled());
            click(d, 4127); // browse: answered below
            EXPECT_EQ(static_cast<QLineEdit*>(d->control(4126))->text(), out);
            click(d, 4129);
            keys(d, 4133, Qt::Key_Up, 5);

            page(d, 1);
            EXPECT_EQ(static_cast<QLineEdit*>(d->control(4229))->text(), QStringLiteral(" 10"));
            keys(d, 4226, Qt::Key_Up, 5); // to the top row: the photo at y 0 over the frame
            EXPECT_EQ(d->form().topRow, 0);
            keys(d, 4230, Qt::Key_Right, 1);
            EXPECT_EQ(static_cast<QLineEdit*>(d->control(4229))->text(), QStringLiteral(" 3"));
            click(d, 4228);
            EXPECT_EQ(static_cast<QSlider*>(d->control(4226))->value(), 5);
            keys(d, 4226, Qt::Key_Down, 4);
            click(d, 4231);
            click(d, 4233);
            QTest::mouseClick(d->control(4232), Qt::LeftButton); // colour: answered below
            EXPECT_EQ(d->form().swatchColor, 0x0000FF);

            page(d, 2);
            for (int id : {4326, 4332, 4325, 4327, 4328, 4333, 4329, 4330, 4331, 4334})
                click(d, id);
            QTest::mouseClick(d->control(4026), Qt::LeftButton);
        },
        [&](QWidget* modal) {
            if (auto* folders = qobject_cast<QFileDialog*>(modal)) {
                EXPECT_EQ(folders->windowTitle(), QStringLiteral("选择裁图输出文件夹"));
                auto* name = folders->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                ASSERT_TRUE(name);
                name->setText(out);
                QTest::keyClick(name, Qt::Key_Return);
            } else if (auto* colours = qobject_cast<QColorDialog*>(modal)) {
                EXPECT_EQ(colours->currentColor(), QColor(Qt::white));
                colours->setCurrentColor(QColor(255, 0, 0));
                colours->accept();
            } else {
                FAIL() << modal->metaObject()->className();
            }
        });
    EXPECT_EQ(
        QString::fromUtf8(TempDir::read(state->SettingsPath)),
        QStringLiteral("[General]\r\nOutFolder=") + out +
            QStringLiteral("\r\nUseOutFolder=1\r\nOutFolderType=1\r\nZoomSpeed=15\r\nLockType=0\r\n"
                           "SurplusPhoto=1\r\nLoopPhoto=1\r\nFirstPhoto=0\r\nOpenFolder=0\r\nClipTop=50\r\n"
                           "ClipLeft=5\r\nBackColor=255\r\nCheckMove=0\r\nFinishAsk=0\r\nUseMask=0\r\n"
                           "SafeImport=1\r\nJpegQuality=95\r\nAutoOrient=0\r\nThumbCacheMB=200\r\n"
                           "ColorManage=0\r\nFaceCrop=1\r\n"));
    EXPECT_EQ(state->settings.ZoomSpeed, 15);
}

TEST_F(SettingsGui, CancelAndTheCloseBoxChangeNothing) {
    const QByteArray before = "[General]\r\nZoomSpeed=20\r\n; mine\r\n";
    dir.write(QStringLiteral("Zanfold.ini"), before);
    state->settings.ZoomSpeed = 20;
    for (bool closeBox : {false, true}) {
        withDialog([&](SettingsDialog* d) {
            page(d, 1);
            keys(d, 4230, Qt::Key_Right, 2);
            page(d, 2);
            click(d, 4326);
            if (closeBox)
                d->close();
            else
                QTest::mouseClick(d->control(4027), Qt::LeftButton);
        });
        EXPECT_EQ(TempDir::read(state->SettingsPath), before);
        EXPECT_EQ(state->settings.ZoomSpeed, 20);
        EXPECT_EQ(state->settings.LockType, 1);
    }
}

TEST_F(SettingsGui, AnEmptyFixedFolderIsRefusedAndTheDialogStays) {
    bool stillOpen = false;
    withDialog(
        [&](SettingsDialog* d) {
            click(d, 4125);
            QTest::mouseClick(d->control(4026), Qt::LeftButton);
            stillOpen = d->isVisible();
            QTest::mouseClick(d->control(4027), Qt::LeftButton);
        },
        [](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_TRUE(box);
            EXPECT_EQ(box->text(), QStringLiteral("裁图输出文件夹不能为空！"));
            box->button(QMessageBox::Ok)->click();
        });
    EXPECT_TRUE(stillOpen);
    EXPECT_FALSE(QFile::exists(state->SettingsPath));
    EXPECT_EQ(state->settings.UseOutFolder, 0);
}

} // namespace
} // namespace zanfold
