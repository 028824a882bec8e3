#include "imaging/file_utils.h"

#include "support/qt_print.h"
#include "support/recording_ui.h"
#include "support/system_faults.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace zanfold {
namespace {

using test::RecordingUi;
using test::TempDir;

TEST(FileName, TrimmedFolderKeepsRoots) {
    const std::pair<const char*, const char*> cases[] = {
        {"/a/b/", "/a/b"}, {"/a/b", "/a/b"},         {"/", "/"},        {"//", "/"}, {"C:/", "C:/"},
        {"C://", "C:/"},   {"C:/照片//", "C:/照片"}, {"trip/", "trip"},
    };
    for (const auto& [folder, expected] : cases)
        EXPECT_EQ(trimmedFolder(QString::fromUtf8(folder)), QString::fromUtf8(expected)) << folder;
}

TEST(FileName, LastComponentWithoutExtension) {
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("D:\\Photos\\Trip"), QStringLiteral("Trip")},
        {QStringLiteral("D:\\Photos\\Trip.2015"), QStringLiteral("Trip")},
        {QStringLiteral("/home/a/Trip.2015"), QStringLiteral("Trip")},
        {QStringLiteral("C:\\a.b\\c"), QStringLiteral("c")},
        {QStringLiteral("C:\\a\\b.c.d"), QStringLiteral("b.c")},
        {QStringLiteral("C:file.txt"), QStringLiteral("file")},
        {QStringLiteral("plain"), QStringLiteral("plain")},
        {QStringLiteral("/photos/婚礼.相册"), QStringLiteral("婚礼")},
        {QStringLiteral("/photos/"), QString()},
        {QString(), QString()},
    };
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(AFXGETFILENAME(path), expected) << path.toStdString();
}

TEST(Exists, FilesAndFoldersAreTold) {
    TempDir dir;
    const QString file = dir.write(QStringLiteral("a.txt"), "x");
    EXPECT_EQ(AFXFILEEXISTS(file), 1);
    EXPECT_EQ(AFXFOLDEREXISTS(file), 0);
    EXPECT_EQ(AFXFILEEXISTS(dir.path()), 0);
    EXPECT_EQ(AFXFOLDEREXISTS(dir.path()), 1);
    EXPECT_EQ(AFXFILEEXISTS(dir.file(QStringLiteral("missing"))), 0);
    EXPECT_EQ(AFXFOLDEREXISTS(dir.file(QStringLiteral("missing"))), 0);
    EXPECT_EQ(AFXFILEEXISTS(QString()), 0);
    EXPECT_EQ(AFXFOLDEREXISTS(QString()), 0);
}

TEST(MakeDir, CreatesNestedFoldersOnceAndAgain) {
    TempDir dir;
    const QString deep = dir.file(QStringLiteral("out/2015/婚礼相册/"));
    EXPECT_FALSE(ZF_MAKEDIR(deep).failed());
    EXPECT_EQ(AFXFOLDEREXISTS(dir.file(QStringLiteral("out/2015/婚礼相册"))), 1);
    const QString marker = dir.write(QStringLiteral("out/2015/婚礼相册/keep.jpg"), "x");
    EXPECT_FALSE(ZF_MAKEDIR(deep).failed());
    EXPECT_FALSE(ZF_MAKEDIR(dir.file(QStringLiteral("out//2015///"))).failed());
    EXPECT_EQ(AFXFILEEXISTS(marker), 1);
}

TEST(MakeDir, FileInTheWayIsAFailure) {
    TempDir dir;
    const QString file = dir.write(QStringLiteral("taken"), "x");
    const FileError same = ZF_MAKEDIR(file);
    EXPECT_TRUE(same.failed());
    EXPECT_FALSE(same.description.isEmpty());
    EXPECT_TRUE(ZF_MAKEDIR(file + QStringLiteral("/below")).failed());
    EXPECT_EQ(TempDir::read(file), QByteArray("x"));
}

TEST(MakeDir, EmptyPathsAreLeftAloneAndDoubleSlashesReadAsTheSystemReadsThem) {
    EXPECT_FALSE(ZF_MAKEDIR(QString()).failed());
    EXPECT_FALSE(ZF_MAKEDIR(QStringLiteral("/")).failed());
    // "//folder/out" used to be taken for a network share everywhere, so nothing was made and every file
    // failed; where the system has no shares it is an ordinary folder.
    TempDir dir;
    const QString doubled = QLatin1Char('/') + dir.file(QStringLiteral("share/out"));
    if (QDir::cleanPath(doubled).startsWith(QStringLiteral("//")))
        GTEST_SKIP() << "a system with network shares";
    EXPECT_FALSE(ZF_MAKEDIR(doubled).failed());
    EXPECT_TRUE(QFileInfo(dir.file(QStringLiteral("share/out"))).isDir());
}

// Failures that hold for root as well (the tests run as root in CI): a file where a folder of the path must
// be, and a name longer than the file system takes.
TEST(MakeDir, ImpossibleFoldersReportTheSystemReason) {
    TempDir dir;
    const QString file = dir.write(QStringLiteral("plain"), "x");
    const struct {
        QString folder;
        int code;
    } cases[] = {
        {file + QStringLiteral("/a/b"), ENOTDIR},
        {dir.file(QString(300, QLatin1Char('n')) + QStringLiteral("/b")), ENAMETOOLONG},
    };
    for (const auto& c : cases) {
        const FileError error = ZF_MAKEDIR(c.folder);
        EXPECT_EQ(error.code, c.code) << c.folder.left(80).toStdString();
        EXPECT_TRUE(error.description.startsWith(QString::fromLocal8Bit(std::strerror(c.code))));
    }
    // The message says which file stands in the way.
    EXPECT_TRUE(ZF_MAKEDIR(file + QStringLiteral("/a"))
                    .description.contains(QStringLiteral("“%1”是一个文件").arg(file)));
    EXPECT_EQ(TempDir::read(file), QByteArray("x"));
}

TEST(ListFiles, MatchesAndOrdersWithoutRegardToCase) {
    TempDir dir;
    for (const char* name : {"b.JPG", "A.jpg", "a.jpg", "c.jpeg", "d.jpg.txt", "C.Jpg"})
        dir.write(QString::fromLatin1(name), "x");
    QDir().mkdir(dir.file(QStringLiteral("folder.jpg")));
    const QStringList expected{QStringLiteral("A.jpg"), QStringLiteral("a.jpg"), QStringLiteral("b.JPG"),
                               QStringLiteral("C.Jpg")};
    EXPECT_EQ(listFiles(dir.path(), QStringLiteral("*.jpg")), expected);
    EXPECT_EQ(listFiles(dir.path(), QStringLiteral("*.jpeg")), QStringList{QStringLiteral("c.jpeg")});
    EXPECT_TRUE(listFiles(dir.file(QStringLiteral("missing")), QStringLiteral("*.jpg")).isEmpty());
}

TEST(BakFile, RenamesOnceAndNeverOverwrites) {
    TempDir dir;
    const QString lib = dir.write(QStringLiteral("lib.xml"), "new");
    ZF_BAKFILE(lib);
    EXPECT_EQ(AFXFILEEXISTS(lib), 0);
    EXPECT_EQ(TempDir::read(lib + QStringLiteral(".bak")), QByteArray("new"));
    dir.write(QStringLiteral("lib.xml"), "newer");
    ZF_BAKFILE(lib); // the backup exists: nothing happens
    EXPECT_EQ(TempDir::read(lib), QByteArray("newer"));
    EXPECT_EQ(TempDir::read(lib + QStringLiteral(".bak")), QByteArray("new"));
    ZF_BAKFILE(dir.file(QStringLiteral("missing.xml"))); // silently nothing
}

TEST(OpenFolder, OpensExistingAndReportsMissing) {
    TempDir dir;
    RecordingUi ui;
    ZF_OPENFOLDER(ui, dir.path());
    EXPECT_EQ(ui.opened, QStringList{dir.path()});
    EXPECT_TRUE(ui.messages.empty());

    const QString missing = dir.file(QStringLiteral("gone"));
    ZF_OPENFOLDER(ui, missing);
    EXPECT_EQ(ui.opened.size(), 1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("文件夹不存在！\n\n") + missing);
    EXPECT_EQ(ui.lastMessage().icon, Icon::Information);
    EXPECT_TRUE(ui.lastMessage().caption.isEmpty()); // the application title
}

TEST(ErrorText, LeadThenNumberAndReason) {
    EXPECT_EQ(errorText(QStringLiteral("保存项目出错："), {13, QStringLiteral("Permission denied")}),
              QStringLiteral("保存项目出错：\nError: 13, Permission denied"));
}

TEST(AtomicWrite, ReplacesWholeFile) {
    TempDir dir;
    const QString path = dir.write(QStringLiteral("p.zpj"), "old contents");
    EXPECT_FALSE(writeFileAtomically(path, "new").failed());
    EXPECT_EQ(TempDir::read(path), QByteArray("new"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("p.zpj")}); // no leftovers
}

TEST(AtomicWrite, FailureLeavesOldFileIntact) {
    TempDir dir;
    // A folder that does not exist: nothing can be written.
    const FileError missing = writeFileAtomically(dir.file(QStringLiteral("no/such/p.zpj")), "x");
    EXPECT_TRUE(missing.failed());
    EXPECT_FALSE(missing.description.isEmpty());

    // A folder where the target name is taken by a folder: the rename fails, nothing half-written remains.
    ASSERT_TRUE(QDir().mkdir(dir.file(QStringLiteral("clash"))));
    EXPECT_TRUE(writeFileAtomically(dir.file(QStringLiteral("clash")), "x").failed());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{});

    // An old file whose name is as long as the file system allows: the temporary file beside it cannot be
    // made (even by root), and the old file stays as it was.
    const QString path = dir.write(QString(255, QLatin1Char('p')), "old");
    const FileError tooLong = writeFileAtomically(path, "new");
    EXPECT_EQ(tooLong.code, ENAMETOOLONG);
    EXPECT_EQ(TempDir::read(path), QByteArray("old"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QString(255, QLatin1Char('p'))});
}

// A tmpfs of 64 KB, filled up: the real full disk (needs root; skipped where mounting is refused).
class FullDisk : public ::testing::Test {
protected:
    TempDir dir;
    QString mountPoint;
    void SetUp() override {
        mountPoint = dir.file(QStringLiteral("disk"));
        ASSERT_TRUE(QDir().mkdir(mountPoint));
        if (const QString why = test::mountSmallDisk(mountPoint, 64 * 1024); !why.isEmpty()) {
            mountPoint.clear();
            GTEST_SKIP() << "cannot mount a small disk here: " << why.toStdString();
        }
    }
    void TearDown() override {
        if (!mountPoint.isEmpty()) test::unmountDisk(mountPoint);
    }
    // Fills what is left with one file.
    void fill() {
        QFile filler(mountPoint + QStringLiteral("/filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(1024, 'f');
        while (filler.write(block) == block.size()) {
        }
    }
};

// The buffered write used to report the whole length and the flush's "No space left on device" came too
// late: the library and small outputs were replaced by empty files while success was reported.
TEST_F(FullDisk, KeepsTheOldFileAndSaysWhy) {
    const QString path = mountPoint + QStringLiteral("/zfTemplate.xml");
    ASSERT_FALSE(writeFileAtomically(path, "old library").failed());
    fill();
    for (const int size : {10, 4096, 40000}) {
        const FileError error = writeFileAtomically(path, QByteArray(size, 'n'));
        EXPECT_EQ(error.code, ENOSPC) << size;
        EXPECT_EQ(error.description, QStringLiteral("No space left on device"));
        EXPECT_EQ(TempDir::read(path), QByteArray("old library"));
    }
    EXPECT_EQ(QDir(mountPoint).entryList(QDir::Files),
              (QStringList{QStringLiteral("filler"), QStringLiteral("zfTemplate.xml")}));
}

// The same failure without a mount: a file size limit holds for root too (EFBIG instead of ENOSPC).
TEST(AtomicWrite, ShortWriteKeepsTheOldFile) {
    TempDir dir;
    const QString path = dir.write(QStringLiteral("work.zpj"), "old work");
    FileError error;
    if (const QString why =
            test::withFileSizeLimit(1000, [&] { error = writeFileAtomically(path, QByteArray(5000, 'n')); });
        !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    EXPECT_EQ(error.code, EFBIG);
    EXPECT_EQ(error.description, QString::fromLocal8Bit(std::strerror(EFBIG)));
    EXPECT_EQ(TempDir::read(path), QByteArray("old work"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("work.zpj")});
}

TEST(AtomicWrite, NewFilesGetTheUsualPermissionsAndReplacedOnesKeepTheirs) {
    TempDir dir;
    if (const QString why = test::posixOnly("permission bits"); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    const QString fresh = dir.file(QStringLiteral("new.jpg"));
    ASSERT_FALSE(writeFileAtomically(fresh, "x").failed());
    EXPECT_EQ(test::permissionBits(fresh), 0666 & ~test::creationMask());
    ASSERT_EQ(test::setPermissionBits(fresh, 0640), QString());
    ASSERT_FALSE(writeFileAtomically(fresh, "y").failed());
    EXPECT_EQ(test::permissionBits(fresh), 0640);
}

} // namespace
} // namespace zanfold
