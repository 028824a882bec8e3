#include "settings/settings_form.h"

#include "settings/settings_store.h"
#include "support/qt_print.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

#include <QFile>

#include <gtest/gtest.h>

namespace zanfold {
namespace {

using namespace settings_control;
using test::RecordingUi;
using test::TempDir;

TEST(SettingsForm, OpensOnTheStoredValues) {
    Settings s;
    SettingsForm form = settingsForm(s);
    EXPECT_FALSE(form.fixedFolder);
    EXPECT_TRUE(form.folderEnabled); // whatever option is selected
    EXPECT_EQ(namingPicture(form), 102);
    // ClipTop 25: the photo at y 25, centred behind the 70-pixel-high landscape frame.
    EXPECT_EQ(form.positionTrack, 5);
    EXPECT_EQ(clipPreview(form).photo, QPoint(25, 25));
    EXPECT_EQ(clipPreview(form).frame, QRect(25, 50, 120, 70));
    // ZoomSpeed 10: position 2, the box shows the speed itself.
    EXPECT_EQ(form.zoomTrack, 2);
    EXPECT_EQ(form.zoomText, QStringLiteral(" 10"));
    EXPECT_EQ(form.swatchColor, 0xFFFFFF);

    // The bar opens on the row of the side it edits, not on ClipLeft's, so its first step moves from what
    // it shows.
    s.ClipTop = 0;
    s.ClipLeft = 25;
    s.OutFolderType = 1;
    s.UseOutFolder = 1;
    s.JpegQuality = 20; // a hand-edited value below what the box offers
    form = settingsForm(s);
    EXPECT_EQ(form.positionTrack, 10);
    EXPECT_EQ(clipPreview(form).photo, QPoint(25, 50));
    EXPECT_EQ(namingPicture(form), 101);
    EXPECT_TRUE(form.fixedFolder);
    EXPECT_EQ(form.jpegQuality, 50);
    s.ClipTop = 27; // not a multiple of 5: the nearest row
    EXPECT_EQ(settingsForm(s).topRow, 5);
}

TEST(SettingsForm, OptionsSwitchWhatTheyGovern) {
    SettingsForm form = settingsForm(Settings{});
    OPTPROC(form, AlbumSubfolder);
    EXPECT_FALSE(form.folderEnabled);
    EXPECT_FALSE(form.fixedFolder);
    OPTPROC(form, FixedFolder);
    EXPECT_TRUE(form.folderEnabled);
    OPTPROC(form, AlbumAndTemplate);
    EXPECT_EQ(namingPicture(form), 101);
    OPTPROC(form, AlbumOnly);
    EXPECT_EQ(namingPicture(form), 102);

    // The position bar edits one side at a time and remembers the other's row.
    TRACKPROC(form, 2);
    EXPECT_EQ(clipPreview(form).photo, QPoint(25, 10));
    OPTPROC(form, Portrait);
    EXPECT_EQ(form.positionTrack, 5);
    EXPECT_EQ(clipPreview(form).photo, QPoint(25, 25));
    EXPECT_EQ(clipPreview(form).frame, QRect(50, 25, 70, 120));
    TRACKPROC(form, 8);
    EXPECT_EQ(clipPreview(form).photo, QPoint(40, 25));
    OPTPROC(form, Landscape);
    EXPECT_EQ(form.positionTrack, 2);
    EXPECT_EQ(form.topRow, 2);
    EXPECT_EQ(form.leftRow, 8);
}

class SavingSettings : public ::testing::Test {
protected:
    TempDir dir;
    AppState state;
    RecordingUi ui;
    void SetUp() override { state.SettingsPath = dir.file(QStringLiteral("Zanfold.ini")); }
};

TEST_F(SavingSettings, OkTakesEveryControlAndWritesTheFile) {
    SettingsForm form = settingsForm(state.settings);
    OPTPROC(form, FixedFolder);
    ui.folders = {QString(), QStringLiteral("/out/crops")};
    state.settings.OutFolder = QStringLiteral("/start");
    BUTTONPROC(form, state.settings, ui); // cancelled: nothing changes
    EXPECT_TRUE(form.folder.isEmpty());
    BUTTONPROC(form, state.settings, ui);
    EXPECT_EQ(form.folder, QStringLiteral("/out/crops"));
    ASSERT_EQ(ui.folderDialogs.size(), 2u);
    EXPECT_EQ(ui.folderDialogs[0], std::pair(QStringLiteral("选择裁图输出文件夹"), QStringLiteral("/start")));
    OPTPROC(form, AlbumAndTemplate);
    TRACKPROC(form, 0);
    TRACKPROC_ZOOM(form, 3);
    EXPECT_EQ(form.zoomText, QStringLiteral(" 3"));
    OPTPROC(form, Portrait);
    TRACKPROC(form, 9);
    ui.colours = {-1, 0x0000FF};
    LABPROC(form, ui); // cancelled
    EXPECT_EQ(form.swatchColor, 0xFFFFFF);
    LABPROC(form, ui);
    form.checkMove = false;
    form.lockType = false;
    form.surplusPhoto = true;
    form.loopPhoto = true;
    form.firstPhoto = false;
    form.safeImport = true;
    form.openFolder = false;
    form.finishAsk = false;
    form.useMask = false;
    form.jpegQuality = 95;
    form.autoOrient = false;
    form.colorManage = false;
    form.faceCrop = true;
    ASSERT_TRUE(SAVEOPTIONS(form, state, ui));
    EXPECT_TRUE(ui.messages.empty());

    const Settings& s = state.settings;
    EXPECT_EQ(s.OutFolder, QStringLiteral("/out/crops"));
    EXPECT_EQ(s.ClipTop, 50);
    EXPECT_EQ(s.ClipLeft, 5);
    EXPECT_EQ(s.ZoomSpeed, 15);
    EXPECT_EQ(s.BackColor, 0x0000FF);
    EXPECT_EQ(QString::fromUtf8(TempDir::read(state.SettingsPath)),
              QStringLiteral("[General]\r\nOutFolder=/out/crops\r\nUseOutFolder=1\r\nOutFolderType=1\r\n"
                             "ZoomSpeed=15\r\nLockType=0\r\nSurplusPhoto=1\r\nLoopPhoto=1\r\nFirstPhoto=0\r\n"
                             "OpenFolder=0\r\nClipTop=50\r\nClipLeft=5\r\nBackColor=255\r\nCheckMove=0\r\n"
                             "FinishAsk=0\r\nUseMask=0\r\nSafeImport=1\r\nJpegQuality=95\r\nAutoOrient="
                             "0\r\nThumbCacheMB=200\r\n"
                             "ColorManage=0\r\nFaceCrop=1\r\n"));
}

TEST_F(SavingSettings, AnEmptyFixedFolderKeepsTheDialogOpen) {
    SettingsForm form = settingsForm(state.settings);
    state.settings.OutFolder = QStringLiteral("/kept");
    // The option chosen in the dialog decides, not the stored one (which is off here).
    OPTPROC(form, FixedFolder);
    TRACKPROC_ZOOM(form, 6);
    EXPECT_FALSE(SAVEOPTIONS(form, state, ui));
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("裁图输出文件夹不能为空！"));
    EXPECT_EQ(ui.lastMessage().icon, Icon::Exclamation);
    EXPECT_EQ(state.settings.ZoomSpeed, 10);
    EXPECT_EQ(state.settings.UseOutFolder, 0);
    EXPECT_FALSE(QFile::exists(state.SettingsPath));

    // With the photo-folder option the folder box is not needed and the stored folder stays.
    OPTPROC(form, AlbumSubfolder);
    EXPECT_TRUE(SAVEOPTIONS(form, state, ui));
    EXPECT_EQ(state.settings.OutFolder, QStringLiteral("/kept"));
    EXPECT_EQ(state.settings.ZoomSpeed, 30);
}

} // namespace
} // namespace zanfold
