#include "imaging/picture.h"
#include "support/face_photos.h"
#include "support/jpeg_maker.h"
#include "support/qt_print.h"
#include "support/system_faults.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace zanfold {
namespace {

using test::TempDir;

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// The thumbnail cache of the runs stays inside the test's folder.
QProcessEnvironment testEnvironment() {
    static TempDir cache;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CACHE_HOME"), cache.path());
    return env;
}

CliRun cli(const QStringList& arguments) {
    QProcess process;
    process.setProcessEnvironment(testEnvironment());
    process.start(QStringLiteral(ZANFOLD_CLI), arguments);
    // Generous: under ThreadSanitizer on a busy machine the demo takes minutes. A run still going is a
    // failure of its own, never read as an exit code of 0.
    if (!process.waitForFinished(600000)) {
        process.kill();
        process.waitForFinished();
        return {-1, {}, QStringLiteral("zanfold-cli did not finish in time")};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// A library with one imported template (A 3 x 640 x 360, B 2 x 360 x 640) and an album of 4 landscape and
// 2 portrait photos; settings of its own.
class Cli : public ::testing::Test {
protected:
    TempDir dir;
    QString library, settings, album;

    void SetUp() override {
        library = dir.file(QStringLiteral("zfTemplate.xml"));
        settings = dir.file(QStringLiteral("Zanfold.ini"));
        album = dir.file(QStringLiteral("album"));
        dir.write(QStringLiteral("Zanfold.ini"), "[General]\nFinishAsk=0\n");
        dir.write(QStringLiteral("tpl/Wedding.aep"), "");
        for (const char* name : {"A1.jpg", "A2.jpg", "A3.jpg"})
            dir.write(QStringLiteral("tpl/照片/") + QString::fromLatin1(name),
                      test::makeJpeg(test::solidImage(640, 360, qRgb(128, 128, 128))));
        for (const char* name : {"B1.jpg", "B2.jpg"})
            dir.write(QStringLiteral("tpl/照片/") + QString::fromLatin1(name),
                      test::makeJpeg(test::solidImage(360, 640, qRgb(128, 128, 128))));
        for (int i = 0; i < 4; ++i)
            dir.write(QStringLiteral("album/L%1.jpg").arg(i),
                      test::makeJpeg(test::gradientImage(800 + i, 600)));
        for (int i = 0; i < 2; ++i)
            dir.write(QStringLiteral("album/P%1.jpg").arg(i),
                      test::makeJpeg(test::gradientImage(600, 800 + i)));
        const CliRun added =
            cli({QStringLiteral("import-template"), dir.file(QStringLiteral("tpl/Wedding.aep")),
                 QStringLiteral("--library"), library});
        ASSERT_EQ(added.exitCode, 0) << added.err.toStdString();
    }
    QStringList common() const {
        return {QStringLiteral("--library"), library, QStringLiteral("--settings"), settings};
    }
};

TEST_F(Cli, CropWritesEveryPlaceholderAtItsSize) {
    const CliRun listed = cli(QStringList{QStringLiteral("templates")} + common());
    EXPECT_TRUE(listed.out.startsWith(QStringLiteral("Wedding\t5\t"))) << listed.out.toStdString();

    const QString project = dir.file(QStringLiteral("work.zpj"));
    const CliRun run = cli(QStringList{QStringLiteral("crop"), QStringLiteral("--album"), album,
                                       QStringLiteral("--template"), QStringLiteral("Wedding"),
                                       QStringLiteral("--project"), project} +
                           common());
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString folder = album + QStringLiteral("/album/Wedding");
    const std::pair<const char*, QSize> files[] = {
        {"A1", {640, 360}}, {"A2", {640, 360}}, {"A3", {640, 360}}, {"B1", {360, 640}}, {"B2", {360, 640}}};
    for (const auto& [name, size] : files) {
        const PictureInfo info =
            probe(folder + QLatin1Char('/') + QString::fromLatin1(name) + QStringLiteral(".jpg"));
        EXPECT_EQ(info.kind, PictureKind::Jpeg) << name;
        EXPECT_EQ(info.size, size) << name;
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 5);
    EXPECT_TRUE(run.out.contains(folder));

    // The saved project, rendered again, gives the same files.
    QMap<QString, QByteArray> first;
    for (const QString& f : QDir(folder).entryList(QDir::Files))
        first[f] = TempDir::read(folder + QLatin1Char('/') + f);
    QDir(folder).removeRecursively();
    const CliRun again = cli(QStringList{QStringLiteral("render"), project} + common());
    ASSERT_EQ(again.exitCode, 0) << again.err.toStdString();
    for (auto it = first.begin(); it != first.end(); ++it)
        EXPECT_EQ(TempDir::read(folder + QLatin1Char('/') + it.key()), it.value()) << it.key().toStdString();
}

// The summary the desktop asks about is printed, and the batch goes on with the exit status of a clean run.
TEST_F(Cli, EnlargedPhotosArePrintedAndCropped) {
    const QString small = dir.file(QStringLiteral("small"));
    for (int i = 0; i < 3; ++i)
        dir.write(QStringLiteral("small/L%1.jpg").arg(i), test::makeJpeg(test::gradientImage(320, 240)));
    for (int i = 0; i < 2; ++i)
        dir.write(QStringLiteral("small/P%1.jpg").arg(i), test::makeJpeg(test::gradientImage(240, 320)));
    const CliRun run = cli(QStringList{QStringLiteral("crop"), QStringLiteral("--album"), small,
                                       QStringLiteral("--template"), QStringLiteral("Wedding")} +
                           common());
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("有 5 个位置的照片将被放大超过 1.25 倍")))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("Wedding：A1（L0.jpg）  2.01 倍"))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("继续裁图？")));
    EXPECT_EQ(QDir(small + QStringLiteral("/small/Wedding")).entryList(QDir::Files).size(), 5);
}

// FaceCrop in the settings file moves the crops of photos with faces, and only those: a face near the top of
// landscape photos is held by a crop at the top, as ClipTop=0 would place it; the faceless photos' crops
// stay.
TEST_F(Cli, TheFaceSettingIsHonoured) {
    const QImage face = test::pictureWithFaces(2400, 1600, {QRect(1000, 60, 260, 260)});
    ASSERT_FALSE(face.isNull());
    const QImage faceless = test::facelessPicture(1600, 2400);
    auto crop = [&](const QString& name, const QByteArray& ini) {
        for (int i = 0; i < 3; ++i)
            dir.write(name + QStringLiteral("/L%1.jpg").arg(i), test::makeJpeg(face));
        for (int i = 0; i < 2; ++i)
            dir.write(name + QStringLiteral("/P%1.jpg").arg(i), test::makeJpeg(faceless));
        dir.write(name + QStringLiteral(".ini"), "[General]\nFinishAsk=0\n" + ini);
        const CliRun run =
            cli({QStringLiteral("crop"), QStringLiteral("--album"), dir.file(name),
                 QStringLiteral("--template"), QStringLiteral("Wedding"), QStringLiteral("--library"),
                 library, QStringLiteral("--settings"), dir.file(name + QStringLiteral(".ini"))});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        QMap<QString, QByteArray> files;
        const QString folder = dir.file(name) + QLatin1Char('/') + name + QStringLiteral("/Wedding");
        for (const QString& f : QDir(folder).entryList(QDir::Files))
            files[f] = TempDir::read(folder + QLatin1Char('/') + f);
        EXPECT_EQ(files.size(), 5);
        return files;
    };
    const auto faced = crop(QStringLiteral("faced"), "FaceCrop=1\n");
    const auto top = crop(QStringLiteral("top"), "ClipTop=0\n");
    const auto fixed = crop(QStringLiteral("fixed"), "");
    for (const char* name : {"A1.jpg", "A2.jpg", "A3.jpg"}) {
        EXPECT_EQ(faced[QString::fromLatin1(name)], top[QString::fromLatin1(name)]) << name;
        EXPECT_NE(faced[QString::fromLatin1(name)], fixed[QString::fromLatin1(name)]) << name;
    }
    for (const char* name : {"B1.jpg", "B2.jpg"})
        EXPECT_EQ(faced[QString::fromLatin1(name)], fixed[QString::fromLatin1(name)]) << name;
}

// A template taken twice writes its second copy into a folder of its own, and the count is of the files
// really there.
TEST_F(Cli, ATemplateTakenTwiceWritesTwoFolders) {
    const CliRun run = cli(QStringList{QStringLiteral("crop"), QStringLiteral("--album"), album,
                                       QStringLiteral("--template"), QStringLiteral("Wedding"),
                                       QStringLiteral("--template"), QStringLiteral("Wedding")} +
                           common());
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    for (const char* folder : {"/album/Wedding", "/album/Wedding (2)"})
        EXPECT_EQ(QDir(album + QString::fromUtf8(folder)).entryList(QDir::Files).size(), 5) << folder;
    EXPECT_TRUE(run.out.contains(QStringLiteral("已写入 10 个文件"))) << run.out.toStdString();
}

// Names an album may hold that are no photos: a link to a device that never ends, one to a device of
// random bytes, a pipe no one writes to. The crop ends in time, within a bound on memory, and names them.
TEST_F(Cli, DevicesAndPipesInAnAlbumAreNamedNotRead) {
    if (const QString why = test::makeSpecialFile(album + QStringLiteral("/Z0.jpg"), "zero"); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    ASSERT_EQ(test::makeSpecialFile(album + QStringLiteral("/Z1.jpg"), "random"), QString());
    ASSERT_EQ(test::makeSpecialFile(album + QStringLiteral("/Z2.jpg"), "pipe"), QString());
    QStringList command{QStringLiteral(ZANFOLD_CLI),  QStringLiteral("crop"),
                        QStringLiteral("--album"),    album,
                        QStringLiteral("--template"), QStringLiteral("Wedding")};
    command += common();
    QStringList quoted;
    for (const QString& part : command)
        quoted << QLatin1Char('\'') + part + QLatin1Char('\'');
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    const QString limit; // the sanitizers reserve more address space than any bound would allow
#else
    const QString limit = QStringLiteral("ulimit -v 4000000; ");
#endif
    QProcess process;
    process.setProcessEnvironment(testEnvironment());
    process.start(QStringLiteral("bash"), {QStringLiteral("-c"), limit + QStringLiteral("exec timeout 120 ") +
                                                                     quoted.join(QLatin1Char(' '))});
    ASSERT_TRUE(process.waitForFinished(180000));
    const QString err = QString::fromUtf8(process.readAllStandardError());
    EXPECT_EQ(process.exitCode(), 0) << err.toStdString();
    for (const char* name : {"Z0.jpg", "Z1.jpg", "Z2.jpg"})
        EXPECT_TRUE(err.contains(QString::fromLatin1(name))) << name << ": " << err.toStdString();
    EXPECT_EQ(QDir(album + QStringLiteral("/album/Wedding")).entryList(QDir::Files).size(), 5);
}

TEST_F(Cli, EmptyPositionStopsAndWritesNothing) {
    QFile::remove(album + QStringLiteral("/P0.jpg"));
    QFile::remove(album + QStringLiteral("/P1.jpg"));
    const CliRun run = cli(QStringList{QStringLiteral("crop"), QStringLiteral("--album"), album,
                                       QStringLiteral("--template"), QStringLiteral("Wedding")} +
                           common());
    EXPECT_NE(run.exitCode, 0);
    // Every empty position is named in the one message.
    EXPECT_TRUE(run.err.contains(QStringLiteral("有 2 个位置没有分配照片！\n\nWedding：B1\nWedding：B2")))
        << run.err.toStdString();
    EXPECT_TRUE(QDir(album + QStringLiteral("/album/Wedding")).isEmpty());
}

TEST_F(Cli, UnwritableOutputFails) {
    dir.write(QStringLiteral("blocked"), "a file, not a folder");
    const CliRun run = cli(QStringList{QStringLiteral("crop"), QStringLiteral("--album"), album,
                                       QStringLiteral("--template"), QStringLiteral("Wedding"),
                                       QStringLiteral("--out"), dir.file(QStringLiteral("blocked"))} +
                           common());
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.err.contains(QStringLiteral("有 5 个文件未能写入"))) << run.err.toStdString();
    // Not "File exists": the file that stands where the folder must be is named, and nothing says done.
    EXPECT_TRUE(run.err.contains(QStringLiteral("“%1”是一个文件").arg(dir.file(QStringLiteral("blocked")))));
    EXPECT_FALSE(run.err.contains(QStringLiteral("裁图完成")));
}

// Eight runs adding templates at once used to keep about half of them: each read the library, added its
// template and wrote it back over the others'.
TEST_F(Cli, ConcurrentTemplateImportsKeepEveryTemplate) {
    std::vector<std::unique_ptr<QProcess>> runs;
    for (int i = 0; i < 8; ++i) {
        const QString folder = QStringLiteral("t%1").arg(i);
        dir.write(folder + QStringLiteral("/T%1.aep").arg(i), "");
        dir.write(folder + QStringLiteral("/照片/A1.jpg"),
                  test::makeJpeg(test::solidImage(640, 360, qRgb(1, 2, 3))));
        auto process = std::make_unique<QProcess>();
        process->start(QStringLiteral(ZANFOLD_CLI), {QStringLiteral("import-template"),
                                                     dir.file(folder + QStringLiteral("/T%1.aep").arg(i)),
                                                     QStringLiteral("--library"), library});
        runs.push_back(std::move(process));
    }
    for (auto& process : runs) {
        ASSERT_TRUE(process->waitForFinished(60000));
        EXPECT_EQ(process->exitCode(), 0) << process->readAllStandardError().toStdString();
    }
    const CliRun listed = cli({QStringLiteral("templates"), QStringLiteral("--library"), library});
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_EQ(listed.out.count(QLatin1Char('\n')), 9) << listed.out.toStdString();
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(listed.out.contains(QStringLiteral("T%1\t").arg(i)));
}

// SIGINT stops an import on its way: the run fails, and whatever it wrote is whole.
TEST_F(Cli, InterruptStopsAndLeavesNoPartialFile) {
    for (int i = 0; i < 60; ++i)
        dir.write(QStringLiteral("big/%1.jpg").arg(i, 2, 10, QLatin1Char('0')),
                  test::makeJpeg(test::gradientImage(1600, 1200)));
    const QString big = dir.file(QStringLiteral("big"));
    QProcess process;
    process.setProcessEnvironment(testEnvironment());
    process.start(QStringLiteral(ZANFOLD_CLI),
                  QStringList{QStringLiteral("crop"), QStringLiteral("--album"), big,
                              QStringLiteral("--template"), QStringLiteral("Wedding"),
                              QStringLiteral("--jobs"), QStringLiteral("1")} +
                      common());
    ASSERT_TRUE(process.waitForStarted());
    process.setReadChannel(QProcess::StandardError);
    // Interrupted as soon as the import reports progress.
    QByteArray err;
    while (!err.contains("progress") && process.waitForReadyRead(60000))
        err += process.readAllStandardError();
    ASSERT_TRUE(err.contains("progress"));
    if (const QString why = test::interrupt(process.processId()); !why.isEmpty()) {
        process.kill();
        process.waitForFinished();
        GTEST_SKIP() << why.toStdString();
    }
    ASSERT_TRUE(process.waitForFinished(120000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit); // stopped by itself, not killed
    EXPECT_NE(process.exitCode(), 0);
    err += process.readAllStandardError();
    EXPECT_TRUE(err.contains("导入相册已取消") || err.contains("裁图已取消")) << err.toStdString();
    QDirIterator it(big, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        EXPECT_TRUE(file.endsWith(QStringLiteral(".jpg"))) << file.toStdString(); // no temporary left
        EXPECT_TRUE(probe(file).ok()) << file.toStdString();
    }
}

TEST_F(Cli, BadArgumentsGetUsage) {
    EXPECT_EQ(cli({}).exitCode, 2);
    EXPECT_EQ(cli({QStringLiteral("frobnicate")}).exitCode, 2);
    const CliRun missing =
        cli(QStringList{QStringLiteral("crop"), QStringLiteral("--album"), album} + common());
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("--template")));
    EXPECT_EQ(cli({QStringLiteral("crop"), QStringLiteral("--bogus")}).exitCode, 2);
    const CliRun help = cli({QStringLiteral("render"), QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("--jobs")));
    const CliRun unknown = cli(QStringList{QStringLiteral("crop"), QStringLiteral("--album"), album,
                                           QStringLiteral("--template"), QStringLiteral("Nope")} +
                               common());
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("模板不存在：Nope")));
}

TEST(CliDemo, WritesTheSampleAndCropsIt) {
    TempDir dir;
    const CliRun run = cli({QStringLiteral("demo"), dir.path()});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString folder = dir.file(QStringLiteral("样例相册/样例相册/样例模板"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 21);
    EXPECT_EQ(probe(folder + QStringLiteral("/A012.jpg")).size, QSize(1920, 1080));
    EXPECT_EQ(probe(folder + QStringLiteral("/B006.jpg")).size, QSize(1080, 1920));
    EXPECT_EQ(probe(folder + QStringLiteral("/C003.jpg")).size, QSize(1000, 1000));
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("样例相册_样例模板.zpj"))));
    // A second run over the same folder works the same.
    EXPECT_EQ(cli({QStringLiteral("demo"), dir.path()}).exitCode, 0);
}

} // namespace
} // namespace zanfold
