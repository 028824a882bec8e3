#include "album/album_import.h"

#include "core/commands.h"
#include "core/text.h"
#include "crop/assignment.h"
#include "imaging/picture.h"
#include "support/jpeg_maker.h"
#include "support/qt_print.h"
#include "support/system_faults.h"
#include "support/temp_dir.h"
#include "support/work_fixture.h"

#include <QStringDecoder>
#include <QTransform>

#include <gtest/gtest.h>

namespace zanfold {
namespace {

using test::RecordingUi;
using test::TempDir;

QByteArray jpeg(int w, int h, QRgb colour = qRgb(120, 130, 140)) {
    return test::makeJpeg(test::solidImage(w, h, colour));
}

class Import : public ::testing::Test {
protected:
    TempDir dir;
    AppState state;
    RecordingUi ui;

    void SetUp() override {
        state.AppTitle = QStringLiteral("Zanfold2015");
        test::setCanvasArea(state);
    }
    QString album(const QString& name) const { return dir.file(name); }
    QStringList names() const {
        QStringList out;
        for (const PhotoRecord& p : state.Photos)
            out << p.fileName;
        return out;
    }
};

// A cancelled import leaves the album that was open, whole, and none of the new one.
TEST_F(Import, CancelledImportKeepsTheOpenAlbum) {
    dir.write(QStringLiteral("old/x.jpg"), jpeg(400, 300));
    ASSERT_EQ(ALBUM_OPEN(state, ui, album(QStringLiteral("old")), false), 1);
    const QString caption = ui.caption;
    for (int i = 0; i < 40; ++i)
        dir.write(QStringLiteral("a/%1.jpg").arg(i, 2, 10, QLatin1Char('0')), jpeg(800, 600));
    state.JobCount = 1;
    ui.onProcessEvents = [&] {
        if (!ui.progressCalls.empty() && ui.progressCalls.back().first >= 2) state.CancelRequested.request();
    };
    EXPECT_EQ(ALBUM_OPEN(state, ui, album(QStringLiteral("a")), false), 0);
    ASSERT_EQ(state.Photos.size(), 1u);
    EXPECT_EQ(state.Photos[0].fileName, QStringLiteral("x.jpg"));
    EXPECT_EQ(state.AlbumPath, album(QStringLiteral("old")));
    EXPECT_EQ(ui.caption, caption);
    EXPECT_EQ(ui.status[1], QStringLiteral("导入相册已取消"));
    EXPECT_TRUE(ui.enabled[command::ChooseTemplates]);
    EXPECT_GE(ui.progressHidden, 1);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Import, MixedFolderIsReadByContentAndOrderedByOrientation) {
    dir.write(QStringLiteral("a/b_land.jpg"), jpeg(400, 300));
    dir.write(QStringLiteral("a/A_port.JPG"), jpeg(300, 400));
    dir.write(QStringLiteral("a/c_land.jpeg"), jpeg(640, 480));
    dir.write(QStringLiteral("a/d_square.jpg"), jpeg(4000, 3999)); // square on its strip size
    dir.write(QStringLiteral("a/e_corrupt.jpg"), jpeg(400, 300).left(40));
    dir.write(QStringLiteral("a/f_text.jpg"), "not a photo");
    dir.write(QStringLiteral("a/notes.txt"), "x");
    dir.write(QStringLiteral("a/g_png.jpg"), test::makePng(test::solidImage(500, 300, qRgb(1, 2, 3))));

    ui.folders.push_back(album(QStringLiteral("a/")));
    ASSERT_EQ(ALBUM_OPEN(state, ui, QString(), false), 1);
    EXPECT_EQ(state.AlbumPath, album(QStringLiteral("a")));
    // Scan order: *.jpg names (case ignored), then *.jpeg; then grouped by orientation, stably.
    EXPECT_EQ(names(), (QStringList{QStringLiteral("b_land.jpg"), QStringLiteral("g_png.jpg"),
                                    QStringLiteral("c_land.jpeg"), QStringLiteral("A_port.JPG"),
                                    QStringLiteral("d_square.jpg")}));
    EXPECT_EQ(state.AlbumOrientCount, (std::array<int, 3>{3, 1, 1}));
    const PhotoRecord& square = state.Photos[4];
    EXPECT_EQ(square.width, 4000);
    EXPECT_EQ(square.height, 3999);
    EXPECT_EQ(QSize(square.thumbWidth, square.thumbHeight), QSize(200, 200));
    EXPECT_EQ(QSize(square.stripWidth, square.stripHeight), QSize(100, 100));
    EXPECT_EQ(square.orient, 2);
    const PhotoRecord& land = state.Photos[0];
    EXPECT_EQ(QSize(land.thumbWidth, land.thumbHeight), QSize(200, 150));
    EXPECT_EQ(land.thumb.size(), QSize(200, 150));
    EXPECT_EQ(QSize(land.stripWidth, land.stripHeight), QSize(100, 75));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(state.Photos[i].index, i);
    EXPECT_EQ(ui.status[2], QStringLiteral(" 照片数量： 5 (横 3 竖 1 方 1)"));
    EXPECT_TRUE(ui.status[1].startsWith(QStringLiteral("用时： ")));
    EXPECT_EQ(ui.caption, QStringLiteral("Zanfold2015 - ") + album(QStringLiteral("a")));
    EXPECT_TRUE(ui.enabled[command::ChooseTemplates]);
    EXPECT_EQ(ui.progressCalls.back(), (std::pair<int, int>{7, 7}));
    EXPECT_EQ(ui.redraws.back(), View::Strip);
}

TEST_F(Import, StatusTextOfASmallAlbum) {
    dir.write(QStringLiteral("s/1.jpg"), jpeg(400, 300));
    dir.write(QStringLiteral("s/2.jpg"), jpeg(300, 400));
    dir.write(QStringLiteral("s/3.jpg"), jpeg(400, 300));
    ASSERT_EQ(ALBUM_OPEN(state, ui, album(QStringLiteral("s")), true), 1);
    EXPECT_EQ(ui.status[2], QStringLiteral(" 照片数量： 3 (横 2 竖 1 方 0)"));
    EXPECT_TRUE(ui.redraws.empty() || ui.redraws.back() != View::Strip); // quiet
    state.CurrentPhoto = 1;
    ALBUM_UPDATEINFO(state, ui, 1);
    EXPECT_EQ(ui.status[1], QStringLiteral(" 2          3.jpg  ( 400 × 300 )"));
}

TEST_F(Import, FolderWithoutJpegsChangesNothing) {
    dir.write(QStringLiteral("good/1.jpg"), jpeg(400, 300));
    ASSERT_EQ(ALBUM_OPEN(state, ui, album(QStringLiteral("good")), false), 1);
    dir.write(QStringLiteral("png/1.png"), "x");
    EXPECT_EQ(ALBUM_OPEN(state, ui, album(QStringLiteral("png")), false), 0);
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("所选相册没有照片！"));
    EXPECT_EQ(ui.lastMessage().icon, Icon::Warning);
    EXPECT_EQ(state.AlbumPath, album(QStringLiteral("good")));
    EXPECT_EQ(state.Photos.size(), 1u);

    ui.folders.push_back(album(QStringLiteral("good"))); // the same folder again: nothing happens
    EXPECT_EQ(ALBUM_OPEN(state, ui, QString(), false), 0);
    EXPECT_EQ(ALBUM_OPEN(state, ui, QString(), false), 0); // cancelled browser
}

TEST_F(Import, ImportClearsTheWork) {
    dir.write(QStringLiteral("w/1.jpg"), jpeg(400, 300));
    ASSERT_EQ(ALBUM_OPEN(state, ui, album(QStringLiteral("w")), false), 1);
    test::addToWork(state, ui,
                    test::addLibraryTemplate(state, QStringLiteral("T"), {{'A', 3, 1920, 1080, 2}}));
    assignPhoto(state, 0, 0, 0, 0, 1920, 1080);
    dir.write(QStringLiteral("w2/1.jpg"), jpeg(400, 300));
    ASSERT_EQ(ALBUM_OPEN(state, ui, album(QStringLiteral("w2")), false), 1);
    EXPECT_TRUE(state.WorkTemplates.empty());
    EXPECT_TRUE(state.Slots.empty());
    EXPECT_EQ(state.Photos[0].useCount, 0);
}

TEST_F(Import, SameFolderSameOrderAndThumbnailsAgree) {
    for (int i = 0; i < 12; ++i)
        dir.write(QStringLiteral("o/IMG_%1.jpg").arg(11 - i),
                  jpeg(i % 3 ? 640 : 480, i % 3 ? 480 : 640, qRgb(20 * i, 100, 200)));
    ASSERT_EQ(ALBUM_OPEN(state, ui, album(QStringLiteral("o")), false), 1);
    const QStringList first = names();
    const QImage fastThumb = state.Photos[0].thumb;
    state.settings.SafeImport = 1;
    state.AlbumPath.clear();
    ASSERT_EQ(ALBUM_OPEN(state, ui, album(QStringLiteral("o")), false), 1);
    EXPECT_EQ(names(), first);
    EXPECT_LT(test::meanAbsDiff(state.Photos[0].thumb, fastThumb), 2.0);
}

TEST_F(Import, CameraOrientationIsApplied) {
    // Stored 600 x 400, recorded as needing a clockwise turn: the photo is portrait.
    test::JpegOptions o;
    o.exifOrientation = 6;
    dir.write(QStringLiteral("e/1.jpg"), test::makeJpeg(test::quadrantImage(600, 400), o));
    ASSERT_EQ(ALBUM_OPEN(state, ui, album(QStringLiteral("e")), false), 1);
    const PhotoRecord& p = state.Photos[0];
    EXPECT_EQ(QSize(p.width, p.height), QSize(400, 600));
    EXPECT_EQ(p.orient, 1);
    EXPECT_EQ(p.image.orientation, 6);
    EXPECT_EQ(p.thumb.size(), QSize(133, 200));
    EXPECT_LT(
        test::meanAbsDiff(
            p.thumb, test::quadrantImage(600, 400).transformed(QTransform().rotate(90)).scaled(133, 200)),
        8.0);

    state.settings.AutoOrient = 0;
    state.AlbumPath.clear();
    ASSERT_EQ(ALBUM_OPEN(state, ui, album(QStringLiteral("e")), false), 1);
    EXPECT_EQ(QSize(state.Photos[0].width, state.Photos[0].height), QSize(600, 400));
    EXPECT_EQ(state.Photos[0].orient, 0);
}

TEST_F(Import, SliversStillImport) {
    dir.write(QStringLiteral("t/thin.jpg"), jpeg(4000, 3));
    ASSERT_EQ(ALBUM_OPEN(state, ui, album(QStringLiteral("t")), false), 1);
    const PhotoRecord& p = state.Photos[0];
    EXPECT_EQ(QSize(p.thumbWidth, p.thumbHeight), QSize(200, 1));
    EXPECT_EQ(QSize(p.stripWidth, p.stripHeight), QSize(100, 1));
    EXPECT_EQ(p.thumb.size(), QSize(200, 1));
}

// Files that do not decode used to vanish without a word, and truncated ones imported as grey photos.
TEST_F(Import, UnreadableFilesAreNamedAndDamagedPhotosMarked) {
    const QByteArray whole = test::makeJpeg(test::gradientImage(640, 480));
    dir.write(QStringLiteral("m/1_good.jpg"), whole);
    dir.write(QStringLiteral("m/2_truncated.jpg"), whole.left(whole.size() * 6 / 10));
    dir.write(QStringLiteral("m/3_text.jpg"), "not a photo");
    dir.write(QStringLiteral("m/4_header.jpg"), whole.left(40));
    ASSERT_EQ(ALBUM_OPEN(state, ui, album(QStringLiteral("m")), false), 1);
    EXPECT_EQ(names(), (QStringList{QStringLiteral("1_good.jpg"), QStringLiteral("2_truncated.jpg")}));
    EXPECT_FALSE(state.Photos[0].damaged);
    EXPECT_TRUE(state.Photos[1].damaged);
    ASSERT_EQ(ui.messages.size(), 1u); // one message for the whole import
    const QString text = ui.lastMessage().text;
    EXPECT_EQ(ui.lastMessage().icon, Icon::Warning);
    EXPECT_TRUE(text.startsWith(QStringLiteral("有 2 个文件无法读取，已跳过：\n3_text.jpg：")));
    EXPECT_TRUE(text.contains(QStringLiteral("\n4_header.jpg：")));
    EXPECT_TRUE(text.contains(QStringLiteral("有 1 张照片的数据已损坏")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("\n2_truncated.jpg")));

    // A sound album says nothing.
    ui.messages.clear();
    dir.write(QStringLiteral("ok/1.jpg"), whole);
    ASSERT_EQ(ALBUM_OPEN(state, ui, album(QStringLiteral("ok")), false), 1);
    EXPECT_TRUE(ui.messages.empty());
}

// A colour profile that cannot be used is no reason to refuse a photo: it imports, marked.
TEST_F(Import, APhotoWithAnUnusableColourProfileImportsMarked) {
    test::JpegOptions o;
    o.iccProfile = QByteArray(900, '\x33');
    dir.write(QStringLiteral("c/1.jpg"), test::makeJpeg(test::gradientImage(640, 480), o));
    ASSERT_EQ(ALBUM_OPEN(state, ui, album(QStringLiteral("c")), false), 1);
    ASSERT_EQ(state.Photos.size(), 1u);
    // Marked for its profile, which is not damage to its data.
    EXPECT_TRUE(state.Photos[0].profileUnusable);
    EXPECT_FALSE(state.Photos[0].damaged);
    EXPECT_TRUE(ui.lastMessage().text.contains(QStringLiteral("有 1 张照片的颜色配置文件无法使用")));
    EXPECT_FALSE(ui.lastMessage().text.contains(QStringLiteral("损坏")));
    // Without colour management the profile is never read.
    state.settings.ColorManage = 0;
    state.AlbumPath.clear();
    ASSERT_EQ(ALBUM_OPEN(state, ui, album(QStringLiteral("c")), false), 1);
    EXPECT_FALSE(state.Photos[0].profileUnusable);
}

TEST_F(Import, DroppedFolder) {
    dir.write(QStringLiteral("d/1.jpg"), jpeg(400, 300));
    dir.write(QStringLiteral("d2/1.jpg"), jpeg(400, 300));
    // The unsaved-work question comes last, only when the drop would really replace the work.
    int unsavedAsked = 0;
    bool dropWork = true;
    const auto mayDropWork = [&] {
        ++unsavedAsked;
        return dropWork;
    };
    dropAlbumFolder(state, ui, dir.file(QStringLiteral("d/1.jpg")), mayDropWork);
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("请拖入一个照片文件夹"));
    EXPECT_EQ(ui.lastMessage().caption, QStringLiteral("zanfold"));
    dropAlbumFolder(state, ui, album(QStringLiteral("d")), mayDropWork);
    EXPECT_EQ(state.AlbumPath, album(QStringLiteral("d")));
    EXPECT_EQ(unsavedAsked, 1);
    ui.answers.push_back(Answer::Cancel);
    dropAlbumFolder(state, ui, album(QStringLiteral("d2")), mayDropWork);
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("确信要替换当前工作吗？"));
    EXPECT_EQ(ui.lastMessage().byDefault, Answer::Cancel);
    EXPECT_EQ(state.AlbumPath, album(QStringLiteral("d")));
    EXPECT_EQ(unsavedAsked, 1);
    dropWork = false;
    dropAlbumFolder(state, ui, album(QStringLiteral("d2")), mayDropWork);
    EXPECT_EQ(state.AlbumPath, album(QStringLiteral("d")));
    EXPECT_EQ(unsavedAsked, 2);
    dropWork = true;
    dropAlbumFolder(state, ui, album(QStringLiteral("d2")), mayDropWork);
    EXPECT_EQ(state.AlbumPath, album(QStringLiteral("d2")));
    const size_t asked = ui.messages.size();
    dropAlbumFolder(state, ui, album(QStringLiteral("d2")),
                    mayDropWork); // the loaded album: asked, then nothing
    EXPECT_EQ(ui.messages.size(), asked + 1);
    EXPECT_EQ(unsavedAsked, 3);
    EXPECT_EQ(ui.progressCalls.back().second, 1);
}

// Writes `bytes` under a name given as the system's own bytes (a GBK name from an archive of Chinese
// Windows is no UTF-8).
QString writeRawName(const QString& folder, const QByteArray& name, const QByteArray& bytes) {
    return test::writeUnderRawName(test::systemBytes(folder) + '/' + name, bytes);
}

// Photos whose names are GBK bytes import, show their names and crop like any other.
TEST_F(Import, PhotosWithGbkNamesImportAndCrop) {
    dir.write(QStringLiteral("a/utf8.jpg"), jpeg(400, 300));
    dir.write(QStringLiteral("a/婚礼.jpg"), jpeg(400, 300));
    const QByteArray gbk = *toGb18030(QStringLiteral("照片一.jpg"));
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString asUtf8 = utf8.decode(gbk);
    ASSERT_TRUE(utf8.hasError()); // no UTF-8 at all
    if (const QString why = writeRawName(album(QStringLiteral("a")), gbk, jpeg(300, 400, qRgb(10, 200, 10)));
        !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    ASSERT_EQ(ALBUM_OPEN(state, ui, album(QStringLiteral("a")), true), 1);
    EXPECT_TRUE(ui.messages.empty());
    QStringList shown = names();
    shown.sort();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("utf8.jpg"), QStringLiteral("婚礼.jpg"),
                                  QStringLiteral("照片一.jpg")}));
    for (const PhotoRecord& p : state.Photos) {
        EXPECT_TRUE(p.hasImage) << p.fileName.toStdString();
        const Rendered crop =
            renderCrop(p.image, QRect(0, 0, p.width, p.height), 60, 60, qRgb(255, 255, 255));
        EXPECT_TRUE(crop.ok()) << p.fileName.toStdString() << crop.error.toStdString();
    }
}

} // namespace
} // namespace zanfold
