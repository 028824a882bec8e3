#include "project/project_file.h"

#include "album/album_import.h"
#include "album/photo_ops.h"
#include "core/text.h"
#include "crop/assignment.h"
#include "crop/slots.h"
#include "imaging/faces.h"
#include "support/face_photos.h"
#include "support/jpeg_maker.h"
#include "support/qt_print.h"
#include "support/temp_dir.h"
#include "support/work_fixture.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <functional>

namespace zanfold {
namespace {

using test::RecordingUi;
using test::TempDir;

TEST(TextBlock, LayoutOfTheFormat) {
    EXPECT_EQ(textBlock("zfq"), QByteArray::fromHex("02000000"
                                                    "0300"
                                                    "7a6671"
                                                    "0000"
                                                    "0000"));
    EXPECT_EQ(textBlock(QByteArray()), QByteArray::fromHex("ffffffff"));
    const QByteArray big(70000, 'x');
    const QByteArray block = textBlock(big);
    EXPECT_EQ(block.left(10), QByteArray::fromHex("6f110100"
                                                  "ffff"
                                                  "70110100"));
    EXPECT_EQ(block.size(), 4 + 2 + 4 + 70000 + 2 * 69999);
}

// The smallest project: album D:\A (stored as the path it is), one photo used once, one template T1 with
// one position A1 holding photo 0 at (0, 0, 200, 150).
TEST(ProjectBytes, TheSmallestProjectIs111BytesAndItsPhotoNames) {
    AppState state;
    state.AlbumPath = QStringLiteral("D:\\A");
    state.Photos.push_back(test::makePhoto(0, {4000, 3000}));
    state.Photos[0].useCount = 1;
    state.Photos[0].usage = QStringLiteral("0:0:0|");
    test::addLibraryTemplate(state, QStringLiteral("T1"), {{'A', 1, 1920, 1080, 1}});
    state.WorkTemplates.push_back({0, 0});
    SlotRecord slot;
    slot.photo = 0;
    slot.name = QStringLiteral("A1");
    slot.cropWidth = 200;
    slot.cropHeight = 150;
    state.Slots.push_back(slot);
    const auto bytes = projectBytes(state, nullptr);
    ASSERT_TRUE(bytes);
    const QByteArray expected = QByteArray::fromHex("f0de6a15"
                                                    "02000000030"
                                                    "07a667100000000"
                                                    "030000000400443a5c41000000000000"
                                                    "01000000"
                                                    "01000000"
                                                    "050000000600303a303a307c00000000000000000000"
                                                    "01000000"
                                                    "0100000002005431"
                                                    "0000"
                                                    "01000000"
                                                    "00000000"
                                                    "0100000002004131"
                                                    "0000"
                                                    "0000000000000000c800000096000000");
    // The original format, then the block that names the photos: "ZFRT", version 1, one photo
    // (its file name) and no turns.
    EXPECT_EQ(bytes->left(111), expected);
    const QByteArray names = QByteArray::fromHex("5a465254"
                                                 "01000000"
                                                 "01000000") +
                             textBlock(state.Photos[0].fileName.toUtf8()) + QByteArray::fromHex("00000000");
    EXPECT_EQ(bytes->mid(111), names);
}

TEST(ProjectName, AlbumAndTemplates) {
    AppState state;
    state.AlbumPath = QStringLiteral("/photos/2015.05 Trip");
    test::addLibraryTemplate(state, QStringLiteral("T01"), {{'A', 1, 1920, 1080, 1}});
    test::addLibraryTemplate(state, QStringLiteral("T02"), {{'A', 1, 1920, 1080, 1}});
    state.WorkTemplates = {{0, 0}, {1, 1}};
    EXPECT_EQ(proposedProjectName(state), QStringLiteral("2015_T01_T02"));
    state.AlbumPath = QStringLiteral("/photos/Wedding");
    EXPECT_EQ(proposedProjectName(state), QStringLiteral("Wedding_T01_T02"));
}

// An album of three landscape photos and a portrait one, a library of two templates, a work using both.
class Project : public ::testing::Test {
protected:
    TempDir dir;
    AppState state;
    RecordingUi ui;
    QString file;

    void SetUp() override {
        test::setCanvasArea(state);
        for (int i = 1; i <= 3; ++i)
            dir.write(QStringLiteral("album/%1.jpg").arg(i),
                      test::makeJpeg(test::solidImage(400, 300, qRgb(50 * i, 0, 0))));
        dir.write(QStringLiteral("album/4.jpg"), test::makeJpeg(test::solidImage(300, 400, qRgb(0, 0, 200))));
        ASSERT_EQ(ALBUM_OPEN(state, ui, dir.file(QStringLiteral("album")), true), 1);
        test::addLibraryTemplate(state, QStringLiteral("Three"), {{'A', 3, 1920, 1080, 3}});
        test::addLibraryTemplate(state, QStringLiteral("Pair"), {{'P', 2, 1080, 1920, 2}});
        test::addToWork(state, ui, 0);
        test::addToWork(state, ui, 1);
        assignPhoto(state, 0, 0, 0, 0, 1920, 1080);
        assignPhoto(state, 2, 0, 0, 2, 1920, 1080);
        assignPhoto(state, 0, 1, 0, 1, 1080, 1920);
        state.Slots[2].cropX = 3;
        file = dir.file(QStringLiteral("work.zpj"));
        ASSERT_EQ(saveProjectTo(state, ui, file), 1);
        EXPECT_EQ(ui.status[1], QStringLiteral("已保存"));
    }
    // A fresh program with the same library.
    AppState fresh() const {
        AppState s;
        test::setCanvasArea(s);
        s.Templates = state.Templates;
        s.TemplateNames = state.TemplateNames;
        return s;
    }
    std::vector<int> photos(const AppState& s) const {
        std::vector<int> out;
        for (const SlotRecord& slot : s.Slots)
            out.push_back(slot.photo);
        return out;
    }
};

TEST_F(Project, RoundTripRestoresAssignmentsAndCrops) {
    AppState opened = fresh();
    RecordingUi ui2;
    ASSERT_EQ(openProjectFrom(opened, ui2, file), 1);
    EXPECT_TRUE(ui2.messages.empty());
    EXPECT_EQ(opened.AlbumPath, dir.file(QStringLiteral("album")));
    EXPECT_EQ(photos(opened), (std::vector<int>{0, -1, 2, -1, 0}));
    EXPECT_EQ(opened.Slots[2].cropX, 3);
    EXPECT_EQ(opened.Slots[4].name, QStringLiteral("P02"));
    EXPECT_EQ(opened.Photos[0].useCount, 2);
    EXPECT_EQ(opened.Photos[0].usage, QStringLiteral("0:0:0|1:0:1|"));
    EXPECT_EQ(opened.WorkTemplates[1].firstSlot, 3);
    EXPECT_EQ(opened.CurrentWork, 0);
    EXPECT_EQ(ui2.tabs[TabStrip::Works], (QStringList{QStringLiteral("Three "), QStringLiteral("Pair ")}));
    EXPECT_EQ(opened.ProjectPath, file);
    EXPECT_EQ(opened.ProjectFolder, dir.path());
    EXPECT_EQ(checkInvariants(opened), QString());
    // Saving it again gives the same bytes.
    const QString again = dir.file(QStringLiteral("again.zpj"));
    ASSERT_EQ(saveProjectTo(opened, ui2, again), 1);
    EXPECT_EQ(TempDir::read(again), TempDir::read(file));
}

TEST_F(Project, TurnedPhotosComeBackTurned) {
    state.CurrentPhoto = 1; // 2.jpg, unused
    PHOTO_ROTATE(state, ui, 3);
    const int turned = state.CurrentPhoto;
    assignPhoto(state, turned, 1, 0, 0, 1080, 1920);
    ASSERT_EQ(saveProjectTo(state, ui, file), 1);
    AppState opened = fresh();
    RecordingUi ui2;
    ASSERT_EQ(openProjectFrom(opened, ui2, file), 1);
    EXPECT_EQ(opened.Photos[turned].fileName, QStringLiteral("2.jpg"));
    EXPECT_EQ(opened.Photos[turned].image.quarterTurns, 3);
    EXPECT_EQ(QSize(opened.Photos[turned].width, opened.Photos[turned].height), QSize(300, 400));
    EXPECT_EQ(opened.AlbumOrientCount, state.AlbumOrientCount);
    // The status bar counts the turned photo in its new group, as the saved work did.
    EXPECT_EQ(ui2.status[2], QStringLiteral(" 照片数量： 4 (横 2 竖 2 方 0)"));
    EXPECT_EQ(photos(opened), photos(state));
    EXPECT_EQ(checkInvariants(opened), QString());
}

// Faces are found in the photo as its file shows it, then turned with the photo as the project says.
TEST_F(Project, TurnedPhotosFacesTurnWithThemWhenReopened) {
    const QString two =
        dir.write(QStringLiteral("album/2.jpg"),
                  test::makeJpeg(test::pictureWithFaces(400, 300, {QRect(250, 60, 120, 120)})));
    state.CurrentPhoto = 1;
    PHOTO_ROTATE(state, ui, 3);
    const int turned = state.CurrentPhoto;
    ASSERT_EQ(saveProjectTo(state, ui, file), 1);
    AppState opened = fresh();
    opened.settings.FaceCrop = 1;
    RecordingUi ui2;
    ASSERT_EQ(openProjectFrom(opened, ui2, file), 1);
    PhotoRecord upright;
    upright.image = {two, 1, 0};
    upright.width = 400;
    upright.height = 300;
    ASSERT_TRUE(findPhotoFaces(upright));
    ASSERT_EQ(upright.faces.size(), 1u);
    EXPECT_EQ(opened.Photos[turned].fileName, QStringLiteral("2.jpg"));
    EXPECT_EQ(opened.Photos[turned].faces, turnFaces(upright.faces, {400, 300}, 3));
}

TEST_F(Project, ReopenedWorkShowsTheMasksStillInTheTemplateFolder) {
    dir.write(QStringLiteral("tpl/Pair.aep"), "");
    dir.write(QStringLiteral("tpl/蒙版/P01.png"), test::makePng(test::solidImage(108, 192, qRgb(0, 255, 0))));
    state.Templates[1].path = dir.file(QStringLiteral("tpl")) + QLatin1Char('/');
    AppState opened = fresh();
    RecordingUi ui2;
    ASSERT_EQ(openProjectFrom(opened, ui2, file), 1);
    EXPECT_EQ(opened.Slots[3].name, QStringLiteral("P01"));
    EXPECT_EQ(opened.Slots[3].mask.size(), QSize(112, 200)); // 1080 x 1920 in 200 x 200
    EXPECT_EQ(opened.Slots[3].mask.pixelColor(50, 100), QColor(0, 255, 0));
    EXPECT_TRUE(opened.Slots[4].mask.isNull()); // no P02.png
    EXPECT_TRUE(opened.Slots[0].mask.isNull()); // template without a folder
}

// A turns block cut short used to be dropped: the turned photo came back unturned, with no word.
TEST_F(Project, ACutTurnsBlockIsAReadFailure) {
    state.CurrentPhoto = 1;
    PHOTO_ROTATE(state, ui, 3);
    ASSERT_EQ(saveProjectTo(state, ui, file), 1);
    const QByteArray whole = TempDir::read(file);
    const qsizetype block = whole.indexOf(QByteArray::fromHex("5a465254")); // "ZFRT"
    ASSERT_GT(block, 0);
    for (const qsizetype cut : {block + 8, block + 12, block + 20, whole.size() - 1}) {
        dir.write(QStringLiteral("cut.zpj"), whole.left(cut));
        AppState opened = fresh();
        RecordingUi ui2;
        EXPECT_EQ(openProjectFrom(opened, ui2, dir.file(QStringLiteral("cut.zpj"))), 0) << cut;
        EXPECT_EQ(ui2.lastMessage().text,
                  QStringLiteral("打开项目时出现以下错误：\nError: 62, Input past end of file"));
        EXPECT_TRUE(opened.AlbumPath.isEmpty()) << cut; // nothing was imported
    }
}

// Names from the file become output file names: "../../../escaped" wrote outside the output folder.
TEST_F(Project, PositionNamesMustBePlainAndUnique) {
    const QString bad[] = {QStringLiteral("../../../escaped"),
                           QStringLiteral("a\\b"),
                           QString(),
                           QStringLiteral(".."),
                           QStringLiteral("A\x01"),
                           state.Slots[0].name};
    for (const QString& name : bad) {
        const QString kept = state.Slots[1].name;
        state.Slots[1].name = name; // the last repeats the first position's name
        ASSERT_EQ(saveProjectTo(state, ui, file), 1);
        state.Slots[1].name = kept;
        AppState opened = fresh();
        RecordingUi ui2;
        EXPECT_EQ(openProjectFrom(opened, ui2, file), 0) << name.toStdString();
        EXPECT_EQ(ui2.lastMessage().text,
                  QStringLiteral("项目文件中的裁图位置名称无效：“%1”（模板 Three）").arg(name));
        EXPECT_TRUE(opened.WorkTemplates.empty());
    }
}

// Crops from a file are checked before any arithmetic: 2e9 used to overflow the output's conversion.
TEST_F(Project, ImpossibleCropsAreResetWithAWarning) {
    state.Slots[0].cropX = 2000000000;
    state.Slots[2].cropWidth = 0;
    state.Slots[4].cropHeight = -5;
    state.Slots[4].cropY = INT_MIN;
    ASSERT_EQ(saveProjectTo(state, ui, file), 1);
    AppState opened = fresh();
    RecordingUi ui2;
    ASSERT_EQ(openProjectFrom(opened, ui2, file), 1);
    EXPECT_EQ(
        ui2.lastMessage().text,
        QStringLiteral(
            "有 3 "
            "个裁图位置的裁图框超出了照片的范围，已重置为默认位置：\nThree：A001\nThree：A003\nPair：P02"));
    const SlotRecord& a = opened.Slots[0];
    EXPECT_EQ(QRect(a.cropX, a.cropY, a.cropWidth, a.cropHeight), QRect(0, 19, 200, 112));
    EXPECT_EQ(opened.Slots[4].cropHeight, 150);
    EXPECT_EQ(checkInvariants(opened), QString());
}

TEST_F(Project, FailuresBeforeTheImportChangeNothing) {
    const QByteArray good = TempDir::read(file);
    struct Case {
        const char* name;
        QByteArray bytes;
        QString message;
    };
    QByteArray wrongSignature = good;
    wrongSignature[10] = 'x';
    const Case cases[] = {
        {"magic", QByteArray("\x00\x01\x02\x03", 4) + good.mid(4), QStringLiteral("非法的Zanfold项目文件！")},
        {"signature", wrongSignature, QStringLiteral("非法的Zanfold项目文件！")},
        {"empty", QByteArray(),
         QStringLiteral("打开项目时出现以下错误：\nError: 62, Input past end of file")},
        // A text of 2^31 - 1 entries: counting its entries must not overflow.
        {"huge text", good.left(4) + QByteArray::fromHex("ffffff7f") + good.mid(8),
         QStringLiteral("打开项目时出现以下错误：\nError: 62, Input past end of file")},
    };
    for (const Case& c : cases) {
        AppState opened = fresh();
        opened.AlbumPath = QStringLiteral("/kept");
        RecordingUi ui2;
        dir.write(QStringLiteral("bad.zpj"), c.bytes);
        EXPECT_EQ(openProjectFrom(opened, ui2, dir.file(QStringLiteral("bad.zpj"))), 0) << c.name;
        EXPECT_EQ(ui2.lastMessage().text, c.message) << c.name;
        EXPECT_EQ(ui2.lastMessage().icon, Icon::Warning);
        EXPECT_EQ(opened.AlbumPath, QStringLiteral("/kept")) << c.name;
    }
}

TEST_F(Project, EveryTruncationFailsCleanly) {
    const QByteArray good = TempDir::read(file);
    // Cut just before the block that names the photos, the file is a whole project of the original format.
    const qsizetype original = good.lastIndexOf(QByteArray::fromHex("5a465254"));
    ASSERT_GT(original, 0);
    for (qsizetype length = 0; length < good.size(); ++length) {
        if (length == original) continue;
        AppState opened = fresh();
        RecordingUi ui2;
        dir.write(QStringLiteral("cut.zpj"), good.left(length));
        ASSERT_EQ(openProjectFrom(opened, ui2, dir.file(QStringLiteral("cut.zpj"))), 0) << length;
        ASSERT_EQ(ui2.messages.size(), 1u) << length;
        EXPECT_TRUE(opened.WorkTemplates.empty()) << length;
        EXPECT_TRUE(opened.Slots.empty());
        EXPECT_EQ(checkInvariants(opened), QString());
    }
}

TEST_F(Project, CountsThatLieAreCaught) {
    const QByteArray good = TempDir::read(file);
    const QByteArray album = textBlock(dir.file(QStringLiteral("album")).toUtf8());
    const qsizetype countAt = 4 + 13 + album.size(); // N follows the album folder
    for (const qint32 lie : {0x7FFFFFFF, -5, 1000000}) {
        QByteArray bytes = good;
        qToLittleEndian(lie, bytes.data() + countAt);
        dir.write(QStringLiteral("lie.zpj"), bytes);
        AppState opened = fresh();
        RecordingUi ui2;
        EXPECT_EQ(openProjectFrom(opened, ui2, dir.file(QStringLiteral("lie.zpj"))), 0);
        EXPECT_EQ(ui2.lastMessage().text,
                  QStringLiteral("打开项目时出现以下错误：\nError: 62, Input past end of file"));
    }
    // The position count: five positions follow it (three named A00n, two P0n), 174 bytes in all, then the
    // block that names the photos.
    const qsizetype positionsEnd = good.lastIndexOf(QByteArray::fromHex("5a465254"));
    for (const qint32 lie : {0x7FFFFFFF, 6, -1}) {
        QByteArray bytes = good;
        qToLittleEndian(lie, bytes.data() + positionsEnd - 174 - 4);
        dir.write(QStringLiteral("lie.zpj"), bytes);
        AppState opened = fresh();
        RecordingUi ui2;
        EXPECT_EQ(openProjectFrom(opened, ui2, dir.file(QStringLiteral("lie.zpj"))), 0) << lie;
        // One more position reads into the block after them: the count no longer fits the templates.
        EXPECT_EQ(ui2.lastMessage().text,
                  lie == 6
                      ? QStringLiteral("项目文件的裁图位置数量（6）与模板的位置数量（5）不符，无法恢复！")
                      : QStringLiteral("打开项目时出现以下错误：\nError: 62, Input past end of file"));
        EXPECT_TRUE(opened.WorkTemplates.empty());
    }
    // A text block claiming a huge number of entries.
    QByteArray bytes = good;
    qToLittleEndian<qint32>(0x7FFFFFF0, bytes.data() + 4);
    dir.write(QStringLiteral("lie.zpj"), bytes);
    AppState opened = fresh();
    RecordingUi ui2;
    EXPECT_EQ(openProjectFrom(opened, ui2, dir.file(QStringLiteral("lie.zpj"))), 0);
}

TEST_F(Project, MissingTemplateKeepsTheAlbumWithAnEmptyWork) {
    AppState opened = fresh();
    opened.TemplateNames[1] = QStringLiteral("Renamed");
    RecordingUi ui2;
    EXPECT_EQ(openProjectFrom(opened, ui2, file), 0);
    EXPECT_EQ(ui2.lastMessage().text, QStringLiteral("项目所需模板不存在：Pair"));
    EXPECT_EQ(opened.AlbumPath, dir.file(QStringLiteral("album")));
    EXPECT_EQ(opened.Photos.size(), 4u);
    EXPECT_TRUE(opened.WorkTemplates.empty());
    EXPECT_EQ(checkInvariants(opened), QString());
}

TEST_F(Project, TemplatesThatChangedSizeCannotBeMapped) {
    AppState opened = fresh();
    opened.Templates[1].count = 5;
    opened.Templates[1].spec[0].count = 5;
    RecordingUi ui2;
    EXPECT_EQ(openProjectFrom(opened, ui2, file), 0);
    EXPECT_TRUE(ui2.lastMessage().text.contains(QStringLiteral("裁图位置数量")));
    EXPECT_TRUE(opened.WorkTemplates.empty());
    EXPECT_EQ(opened.Photos.size(), 4u);
}

// Positions follow their photos by name, whatever photos joined or left the folder since the save.
TEST_F(Project, AnAlbumThatChangedKeepsEveryPositionOnItsPhoto) {
    const QByteArray landscape = test::makeJpeg(test::solidImage(400, 300, qRgb(9, 9, 9)));
    const QByteArray portrait = test::makeJpeg(test::solidImage(300, 400, qRgb(9, 9, 9)));
    struct Case {
        const char* name;
        std::function<void()> change;
        std::vector<const char*> expected; // each position's photo file, "" for none
        QStringList named;                 // in the one warning; empty: no warning
    };
    const Case cases[] = {
        {"landscape added first",
         [&] { dir.write(QStringLiteral("album/0.jpg"), landscape); },
         {"1.jpg", "", "3.jpg", "", "1.jpg"},
         {}},
        {"portrait added first",
         [&] { dir.write(QStringLiteral("album/0.jpg"), portrait); },
         {"1.jpg", "", "3.jpg", "", "1.jpg"},
         {}},
        {"unused photo gone",
         [&] { QFile::remove(dir.file(QStringLiteral("album/2.jpg"))); },
         {"1.jpg", "", "3.jpg", "", "1.jpg"},
         {}},
        {"used photo gone",
         [&] {
             QFile::remove(dir.file(QStringLiteral("album/3.jpg")));
             QFile::remove(dir.file(QStringLiteral("album/4.jpg")));
         },
         {"1.jpg", "", "", "", "1.jpg"},
         {QStringLiteral("Three：A003"), QStringLiteral("3.jpg")}},
    };
    const QString album = dir.file(QStringLiteral("album"));
    for (const Case& c : cases) {
        const QString copy = dir.file(QStringLiteral("copy"));
        QDir(copy).removeRecursively();
        QDir().rename(album, copy);
        QDir().mkpath(album);
        for (const QString& f : QDir(copy).entryList(QDir::Files))
            QFile::copy(copy + QLatin1Char('/') + f, album + QLatin1Char('/') + f);
        c.change();
        AppState opened = fresh();
        RecordingUi ui2;
        ASSERT_EQ(openProjectFrom(opened, ui2, file), 1) << c.name;
        std::vector<QString> files;
        for (const SlotRecord& slot : opened.Slots)
            files.push_back(slot.photo >= 0 ? opened.Photos[slot.photo].fileName : QString());
        std::vector<QString> expected;
        for (const char* f : c.expected)
            expected.push_back(QString::fromLatin1(f));
        EXPECT_EQ(files, expected) << c.name;
        if (c.named.isEmpty()) {
            EXPECT_TRUE(ui2.messages.empty()) << c.name << ": " << ui2.lastMessage().text.toStdString();
        } else {
            ASSERT_EQ(ui2.messages.size(), 1u) << c.name;
            for (const QString& part : c.named)
                EXPECT_TRUE(ui2.lastMessage().text.contains(part)) << ui2.lastMessage().text.toStdString();
        }
        EXPECT_EQ(checkInvariants(opened), QString()) << c.name;
        // Allocation by orientation reads each group as one run of the album.
        EXPECT_TRUE(
            std::is_sorted(opened.Photos.begin(), opened.Photos.end(),
                           [](const PhotoRecord& a, const PhotoRecord& b) { return a.orient < b.orient; }));
        QDir(album).removeRecursively();
        QDir().rename(copy, album);
    }
}

// A photo under a GBK name (an archive of Chinese Windows) keeps its positions through a save and a reopen.
TEST_F(Project, PhotosWithGbkNamesReopenOnTheirPositions) {
    const QByteArray name = *toGb18030(QStringLiteral("新娘.jpg"));
    const QByteArray path = QFile::encodeName(dir.file(QStringLiteral("album"))) + '/' + name;
    const QByteArray jpeg = test::makeJpeg(test::solidImage(400, 300, qRgb(9, 9, 9)));
    QFile raw;
    ASSERT_TRUE(
        raw.open(std::fopen(path.constData(), "wb"), QIODevice::WriteOnly, QFileDevice::AutoCloseHandle));
    raw.write(jpeg);
    raw.close();
    AppState work = fresh();
    RecordingUi ui2;
    ASSERT_EQ(ALBUM_OPEN(work, ui2, dir.file(QStringLiteral("album")), true), 1);
    int bride = -1;
    for (int i = 0; i < static_cast<int>(work.Photos.size()); ++i)
        if (work.Photos[i].fileName == QStringLiteral("新娘.jpg")) bride = i;
    ASSERT_GE(bride, 0);
    test::addToWork(work, ui2, 0);
    assignPhoto(work, bride, 0, 0, 1, 1920, 1080);
    const QString saved = dir.file(QStringLiteral("gbk.zpj"));
    ASSERT_EQ(saveProjectTo(work, ui2, saved), 1);
    AppState opened = fresh();
    ASSERT_EQ(openProjectFrom(opened, ui2, saved), 1);
    ASSERT_GE(opened.Slots[1].photo, 0);
    EXPECT_EQ(opened.Photos[opened.Slots[1].photo].fileName, QStringLiteral("新娘.jpg"));
}

// A file of the original format names no photos: when the album's size changed, every position that
// holds a photo is named, since its photo may be another one now.
TEST_F(Project, AnOldFileOverAChangedAlbumNamesThePositionsItCannotVouchFor) {
    const QByteArray whole = TempDir::read(file);
    const QString old = dir.file(QStringLiteral("old.zpj"));
    dir.write(QStringLiteral("old.zpj"), whole.left(whole.lastIndexOf(QByteArray::fromHex("5a465254"))));
    AppState same = fresh();
    RecordingUi quiet;
    ASSERT_EQ(openProjectFrom(same, quiet, old), 1);
    EXPECT_TRUE(quiet.messages.empty()); // the same album: nothing to say
    dir.write(QStringLiteral("album/0.jpg"), test::makeJpeg(test::solidImage(400, 300, qRgb(9, 9, 9))));
    AppState opened = fresh();
    RecordingUi ui2;
    ASSERT_EQ(openProjectFrom(opened, ui2, old), 1);
    ASSERT_EQ(ui2.messages.size(), 1u);
    const QString text = ui2.lastMessage().text;
    EXPECT_TRUE(text.contains(QStringLiteral("（4 张，现在 5 张）"))) << text.toStdString();
    for (const char* position : {"Three：A001", "Three：A003", "Pair：P02"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(position))) << position;
}

TEST_F(Project, FailedSaveKeepsTheOldFile) {
    const QByteArray before = TempDir::read(file);
    EXPECT_EQ(saveProjectTo(state, ui, dir.file(QStringLiteral("no/such/folder/x.zpj"))), 0);
    EXPECT_TRUE(ui.lastMessage().text.startsWith(QStringLiteral("保存项目出错：\nError: ")));
    EXPECT_TRUE(ui.lastMessage().text.endsWith(QStringLiteral("\n") +
                                               dir.file(QStringLiteral("no/such/folder/x.zpj"))));
    // Saving over a longer file leaves exactly the new length.
    dir.write(QStringLiteral("long.zpj"), QByteArray(5000, 'z'));
    ASSERT_EQ(saveProjectTo(state, ui, dir.file(QStringLiteral("long.zpj"))), 1);
    EXPECT_EQ(TempDir::read(dir.file(QStringLiteral("long.zpj"))), before);
}

TEST_F(Project, DialogsAndQuestions) {
    ui.saveFiles.push_back(QString());
    EXPECT_EQ(SAVEPROJAS(state, ui), 0); // cancelled
    ui.answers.push_back(Answer::Cancel);
    EXPECT_EQ(OPENPROJ(state, ui), 0);
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("确信要替换当前工作吗？"));
    EXPECT_EQ(ui.lastMessage().byDefault, Answer::Cancel);
    ui.openFiles.push_back(file);
    EXPECT_EQ(OPENPROJ(state, ui), 1);
}

// A reopened work knows which crops were set by hand: those that differ from their initial crop.
TEST_F(Project, CropsMovedByHandAreKnownAfterReopening) {
    AppState opened = fresh();
    RecordingUi ui2;
    ASSERT_EQ(openProjectFrom(opened, ui2, file), 1);
    std::vector<bool> handSet;
    for (const SlotRecord& s : opened.Slots)
        handSet.push_back(s.handSet);
    EXPECT_EQ(handSet, (std::vector<bool>{false, false, true, false, false})); // position 2 was moved
}

// 保存项目 goes back into the work's own file; 另存为 asks, and the file it names becomes the work's.
TEST_F(Project, SaveWritesTheWorksFileAndSaveAsAsksForOne) {
    AppState opened = fresh();
    RecordingUi ui2;
    ASSERT_EQ(openProjectFrom(opened, ui2, file), 1);
    EXPECT_EQ(ui2.caption,
              opened.AppTitle + QStringLiteral(" - work.zpj - ") + dir.file(QStringLiteral("album")));
    opened.Slots[0].cropX = 7;
    ASSERT_EQ(SAVEPROJ(opened, ui2), 1);
    EXPECT_TRUE(ui2.saveFiles.empty());
    AppState again = fresh();
    ASSERT_EQ(openProjectFrom(again, ui2, file), 1);
    EXPECT_EQ(again.Slots[0].cropX, 7);

    const QString other = dir.file(QStringLiteral("copy.zpj"));
    ui2.saveFiles.push_back(other);
    ASSERT_EQ(SAVEPROJAS(opened, ui2), 1);
    EXPECT_EQ(opened.ProjectPath, other);
    opened.Slots[0].cropX = 9;
    ASSERT_EQ(SAVEPROJ(opened, ui2), 1);
    AppState third = fresh();
    ASSERT_EQ(openProjectFrom(third, ui2, other), 1);
    EXPECT_EQ(third.Slots[0].cropX, 9);
    ASSERT_EQ(openProjectFrom(third, ui2, file), 1);
    EXPECT_EQ(third.Slots[0].cropX, 7); // the first file was left alone

    // A work never saved has no file yet: 保存项目 asks.
    state.ProjectPath.clear();
    ui.saveFiles.push_back(QString());
    EXPECT_EQ(SAVEPROJ(state, ui), 0);
    EXPECT_TRUE(ui.saveFiles.empty());
}

// The album folder moved: the user shows its new place, the work opens from there and counts as changed,
// and the file stays as it was until it is saved.
TEST_F(Project, AnAlbumThatMovedOpensFromItsNewPlace) {
    const QByteArray before = TempDir::read(file);
    ASSERT_TRUE(QDir().rename(dir.file(QStringLiteral("album")), dir.file(QStringLiteral("moved"))));
    QDir().mkpath(dir.file(QStringLiteral("unrelated")));
    dir.write(QStringLiteral("unrelated/x.jpg"), test::makeJpeg(test::solidImage(40, 30, qRgb(1, 2, 3))));
    QFile::remove(dir.file(QStringLiteral("moved/4.jpg")));

    // Refused: Cancel on the question, then an empty dialog.
    for (const bool answerOk : {false, true}) {
        AppState opened = fresh();
        opened.AlbumPath = QStringLiteral("/kept");
        RecordingUi ui2;
        ui2.answers.push_back(answerOk ? Answer::Ok : Answer::Cancel);
        EXPECT_EQ(openProjectFrom(opened, ui2, file), 0);
        EXPECT_TRUE(
            ui2.messages.front().text.contains(QDir::toNativeSeparators(dir.file(QStringLiteral("album")))));
        EXPECT_EQ(ui2.messages.front().byDefault, Answer::Cancel);
        EXPECT_EQ(opened.AlbumPath, QStringLiteral("/kept"));
    }

    AppState opened = fresh();
    RecordingUi ui2;
    ui2.folders = {dir.file(QStringLiteral("unrelated")), dir.file(QStringLiteral("moved"))};
    ASSERT_EQ(openProjectFrom(opened, ui2, file), 1);
    EXPECT_TRUE(ui2.folders.empty());
    QStringList texts;
    for (const auto& m : ui2.messages)
        texts << m.text;
    // A folder without the project's photos is refused by name; the right one says what it lacks.
    EXPECT_TRUE(texts.join(QLatin1Char('|')).contains(QStringLiteral("所选文件夹中没有这个项目的照片")));
    EXPECT_TRUE(
        texts.join(QLatin1Char('|')).contains(QStringLiteral("新位置缺少项目的 1 张照片（共 4 张）")));
    EXPECT_EQ(opened.AlbumPath, dir.file(QStringLiteral("moved")));
    EXPECT_EQ(opened.WorkTemplates.size(), 2u);
    EXPECT_TRUE(opened.History.changed());
    EXPECT_EQ(TempDir::read(file), before);
}

} // namespace
} // namespace zanfold
