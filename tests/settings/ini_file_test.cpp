#include "settings/ini_file.h"

#include "support/qt_print.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace zanfold {
namespace {

using test::TempDir;

TEST(IniFile, MissingFileSectionOrKeyGivesTheDefault) {
    TempDir dir;
    const QString path = dir.file(QStringLiteral("none.ini"));
    EXPECT_EQ(INI_GETKEY(path, QStringLiteral("General"), QStringLiteral("ZoomSpeed"), QStringLiteral("10")),
              QStringLiteral("10"));
    dir.write(QStringLiteral("a.ini"), "[Other]\r\nZoomSpeed=5\r\n[General]\r\nClipTop=3\r\n");
    const QString a = dir.file(QStringLiteral("a.ini"));
    EXPECT_EQ(INI_GETKEY(a, QStringLiteral("General"), QStringLiteral("ZoomSpeed"), QStringLiteral("10")),
              QStringLiteral("10"));
    EXPECT_EQ(INI_GETKEY(a, QStringLiteral("Missing"), QStringLiteral("ClipTop"), QStringLiteral("x")),
              QStringLiteral("x"));
    EXPECT_EQ(INI_GETKEY(a, QStringLiteral("general"), QStringLiteral("CLIPTOP"), QStringLiteral("x")),
              QStringLiteral("3"));
}

TEST(IniFile, ValuesAreTrimmedAndUnquoted) {
    TempDir dir;
    const QString path =
        dir.write(QStringLiteral("a.ini"), "[General]\nA =  spaced value  \nB=\"quoted\"\nC=\n");
    const QString g = QStringLiteral("General");
    EXPECT_EQ(INI_GETKEY(path, g, QStringLiteral("A"), {}), QStringLiteral("spaced value"));
    EXPECT_EQ(INI_GETKEY(path, g, QStringLiteral("B"), {}), QStringLiteral("quoted"));
    EXPECT_EQ(INI_GETKEY(path, g, QStringLiteral("C"), QStringLiteral("d")), QString());
}

TEST(IniFile, WritingKeepsEverythingElse) {
    TempDir dir;
    const QByteArray original = "; written by hand\r\n"
                                "[Other]\r\n"
                                "ZoomSpeed=99\r\n"
                                "\r\n"
                                "[general]\r\n"
                                "zoomspeed=15\r\n"
                                "; keep me\r\n"
                                "Unknown=yes\r\n"
                                "\r\n"
                                "[Tail]\r\n"
                                "X=1\r\n";
    const QString path = dir.write(QStringLiteral("z.ini"), original);
    IniFile ini(path);
    ASSERT_TRUE(ini.setValue(QStringLiteral("General"), QStringLiteral("ZoomSpeed"), QStringLiteral("20")));
    ASSERT_TRUE(ini.setValue(QStringLiteral("General"), QStringLiteral("ClipTop"), QStringLiteral("5")));
    ASSERT_FALSE(ini.save().failed());
    EXPECT_EQ(TempDir::read(path), QByteArray("; written by hand\r\n"
                                              "[Other]\r\n"
                                              "ZoomSpeed=99\r\n"
                                              "\r\n"
                                              "[general]\r\n"
                                              "ZoomSpeed=20\r\n"
                                              "; keep me\r\n"
                                              "Unknown=yes\r\n"
                                              "ClipTop=5\r\n"
                                              "\r\n"
                                              "[Tail]\r\n"
                                              "X=1\r\n"));
}

// A carriage return at the end of a line in a file of line feeds used to turn, after one save, into a line
// break of the other style, and the next save rewrote every line of the file (found by fuzzing).
TEST(IniFile, LineBreaksFollowTheFirstLine) {
    TempDir dir;
    const QString path = dir.write(QStringLiteral("a.ini"), "[General]\nA=1\r\r\nB=2\n");
    ASSERT_TRUE(INI_SETKEY(path, QStringLiteral("General"), QStringLiteral("C"), QStringLiteral("3")));
    const QByteArray once = TempDir::read(path);
    EXPECT_EQ(once, QByteArray("[General]\nA=1\r\r\nB=2\nC=3\n"));
    ASSERT_TRUE(INI_SETKEY(path, QStringLiteral("General"), QStringLiteral("C"), QStringLiteral("3")));
    EXPECT_EQ(TempDir::read(path), once);
}

TEST(IniFile, NewFileAndSectionAreCreated) {
    TempDir dir;
    const QString path = dir.file(QStringLiteral("new.ini"));
    EXPECT_EQ(INI_SETKEY(path, QStringLiteral("General"), QStringLiteral("ZoomSpeed"), QStringLiteral("10")),
              1);
    EXPECT_EQ(INI_SETKEY(path, QStringLiteral("General"), QStringLiteral("ClipTop"), QStringLiteral("25")),
              1);
    EXPECT_EQ(TempDir::read(path), QByteArray("[General]\r\nZoomSpeed=10\r\nClipTop=25\r\n"));
    const QString unix = dir.write(QStringLiteral("unix.ini"), "[A]\nx=1\n");
    EXPECT_EQ(INI_SETKEY(unix, QStringLiteral("General"), QStringLiteral("k"), QStringLiteral("v")), 1);
    EXPECT_EQ(TempDir::read(unix), QByteArray("[A]\nx=1\n[General]\nk=v\n"));
}

TEST(IniFile, ChineseValuesAreGb18030Bytes) {
    TempDir dir;
    // As a Windows program in code page 936 writes it: 照片 is D5 D5 C6 AC.
    const QString path =
        dir.write(QStringLiteral("w.ini"), "[General]\r\nOutFolder=D:\\\xD5\xD5\xC6\xAC\r\n");
    EXPECT_EQ(INI_GETKEY(path, QStringLiteral("General"), QStringLiteral("OutFolder"), {}),
              QStringLiteral("D:\\照片"));
    ASSERT_EQ(INI_SETKEY(path, QStringLiteral("General"), QStringLiteral("OutFolder"),
                         QStringLiteral("/输出/婚礼")),
              1);
    EXPECT_TRUE(TempDir::read(path).contains(QByteArray("OutFolder=/\xCA\xE4\xB3\xF6/\xBB\xE9\xC0\xF1")));
    EXPECT_EQ(INI_GETKEY(path, QStringLiteral("General"), QStringLiteral("OutFolder"), {}),
              QStringLiteral("/输出/婚礼"));
}

TEST(IniFile, ValuesAreReadUpTo511Bytes) {
    TempDir dir;
    const QString path = dir.write(QStringLiteral("long.ini"), "[General]\nK=" + QByteArray(600, 'x') + "\n");
    EXPECT_EQ(INI_GETKEY(path, QStringLiteral("General"), QStringLiteral("K"), {}).size(), 511);
}

TEST(IniFile, UnwritableFileIsReported) {
    TempDir dir;
    IniFile ini(dir.file(QStringLiteral("missing/folder/z.ini")));
    ini.setValue(QStringLiteral("General"), QStringLiteral("K"), QStringLiteral("v"));
    EXPECT_TRUE(ini.save().failed());
}

} // namespace
} // namespace zanfold
