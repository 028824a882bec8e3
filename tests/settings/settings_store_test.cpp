#include "settings/settings_store.h"

#include "core/text.h"
#include "support/qt_print.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

namespace zanfold {
namespace {

using test::TempDir;

TEST(SettingsNumber, ParsesLikeTheStoredFilesExpect) {
    const std::pair<QString, double> cases[] = {
        {QStringLiteral("10"), 10},
        {QStringLiteral("  42"), 42},
        {QStringLiteral("&HFFFFFF"), 16777215},
        {QStringLiteral("&HFF"), 255},
        {QStringLiteral("&hff"), 255},
        {QStringLiteral("&H"), 0},
        {QStringLiteral("-5"), -5},
        {QStringLiteral("+7"), 7},
        {QStringLiteral("2.5"), 2.5},
        {QStringLiteral("12abc"), 12},
        {QStringLiteral("abc"), 0},
        {QString(), 0},
        {QStringLiteral("3.25x"), 3.25},
        {QStringLiteral("&HFFZ9"), 255},
        {QStringLiteral("- 5"), 0},
        {QStringLiteral(".5"), 0.5},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_DOUBLE_EQ(parseSettingsNumber(text), expected) << text.toStdString();
}

TEST(Settings, NoFileGivesDefaultsAndCreatesNothing) {
    TempDir dir;
    AppState state;
    state.settings.ZoomSpeed = 3;
    LOADOPTIONS(state, dir.path());
    EXPECT_EQ(state.SettingsPath, dir.file(QStringLiteral("Zanfold.ini")));
    const Settings& s = state.settings;
    EXPECT_EQ(s.ZoomSpeed, 10);
    EXPECT_EQ(s.ClipTop, 25);
    EXPECT_EQ(s.ClipLeft, 25);
    EXPECT_EQ(s.BackColor, 16777215);
    EXPECT_EQ(s.JpegQuality, 90);
    EXPECT_EQ(s.AutoOrient, 1);
    for (int flag :
         {s.LockType, s.FirstPhoto, s.OpenFolder, s.CheckMove, s.FinishAsk, s.UseMask, s.ColorManage})
        EXPECT_EQ(flag, 1);
    EXPECT_TRUE(s.OutFolder.isEmpty());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST(Settings, ValuesAreRoundedAndClamped) {
    struct Case {
        const char* line;
        int Settings::*field;
        int expected;
    };
    const Case cases[] = {
        {"ZoomSpeed=0", &Settings::ZoomSpeed, 1},         {"ZoomSpeed=99", &Settings::ZoomSpeed, 30},
        {"ZoomSpeed=abc", &Settings::ZoomSpeed, 1},       {"ClipTop=-5", &Settings::ClipTop, 0},
        {"ClipLeft=70", &Settings::ClipLeft, 50},         {"BackColor=&HFF", &Settings::BackColor, 255},
        {"BackColor=255", &Settings::BackColor, 255},     {"ClipTop=12.5", &Settings::ClipTop, 12},
        {"ClipTop=13.5", &Settings::ClipTop, 14},         {"JpegQuality=0", &Settings::JpegQuality, 1},
        {"JpegQuality=150", &Settings::JpegQuality, 100}, {"AutoOrient=0", &Settings::AutoOrient, 0},
        {"LoopPhoto=7", &Settings::LoopPhoto, 7},         {"UseMask=x", &Settings::UseMask, 0},
        {"ColorManage=0", &Settings::ColorManage, 0},     {"FaceCrop=1", &Settings::FaceCrop, 1},
    };
    for (const Case& c : cases) {
        TempDir dir;
        dir.write(QStringLiteral("Zanfold.ini"), QByteArray("[General]\r\n") + c.line + "\r\n");
        AppState state;
        LOADOPTIONS(state, dir.path());
        EXPECT_EQ(state.settings.*c.field, c.expected) << c.line;
    }
}

TEST(Settings, LongOutFolderIsCutTo259Bytes) {
    TempDir dir;
    dir.write(QStringLiteral("Zanfold.ini"), "[General]\nOutFolder=" + QByteArray(300, 'a') + "\n");
    AppState state;
    LOADOPTIONS(state, dir.path());
    EXPECT_EQ(state.settings.OutFolder.size(), 259);
}

TEST(Settings, SaveWritesEveryKeyInOrder) {
    TempDir dir;
    AppState state;
    LOADOPTIONS(state, dir.path());
    state.settings.OutFolder = QStringLiteral("/输出");
    state.settings.ZoomSpeed = 10;
    state.settings.BackColor = 0xFF;
    ASSERT_FALSE(saveOptions(state).failed());
    const QByteArray expected =
        "[General]\r\n"
        "OutFolder=/\xCA\xE4\xB3\xF6\r\n"
        "UseOutFolder=0\r\nOutFolderType=0\r\nZoomSpeed=10\r\nLockType=1\r\n"
        "SurplusPhoto=0\r\nLoopPhoto=0\r\nFirstPhoto=1\r\nOpenFolder=1\r\nClipTop=25\r\n"
        "ClipLeft=25\r\nBackColor=255\r\nCheckMove=1\r\nFinishAsk=1\r\nUseMask=1\r\n"
        "SafeImport=0\r\nJpegQuality=90\r\nAutoOrient=1\r\nThumbCacheMB=200\r\nColorManage=1\r\n"
        "FaceCrop=0\r\n";
    EXPECT_EQ(TempDir::read(state.SettingsPath), expected);

    AppState again;
    LOADOPTIONS(again, dir.path());
    EXPECT_EQ(again.settings.OutFolder, QStringLiteral("/输出"));
    EXPECT_EQ(again.settings.BackColor, 255);
}

TEST(Settings, SaveKeepsAHandEditedFile) {
    TempDir dir;
    dir.write(QStringLiteral("Zanfold.ini"), "; mine\n[Recent]\nA=1\n[general]\nzoomspeed=15\nExtra=keep\n");
    AppState state;
    LOADOPTIONS(state, dir.path());
    EXPECT_EQ(state.settings.ZoomSpeed, 15);
    state.settings.ZoomSpeed = 20;
    ASSERT_FALSE(saveOptions(state).failed());
    const QByteArray text = TempDir::read(state.SettingsPath);
    EXPECT_TRUE(text.startsWith("; mine\n[Recent]\nA=1\n[general]\nZoomSpeed=20\nExtra=keep\nOutFolder=\n"))
        << text.toStdString();
    EXPECT_FALSE(text.contains("\r\n"));
}

// A file starting with two byte-order marks used to read as empty: every saved value was lost.
TEST(Settings, LeadingByteOrderMarksAreSkippedAndKept) {
    TempDir dir;
    dir.write(QStringLiteral("Zanfold.ini"), "\xEF\xBB\xBF\xEF\xBB\xBF[General]\r\nZoomSpeed=25\r\n");
    AppState state;
    LOADOPTIONS(state, dir.path());
    EXPECT_EQ(state.settings.ZoomSpeed, 25);
    state.settings.ZoomSpeed = 5;
    ASSERT_FALSE(saveOptions(state).failed());
    const QByteArray text = TempDir::read(state.SettingsPath);
    EXPECT_TRUE(text.startsWith("\xEF\xBB\xBF\xEF\xBB\xBF[General]\r\nZoomSpeed=5\r\n"))
        << text.toStdString();
    AppState again;
    LOADOPTIONS(again, dir.path());
    EXPECT_EQ(again.settings.ZoomSpeed, 5);
}

// Another process holding the settings file: saving waits for it, then keeps what it wrote.
TEST(Settings, SavingWaitsForAnotherWriter) {
    TempDir dir;
    AppState state;
    LOADOPTIONS(state, dir.path());
    QLockFile other(state.SettingsPath + QStringLiteral(".lock"));
    ASSERT_TRUE(other.tryLock(0));
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        dir.write(QStringLiteral("Zanfold.ini"), "[Recent]\nLast=1\n");
        other.unlock();
    });
    state.settings.ZoomSpeed = 15;
    const FileError saved = saveOptions(state);
    release.join();
    EXPECT_FALSE(saved.failed()) << saved.description.toStdString();
    const QByteArray text = TempDir::read(state.SettingsPath);
    EXPECT_TRUE(text.startsWith("[Recent]\nLast=1\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("ZoomSpeed=15"));
}

TEST(Settings, UnwritableSettingsFileIsReported) {
    TempDir dir;
    AppState state;
    LOADOPTIONS(state, dir.file(QStringLiteral("gone")));
    EXPECT_TRUE(saveOptions(state).failed());
}

TEST(DataFolder, ProgramFolderWhenWritableElseUserConfig) {
    TempDir dir;
    EXPECT_EQ(dataFolder(dir.path()), dir.path());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty()) << "the probe file is left behind";
    // The per-user folder of the test mode, so the user's own settings stay untouched.
    QStandardPaths::setTestModeEnabled(true);
    const QString expected =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Zanfold");
    const QString fallback = dataFolder(dir.file(QStringLiteral("no-such-program-folder")));
    QStandardPaths::setTestModeEnabled(false);
    EXPECT_EQ(fallback, expected);
    EXPECT_TRUE(QDir(fallback).exists());
}

} // namespace
} // namespace zanfold
