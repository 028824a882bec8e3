#include "output/batch_crop.h"

#include "output/preflight.h"

#include "album/album_import.h"
#include "core/busy.h"
#include "crop/assignment.h"
#include "crop/slots.h"
#include "imaging/picture.h"
#include "imaging/regular_file.h"
#include "support/jpeg_maker.h"
#include "support/qt_print.h"
#include "support/system_faults.h"
#include "support/temp_dir.h"
#include "support/work_fixture.h"
#include "templates/library_file.h"
#include "templates/template_window.h"

#include <QDir>
#include <QFile>

#include <QFile>
#include <algorithm>

#include <gtest/gtest.h>

#include <functional>

#include <cmath>

namespace zanfold {
namespace {

using test::RecordingUi;
using test::TempDir;

TEST(OutputFolders, LayoutsOfTheSettings) {
    struct Case {
        const char* album;
        int useOutFolder, folderType;
        bool batch;
        const char* expected;
    };
    const Case cases[] = {
        {"/photos/trip", 0, 0, true, "/photos/trip/trip/Wedding"},
        {"/photos/trip", 0, 1, true, "/photos/trip/trip_Wedding"},
        {"/photos/trip", 1, 0, true, "/out/trip/Wedding"},
        {"/photos/trip", 1, 1, true, "/out/trip_Wedding"},
        {"/photos/trip.2015", 0, 0, true, "/photos/trip.2015/trip/Wedding"},
        {"/photos/trip.2015", 0, 0, false, "/photos/trip.2015/trip.2015/Wedding"},
        {"/photos/trip.2015", 1, 1, false, "/out/trip.2015_Wedding"},
    };
    for (const Case& c : cases) {
        AppState state;
        state.AlbumPath = QString::fromLatin1(c.album);
        state.settings.UseOutFolder = c.useOutFolder;
        state.settings.OutFolder = QStringLiteral("/out/");
        state.settings.OutFolderType = c.folderType;
        test::addLibraryTemplate(state, QStringLiteral("Wedding"), {{'A', 2, 1920, 1080, 1}});
        state.WorkTemplates.push_back({0, 0});
        EXPECT_EQ(templateFolder(state, 0, c.batch), QString::fromLatin1(c.expected)) << c.album;
    }
}

TEST(OutputText, ElapsedWithThreeDecimals) {
    EXPECT_EQ(finishedText(3257), QStringLiteral("裁图完成！用时：3.257秒"));
    EXPECT_EQ(finishedText(50), QStringLiteral("裁图完成！用时：0.050秒"));
    EXPECT_EQ(finishedText(61000), QStringLiteral("裁图完成！用时：61.000秒"));
}

TEST(OutputColour, WindowsColourValue) {
    EXPECT_EQ(backgroundColour(0x0000FF), qRgb(255, 0, 0));
}

// An album "trip" of real photos and a work of templates whose positions are filled.
class Batch : public ::testing::Test {
protected:
    TempDir dir;
    AppState state;
    RecordingUi ui;

    void SetUp() override {
        test::setCanvasArea(state);
        state.settings.OpenFolder = 0;
    }
    void importAlbum(const std::vector<std::pair<QString, QImage>>& photos) {
        for (const auto& [name, image] : photos)
            dir.write(QStringLiteral("trip/") + name, test::makeJpeg(image));
        ASSERT_EQ(ALBUM_OPEN(state, ui, dir.file(QStringLiteral("trip")), true), 1);
    }
    int addTemplate(const QString& name, const std::vector<SpecRecord>& specs) {
        test::addToWork(state, ui, test::addLibraryTemplate(state, name, specs));
        return static_cast<int>(state.WorkTemplates.size()) - 1;
    }
    void fillAll(int photo) {
        for (int w = 0; w < static_cast<int>(state.WorkTemplates.size()); ++w) {
            const TemplateRecord& t = templateOf(state, w);
            for (int s = 0; s < t.pTypeSum; ++s)
                for (int n = 0; n < t.spec[s].count; ++n)
                    assignPhoto(state, photo, w, s, n, t.spec[s].width, t.spec[s].height);
        }
    }
    QString out(const QString& relative) const { return dir.file(QStringLiteral("trip/trip/") + relative); }
};

TEST_F(Batch, WritesEveryPositionAtItsSizeAndName) {
    importAlbum({{QStringLiteral("1.jpg"), test::gradientImage(4000, 3000)}});
    addTemplate(QStringLiteral("婚礼"), {{'A', 3, 1920, 1080, 2}, {'B', 2, 1080, 1920, 1}});
    fillAll(0);
    state.Slots[0].cropX = 0;
    state.Slots[0].cropY = 19;
    state.Slots[0].cropWidth = 200;
    state.Slots[0].cropHeight = 112;
    state.settings.OpenFolder = 1;
    EXPECT_EQ(CLIP_BEGIN(state, ui), 1);
    EXPECT_EQ(ui.messages.front().text, QStringLiteral("确信要开始裁图吗？"));
    const SlotRecord& a = state.Slots[0];
    EXPECT_EQ(QRect(a.srcX, a.srcY, a.srcWidth, a.srcHeight), QRect(0, 380, 4000, 2240));
    EXPECT_EQ(a.outFolder, out(QStringLiteral("婚礼/")));
    const std::pair<const char*, QSize> files[] = {
        {"婚礼/A001.jpg", {1920, 1080}}, {"婚礼/A002.jpg", {1920, 1080}}, {"婚礼/B01.jpg", {1080, 1920}}};
    for (const auto& [name, size] : files) {
        const PictureInfo info = probe(out(QString::fromUtf8(name)));
        ASSERT_TRUE(info.ok()) << name;
        EXPECT_EQ(info.kind, PictureKind::Jpeg);
        EXPECT_EQ(info.size, size) << name;
    }
    EXPECT_EQ(QDir(out(QStringLiteral("婚礼"))).entryList(QDir::Files).size(), 3);
    EXPECT_TRUE(ui.status[1].startsWith(QStringLiteral("裁图完成！用时：")));
    EXPECT_EQ(ui.lastMessage().icon, Icon::Information);
    EXPECT_EQ(ui.opened, QStringList{out(QStringLiteral("婚礼"))});
    EXPECT_GE(ui.progressHidden, 1);
}

TEST_F(Batch, DeletingAnEarlierLibraryTemplateKeepsTheWorkCroppable) {
    state.TemplateFile = dir.file(QStringLiteral("zfTemplate.xml"));
    importAlbum({{QStringLiteral("1.jpg"), test::gradientImage(4000, 3000)}});
    test::addLibraryTemplate(state, QStringLiteral("早"), {{'Z', 3, 500, 500, 4}});
    ASSERT_TRUE(TEMPLATE_SAVE(state, ui));
    addTemplate(QStringLiteral("婚礼"), {{'A', 3, 1920, 1080, 1}, {'B', 2, 1080, 1920, 1}});
    ASSERT_TRUE(TEMPLATE_SAVE(state, ui));
    fillAll(0);

    TemplateWindow window = FRMTEMPLATE(state);
    TEMPLATE_SELCHANGE(window, state, {0, -1});
    TEMPLATE_DELETE(window, state, ui);
    ASSERT_EQ(state.TemplateNames, QStringList{QStringLiteral("婚礼")});

    EXPECT_EQ(CLIP_BEGIN(state, ui), 1);
    for (const auto& [name, size] :
         {std::pair{"婚礼/A001.jpg", QSize(1920, 1080)}, {"婚礼/B01.jpg", {1080, 1920}}}) {
        const PictureInfo info = probe(out(QString::fromUtf8(name)));
        ASSERT_TRUE(info.ok()) << name;
        EXPECT_EQ(info.size, size) << name;
    }
}

TEST_F(Batch, OutputMatchesAnIndependentAreaAverage) {
    const QImage original = test::gradientImage(240, 180);
    test::JpegOptions o;
    o.quality = 100;
    o.lumaH = o.lumaV = 1;
    dir.write(QStringLiteral("trip/g.jpg"), test::makeJpeg(original, o));
    ASSERT_EQ(ALBUM_OPEN(state, ui, dir.file(QStringLiteral("trip")), true), 1);
    addTemplate(QStringLiteral("T"), {{'A', 1, 100, 60, 1}});
    fillAll(0);
    SlotRecord& s = state.Slots[0];
    s.cropX = 30;
    s.cropY = 20;
    s.cropWidth = 150;
    s.cropHeight = 90;
    state.settings.FinishAsk = 0;
    ASSERT_EQ(CLIP_BEGIN(state, ui), 1);
    // Thumbnail 200 x 150 of a 240 x 180 photo: factor 1.2, so the source is (36, 24, 180, 108).
    EXPECT_EQ(QRect(s.srcX, s.srcY, s.srcWidth, s.srcHeight), QRect(36, 24, 180, 108));
    const Rendered written = thumbnail({out(QStringLiteral("T/A1.jpg")), 1, 0}, 100, 60, ThumbMode::Safe);
    ASSERT_TRUE(written.ok());
    QImage reference(100, 60, QImage::Format_RGB888);
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 100; ++x) {
            double sum[3] = {0, 0, 0};
            // Each output pixel covers 1.8 x 1.8 source pixels.
            const double x0 = 36 + x * 1.8, y0 = 24 + y * 1.8;
            double area = 0;
            for (int sy = int(y0); sy < int(std::ceil(y0 + 1.8)); ++sy)
                for (int sx = int(x0); sx < int(std::ceil(x0 + 1.8)); ++sx) {
                    const double w = (std::min(x0 + 1.8, sx + 1.0) - std::max(x0, double(sx))) *
                                     (std::min(y0 + 1.8, sy + 1.0) - std::max(y0, double(sy)));
                    const QRgb p = original.pixel(sx, sy);
                    sum[0] += w * qRed(p);
                    sum[1] += w * qGreen(p);
                    sum[2] += w * qBlue(p);
                    area += w;
                }
            reference.setPixel(
                x, y, qRgb(int(sum[0] / area + 0.5), int(sum[1] / area + 0.5), int(sum[2] / area + 0.5)));
        }
    }
    EXPECT_LT(test::meanAbsDiff(written.image, reference), 3.0);
}

TEST_F(Batch, EmptyPositionStopsBeforeAnythingIsWritten) {
    importAlbum({{QStringLiteral("1.jpg"), test::solidImage(400, 300, qRgb(9, 9, 9))}});
    addTemplate(QStringLiteral("One"), {{'A', 3, 1920, 1080, 2}});
    addTemplate(QStringLiteral("Two"), {{'A', 3, 1920, 1080, 1}, {'B', 3, 1920, 1080, 2}});
    addTemplate(QStringLiteral("Three"), {{'A', 3, 1920, 1080, 1}});
    fillAll(0);
    releaseSlot(state, 1, 1, 1);
    EXPECT_EQ(CLIP_BEGIN(state, ui), 0);
    ASSERT_EQ(ui.messages.size(), 1u); // named before any question
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("'B002'没有分配照片！"));
    EXPECT_EQ(ui.lastMessage().icon, Icon::Warning);
    for (const char* name : {"One", "Two", "Three"})
        EXPECT_FALSE(QDir(out(QString::fromLatin1(name))).exists()) << name;
    EXPECT_EQ(state.CurrentWork, 1);
    EXPECT_EQ(state.CurrentSpec, 1);
    EXPECT_EQ(state.CurrentSlot, 1);
}

// Photos so small that the crop of a long strip is thinner than one of their pixels: the output shows the
// photo (never a blank file), and the enlargement is what it is, so the summary names it.
TEST_F(Batch, ACropThinnerThanAPixelStillShowsThePhoto) {
    importAlbum({{QStringLiteral("tiny.jpg"), test::solidImage(8, 8, qRgb(200, 30, 30))},
                 {QStringLiteral("wide.jpg"), test::solidImage(30, 10, qRgb(30, 30, 200))}});
    addTemplate(QStringLiteral("Strip"), {{'A', 1, 3000, 100, 2}});
    for (int n = 0; n < 2; ++n)
        assignPhoto(state, n, 0, 0, n, 3000, 100);
    const PreflightReport report = preflightCheck(state);
    ASSERT_EQ(report.enlarged.size(), 2u);
    for (const auto& e : report.enlarged)
        EXPECT_GT(e.factor, 99.0) << e.position.toStdString();
    ui.answers = {Answer::Ok, Answer::Yes};
    ASSERT_EQ(CLIP_BEGIN(state, ui), 1);
    for (const char* name : {"A1.jpg", "A2.jpg"}) {
        const QImage written(out(QStringLiteral("Strip/") + QString::fromLatin1(name)));
        ASSERT_EQ(written.size(), QSize(3000, 100)) << name;
        const QColor middle = written.pixelColor(1500, 50);
        EXPECT_LT(std::min({middle.red(), middle.green(), middle.blue()}), 100) << name; // not white
    }
}

// A photo replaced, rewritten or cut between the import and the batch is not cut with the old picture's
// geometry: its position is named and left unwritten, and the batch does not report success.
TEST_F(Batch, APhotoChangedSinceItWasReadIsNotCropped) {
    struct Case {
        const char* name;
        std::function<void(const QString& name)> change; // of the file in the test folder
    };
    const Case cases[] = {
        {"portrait in its place",
         [&](const QString& path) {
             dir.write(path, test::makeJpeg(test::solidImage(800, 1200, qRgb(0, 200, 0))));
         }},
        {"larger",
         [&](const QString& name) { dir.write(name, test::makeJpeg(test::gradientImage(3200, 2000))); }},
        {"cut", [&](const QString& name) { dir.write(name, TempDir::read(dir.file(name)).left(5000)); }},
        {"same size and time",
         [&](const QString& name) {
             const QString path = dir.file(name);
             const FileIdentity before = fileIdentity(path);
             QByteArray other = test::makeJpeg(test::solidImage(600, 900, qRgb(0, 200, 0)));
             other.append(QByteArray(static_cast<qsizetype>(before.size - other.size()), '\0'));
             dir.write(name, other);
             ASSERT_EQ(test::setModifiedTime(path, before.modifiedNs), QString());
             ASSERT_EQ(fileIdentity(path).modifiedNs, before.modifiedNs);
         }},
        {"gone", [&](const QString& name) { QFile::remove(dir.file(name)); }},
    };
    for (const Case& c : cases) {
        state = AppState();
        SetUp();
        ui = RecordingUi();
        QDir(dir.file(QStringLiteral("trip"))).removeRecursively();
        importAlbum({{QStringLiteral("1.jpg"), test::gradientImage(2000, 1500)},
                     {QStringLiteral("2.jpg"), test::gradientImage(2000, 1500)}});
        addTemplate(QStringLiteral("Two"), {{'A', 3, 800, 600, 2}});
        assignPhoto(state, 0, 0, 0, 0, 800, 600);
        assignPhoto(state, 1, 0, 0, 1, 800, 600);
        c.change(QStringLiteral("trip/2.jpg"));
        int written = 0;
        ui.answers = {Answer::Ok, Answer::Yes};
        EXPECT_EQ(CLIP_BEGIN(state, ui, &written), 0) << c.name;
        EXPECT_EQ(written, 1) << c.name;
        EXPECT_TRUE(QFile::exists(out(QStringLiteral("Two/A001.jpg")))) << c.name;
        EXPECT_FALSE(QFile::exists(out(QStringLiteral("Two/A002.jpg")))) << c.name;
        QStringList texts;
        for (const auto& m : ui.messages)
            texts << m.text;
        const QString all = texts.join(QLatin1Char('|'));
        // Named before anything is written, and again at the end.
        EXPECT_TRUE(all.contains(QStringLiteral("在读入后已被修改或移走：\n2.jpg")))
            << c.name << all.toStdString();
        EXPECT_TRUE(ui.lastMessage().text.contains(QStringLiteral("Two：A002"))) << c.name;
        // The single crop refuses it too.
        state.CurrentWork = 0;
        state.CurrentSpec = 0;
        state.CurrentSlot = 1;
        EXPECT_EQ(CLIP_ONE(state, ui), 0) << c.name;
        EXPECT_TRUE(ui.lastMessage().text.contains(QStringLiteral("已被修改或移走"))) << c.name;
    }
}

// A fixed output folder that is no whole path would land under whatever the current folder is.
TEST_F(Batch, ARelativeOutputFolderIsRefused) {
    importAlbum({{QStringLiteral("1.jpg"), test::solidImage(400, 300, qRgb(9, 9, 9))}});
    addTemplate(QStringLiteral("One"), {{'A', 3, 1920, 1080, 1}});
    fillAll(0);
    state.settings.UseOutFolder = 1;
    for (const char* folder : {"out", "~/out", "./out"}) {
        state.settings.OutFolder = QString::fromLatin1(folder);
        ui.messages.clear();
        EXPECT_EQ(CLIP_BEGIN(state, ui), 0) << folder;
        ASSERT_EQ(ui.messages.size(), 1u) << folder;
        EXPECT_EQ(ui.lastMessage().text,
                  QStringLiteral("裁图输出文件夹必须是一个完整的路径：\n\n") + QString::fromLatin1(folder));
        state.CurrentWork = 0;
        state.CurrentSlot = 0;
        EXPECT_EQ(CLIP_ONE(state, ui), 0) << folder;
    }
    EXPECT_FALSE(QDir(QStringLiteral("out")).exists());
    EXPECT_FALSE(QDir(QStringLiteral("~")).exists());
}

// Many empty positions: all counted, the first ten named, the first selected.
TEST_F(Batch, EveryEmptyPositionIsNamedInOneMessage) {
    importAlbum({{QStringLiteral("1.jpg"), test::solidImage(400, 300, qRgb(9, 9, 9))}});
    addTemplate(QStringLiteral("One"), {{'A', 3, 1920, 1080, 2}, {'B', 2, 1920, 1080, 12}});
    fillAll(0);
    for (int n = 0; n < 12; ++n)
        releaseSlot(state, 0, 1, n);
    EXPECT_EQ(CLIP_BEGIN(state, ui), 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    QStringList lines{QStringLiteral("有 12 个位置没有分配照片！"), QString()};
    for (int n = 1; n <= 10; ++n)
        lines << QStringLiteral("One：B%1").arg(n, 2, 10, QLatin1Char('0'));
    lines << QStringLiteral("……（另有 2 个）");
    EXPECT_EQ(ui.lastMessage().text, lines.join(QLatin1Char('\n')));
    EXPECT_EQ(state.CurrentSpec, 1);
    EXPECT_EQ(state.CurrentSlot, 0);
}

// Two copies of one template in the work: the second writes beside the first, into "名称 (2)".
TEST_F(Batch, ATemplateTakenTwiceWritesTwoFolders) {
    importAlbum({{QStringLiteral("1.jpg"), test::solidImage(400, 300, qRgb(9, 9, 9))}});
    addTemplate(QStringLiteral("One"), {{'A', 3, 1920, 1080, 2}});
    test::addToWork(state, ui, 0);
    fillAll(0);
    int written = 0;
    ASSERT_EQ(CLIP_BEGIN(state, ui, &written), 1);
    EXPECT_EQ(written, 4);
    EXPECT_EQ(templateFolder(state, 1, true), out(QStringLiteral("One (2)")));
    for (const char* name : {"One", "One (2)"})
        EXPECT_EQ(QDir(out(QString::fromUtf8(name))).entryList(QDir::Files).size(), 2) << name;
}

// A hand-edited settings file can choose the fixed folder without naming one: the crops used to land under
// the file system's root.
TEST_F(Batch, AFixedFolderWithoutANameWritesNothing) {
    importAlbum({{QStringLiteral("1.jpg"), test::solidImage(400, 300, qRgb(9, 9, 9))}});
    addTemplate(QStringLiteral("T"), {{'A', 3, 1000, 1000, 1}});
    fillAll(0);
    state.settings.UseOutFolder = 1;
    state.settings.OutFolder = QStringLiteral("  ");
    EXPECT_EQ(CLIP_BEGIN(state, ui), 0);
    EXPECT_EQ(CLIP_ONE(state, ui), 0);
    ASSERT_EQ(ui.messages.size(), 2u); // refused before the question
    for (const auto& m : ui.messages) {
        EXPECT_EQ(m.text, QStringLiteral("裁图输出文件夹不能为空！"));
        EXPECT_EQ(m.icon, Icon::Exclamation);
    }
    EXPECT_TRUE(state.Slots[0].outFolder.isEmpty());
    EXPECT_FALSE(QDir(dir.file(QStringLiteral("trip/trip"))).exists());
}

// A cancelled batch keeps the whole files already written, starts no other and names what is missing.
TEST_F(Batch, CancelledBatchKeepsWholeFilesAndNamesTheRest) {
    importAlbum({{QStringLiteral("1.jpg"), test::gradientImage(1600, 1200)}});
    addTemplate(QStringLiteral("T"), {{'A', 3, 1000, 1000, 30}});
    fillAll(0);
    state.JobCount = 1;
    ui.onProcessEvents = [&] {
        if (!ui.progressCalls.empty() && ui.progressCalls.back().first >= 3) state.CancelRequested.request();
    };
    EXPECT_EQ(CLIP_BEGIN(state, ui), 0);
    const QStringList files = QDir(out(QStringLiteral("T"))).entryList(QDir::Files);
    ASSERT_GE(files.size(), 3);
    ASSERT_LT(files.size(), 30);
    for (const QString& f : files) {
        EXPECT_TRUE(f.endsWith(QStringLiteral(".jpg"))) << f.toStdString(); // no temporary left
        EXPECT_EQ(probe(out(QStringLiteral("T/") + f)).size, QSize(1000, 1000)) << f.toStdString();
    }
    const int written = static_cast<int>(files.size());
    EXPECT_EQ(ui.status[1], batchCancelledText(written, 30));
    EXPECT_EQ(ui.lastMessage().icon, Icon::Warning);
    EXPECT_TRUE(ui.lastMessage().text.startsWith(batchCancelledText(written, 30)));
    // The first position not written is named, and a written one is not.
    EXPECT_TRUE(
        ui.lastMessage().text.contains(QStringLiteral("A%1").arg(written + 1, 3, 10, QLatin1Char('0'))));
    EXPECT_FALSE(ui.lastMessage().text.contains(QStringLiteral("A001")));
}

TEST_F(Batch, CancelWritesNothing) {
    importAlbum({{QStringLiteral("1.jpg"), test::solidImage(400, 300, qRgb(9, 9, 9))}});
    addTemplate(QStringLiteral("One"), {{'A', 3, 1920, 1080, 1}});
    fillAll(0);
    ui.answers.push_back(Answer::Cancel);
    EXPECT_EQ(CLIP_BEGIN(state, ui), 0);
    EXPECT_FALSE(QDir(out(QString())).exists());
}

TEST_F(Batch, UnwritableFolderIsCountedAndNamed) {
    importAlbum({{QStringLiteral("1.jpg"), test::solidImage(400, 300, qRgb(9, 9, 9))}});
    addTemplate(QStringLiteral("Good"), {{'A', 3, 1000, 1000, 2}});
    addTemplate(QStringLiteral("Bad"), {{'A', 3, 1000, 1000, 3}});
    fillAll(0);
    dir.write(QStringLiteral("trip/trip/Bad"), "a file where the folder should be");
    EXPECT_EQ(CLIP_BEGIN(state, ui), 0);
    EXPECT_TRUE(QFile::exists(out(QStringLiteral("Good/A001.jpg"))));
    EXPECT_TRUE(QFile::exists(out(QStringLiteral("Good/A002.jpg"))));
    const test::MessageCall m = ui.lastMessage();
    EXPECT_EQ(m.icon, Icon::Warning);
    EXPECT_TRUE(m.text.startsWith(QStringLiteral("裁图未完成：有 3 个文件未能写入")));
    EXPECT_TRUE(m.text.contains(out(QStringLiteral("Bad/A001.jpg"))));
    EXPECT_TRUE(m.text.contains(QStringLiteral("\nError: ")));
    EXPECT_EQ(ui.status[1], QStringLiteral("裁图未完成：3 个文件未能写入"));
}

// A damaged photo crops to partly grey files: the final notice names the positions that use it.
TEST_F(Batch, PositionsOfDamagedPhotosAreNamed) {
    const QByteArray whole = test::makeJpeg(test::gradientImage(640, 480));
    dir.write(QStringLiteral("trip/bad.jpg"), whole.left(whole.size() / 2));
    importAlbum({{QStringLiteral("good.jpg"), test::gradientImage(640, 480)}});
    ASSERT_EQ(state.Photos.size(), 2u);
    const int bad = state.Photos[0].fileName == QStringLiteral("bad.jpg") ? 0 : 1;
    addTemplate(QStringLiteral("T"), {{'A', 3, 640, 480, 3}});
    fillAll(1 - bad);
    assignPhoto(state, bad, 0, 0, 1, 640, 480);
    state.settings.FinishAsk = 0; // a problem is reported even then
    ui.messages.clear();
    EXPECT_EQ(CLIP_BEGIN(state, ui), 1);
    const test::MessageCall m = ui.lastMessage();
    EXPECT_EQ(m.icon, Icon::Warning);
    EXPECT_TRUE(m.text.startsWith(QStringLiteral("裁图完成！")));
    EXPECT_TRUE(m.text.endsWith(QStringLiteral("有 1 个位置使用了已损坏的照片，裁出的图片可能有灰色区域：\n"
                                               "T：A002（bad.jpg）")));
    state.CurrentSlot = 1;
    EXPECT_EQ(CLIP_ONE(state, ui), 1);
    EXPECT_TRUE(ui.lastMessage().text.endsWith(QStringLiteral("\nbad.jpg")));
    state.CurrentSlot = 0;
    ui.messages.clear();
    EXPECT_EQ(CLIP_ONE(state, ui), 1);
    EXPECT_TRUE(ui.messages.empty()); // a sound photo, and no notice asked for
}

TEST_F(Batch, ClosingWaitsForTheBatch) {
    importAlbum({{QStringLiteral("1.jpg"), test::solidImage(400, 300, qRgb(9, 9, 9))}});
    addTemplate(QStringLiteral("T"), {{'A', 3, 1000, 1000, 4}});
    fillAll(0);
    bool refused = false;
    ui.onProcessEvents = [&] { refused |= !mayCloseNow(state, ui); };
    EXPECT_TRUE(runExclusive(state, ui, [&] { EXPECT_EQ(CLIP_BEGIN(state, ui), 1); }));
    EXPECT_TRUE(refused);
    EXPECT_EQ(std::count(ui.statusHistory.begin(), ui.statusHistory.end(),
                         QStringLiteral("1:") + closingLaterText()),
              1);
    EXPECT_EQ(ui.quitCalls, 1);
    EXPECT_TRUE(mayCloseNow(state, ui));
}

TEST_F(Batch, SingleCropUsesTheWholeAlbumName) {
    dir.write(QStringLiteral("trip.2015/1.jpg"), test::makeJpeg(test::solidImage(400, 300, qRgb(9, 9, 9))));
    ASSERT_EQ(ALBUM_OPEN(state, ui, dir.file(QStringLiteral("trip.2015")), true), 1);
    addTemplate(QStringLiteral("T"), {{'A', 3, 640, 480, 2}});
    EXPECT_EQ(CLIP_ONE(state, ui), 0); // the selected position is empty
    fillAll(0);
    state.CurrentSlot = 1;
    EXPECT_EQ(CLIP_ONE(state, ui), 1);
    EXPECT_EQ(probe(dir.file(QStringLiteral("trip.2015/trip.2015/T/A002.jpg"))).size, QSize(640, 480));
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("trip.2015/trip.2015/T/A001.jpg"))));
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("裁图完成！"));
}

} // namespace
} // namespace zanfold
