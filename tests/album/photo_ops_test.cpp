#include "album/photo_ops.h"

#include "album/album_import.h"
#include "crop/assignment.h"
#include "crop/face_crop.h"
#include "support/jpeg_maker.h"
#include "support/qt_print.h"
#include "support/temp_dir.h"
#include "support/work_fixture.h"

#include <QFile>

#include <gtest/gtest.h>

namespace zanfold {
namespace {

using test::RecordingUi;
using test::TempDir;

QByteArray jpeg(int w, int h) {
    return test::makeJpeg(test::solidImage(w, h, qRgb(90, 100, 110)));
}

// An album of landscape 1.jpg .. 4.jpg (400 x 300) and portrait 5.jpg (300 x 400), with a work of one
// landscape specification of 6 positions.
class PhotoOps : public ::testing::Test {
protected:
    TempDir dir;
    AppState state;
    RecordingUi ui;

    void SetUp() override {
        for (int i = 1; i <= 4; ++i)
            dir.write(QStringLiteral("a/%1.jpg").arg(i), jpeg(400, 300));
        dir.write(QStringLiteral("a/5.jpg"), jpeg(300, 400));
        test::setCanvasArea(state);
        ASSERT_EQ(ALBUM_OPEN(state, ui, dir.file(QStringLiteral("a")), false), 1);
        test::addToWork(state, ui,
                        test::addLibraryTemplate(state, QStringLiteral("T"), {{'A', 3, 1920, 1080, 6}}));
    }
    void TearDown() override { EXPECT_EQ(checkInvariants(state), QString()); }
    int find(const char* name) const {
        for (int i = 0; i < static_cast<int>(state.Photos.size()); ++i)
            if (state.Photos[i].fileName == QString::fromLatin1(name)) return i;
        return -1;
    }
};

TEST_F(PhotoOps, RotateRightAndLeftMoveBetweenGroups) {
    assignPhoto(state, 1, 0, 0, 0, 1920, 1080);
    assignPhoto(state, 2, 0, 0, 1, 1920, 1080);
    state.Slots[0].cropX += 3;
    state.CurrentPhoto = 1;     // 2.jpg
    PHOTO_ROTATE(state, ui, 3); // right
    const int at = find("2.jpg");
    // It stays in its position, whose crop starts over at the initial one for the new shape.
    EXPECT_EQ(state.Slots[0].photo, at);
    const CropRect initial = initialCrop(state.settings, 1920, 1080, state.Photos[at]);
    EXPECT_EQ((CropRect{state.Slots[0].cropX, state.Slots[0].cropY, state.Slots[0].cropWidth,
                        state.Slots[0].cropHeight}),
              initial);
    EXPECT_EQ(state.Photos[at].useCount, 1);
    EXPECT_EQ(ui.status[1], QStringLiteral("照片已旋转：1 个使用它的位置已重新裁切为默认位置"));
    EXPECT_EQ(state.CurrentPhoto, at);
    EXPECT_EQ(at, 3); // last landscape photo gone: it now sits before 5.jpg in the portrait group
    const PhotoRecord& p = state.Photos[at];
    EXPECT_EQ(QSize(p.width, p.height), QSize(300, 400));
    EXPECT_EQ(QSize(p.thumbWidth, p.thumbHeight), QSize(150, 200));
    EXPECT_EQ(QSize(p.stripWidth, p.stripHeight), QSize(75, 100));
    EXPECT_EQ(p.thumb.size(), QSize(150, 200));
    EXPECT_EQ(p.orient, 1);
    EXPECT_EQ(p.image.quarterTurns, 3);
    EXPECT_EQ(state.AlbumOrientCount, (std::array<int, 3>{3, 2, 0}));
    EXPECT_EQ(state.Slots[1].photo, find("3.jpg")); // the other use follows its photo
    EXPECT_EQ(ui.status[2], QStringLiteral(" 照片数量： 5 (横 3 竖 2 方 0)"));
    EXPECT_EQ(ui.shownPhoto, at);

    PHOTO_ROTATE(state, ui, 1); // left again: back to landscape, at the end of that group
    EXPECT_EQ(find("2.jpg"), 3);
    EXPECT_EQ(state.Photos[3].image.quarterTurns, 0);
    EXPECT_EQ(state.AlbumOrientCount, (std::array<int, 3>{4, 1, 0}));
}

// A half turn keeps the photo in its positions, each crop on the same part of the picture.
TEST_F(PhotoOps, HalfTurnKeepsPlaceAndTheCroppedPicture) {
    assignPhoto(state, 0, 0, 0, 0, 1920, 1080);
    SlotRecord& slot = state.Slots[0];
    slot.cropX = 17;
    slot.cropY = 9;
    slot.cropWidth = 120;
    slot.cropHeight = 68;
    state.Photos[0].thumb = test::gradientImage(200, 150).convertToFormat(QImage::Format_RGB888);
    const QImage before = state.Photos[0].thumb.copy(slot.cropX, slot.cropY, slot.cropWidth, slot.cropHeight);
    state.CurrentPhoto = 0;
    PHOTO_ROTATE(state, ui, 2);
    EXPECT_EQ(state.Photos[0].fileName, QStringLiteral("1.jpg"));
    EXPECT_EQ(QSize(state.Photos[0].width, state.Photos[0].height), QSize(400, 300));
    EXPECT_EQ(state.Photos[0].image.quarterTurns, 2);
    EXPECT_EQ(slot.photo, 0);
    EXPECT_EQ(state.Photos[0].useCount, 1);
    EXPECT_EQ(QRect(slot.cropX, slot.cropY, slot.cropWidth, slot.cropHeight), QRect(63, 73, 120, 68));
    EXPECT_EQ(state.Photos[0].thumb.copy(slot.cropX, slot.cropY, slot.cropWidth, slot.cropHeight),
              before.mirrored(true, true));
    EXPECT_EQ(ui.status[1], QStringLiteral("照片已旋转：1 个使用它的位置的裁图框随照片旋转"));
}

TEST_F(PhotoOps, DeletingKeepsLaterUsesOnTheirPhotos) {
    assignPhoto(state, 1, 0, 0, 0, 1920, 1080);
    assignPhoto(state, 2, 0, 0, 1, 1920, 1080);
    assignPhoto(state, 3, 0, 0, 2, 1920, 1080);
    state.CurrentPhoto = 1;
    ui.answers.push_back(Answer::Cancel);
    PHOTO_DELETE(state, ui);
    EXPECT_EQ(state.Photos.size(), 5u);
    PHOTO_DELETE(state, ui);
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("确信要删除这个照片吗？"));
    EXPECT_EQ(ui.lastMessage().byDefault, Answer::Cancel);
    ASSERT_EQ(state.Photos.size(), 4u);
    EXPECT_EQ(state.Slots[0].photo, -1);
    EXPECT_EQ(state.Slots[1].photo, 1);
    EXPECT_EQ(state.Photos[1].fileName, QStringLiteral("3.jpg"));
    EXPECT_EQ(state.Slots[2].photo, 2);
    EXPECT_EQ(state.CurrentPhoto, -1);
    EXPECT_EQ(state.AlbumOrientCount, (std::array<int, 3>{3, 1, 0}));
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("a/2.jpg")))); // the file stays
}

TEST_F(PhotoOps, ManyUsesAreAllReleased) {
    state.settings.LockType = 0;
    test::addToWork(state, ui,
                    test::addLibraryTemplate(state, QStringLiteral("Big"), {{'B', 3, 1920, 1080, 30}}));
    for (int n = 0; n < 30; ++n)
        assignPhoto(state, 0, 1, 0, n, 1920, 1080);
    EXPECT_EQ(state.Photos[0].useCount, 30);
    state.CurrentPhoto = 0;
    EXPECT_EQ(PHOTO_NOUSE(state), 29);
    for (const SlotRecord& s : state.Slots)
        EXPECT_NE(s.photo, 0);
}

TEST_F(PhotoOps, SearchAndSearchNext) {
    assignPhoto(state, 0, 0, 0, 0, 1920, 1080);
    assignPhoto(state, 2, 0, 0, 1, 1920, 1080);
    PHOTO_SEARCH(state, ui, false);
    EXPECT_EQ(state.CurrentPhoto, 1);
    PHOTO_SEARCH(state, ui, true);
    EXPECT_EQ(state.CurrentPhoto, 3);
    PHOTO_SEARCH(state, ui, true);
    EXPECT_EQ(state.CurrentPhoto, 4);
    PHOTO_SEARCH(state, ui, true); // past the last photo: from the start again
    EXPECT_EQ(state.CurrentPhoto, 1);
    EXPECT_TRUE(ui.messages.empty());

    assignPhoto(state, 3, 0, 0, 2, 1920, 1080);
    assignPhoto(state, 4, 0, 0, 3, 1920, 1080);
    PHOTO_SEARCH(state, ui, true); // only the rest of the list after the hit
    EXPECT_EQ(ui.lastMessage().text, QStringLiteral("没有找到未使用照片"));
    EXPECT_EQ(ui.lastMessage().icon, Icon::Information);
    EXPECT_EQ(state.CurrentPhoto, 1);
}

// The strip scrolls to a found photo only when its row is out of view.
TEST_F(PhotoOps, SearchScrollsOnlyToAHiddenRow) {
    state.StripColumns = 2;
    state.StripPageSize = 2;
    state.StripScrollPos = 0;
    state.CurrentPhoto = 0;
    for (int p : {0, 1, 2, 3})
        assignPhoto(state, p, 0, 0, p, 1920, 1080);
    ui.shownPhoto = -1;
    assignPhoto(state, 4, 0, 0, 4, 1920, 1080);
    releaseSlot(state, 0, 0, 1); // photo 1, on the first row, is unused again
    PHOTO_SEARCH(state, ui, false);
    EXPECT_EQ(state.CurrentPhoto, 1);
    EXPECT_EQ(ui.shownPhoto, -1); // in view: not scrolled
    EXPECT_EQ(ui.stripPhotoRedraws, (std::vector<int>{0, 1}));
    releaseSlot(state, 0, 0, 4); // photo 4, on the third row
    PHOTO_SEARCH(state, ui, true);
    EXPECT_EQ(state.CurrentPhoto, 4);
    EXPECT_EQ(ui.shownPhoto, 4);
}

TEST_F(PhotoOps, ReloadTakesTheNewFile) {
    assignPhoto(state, 0, 0, 0, 0, 1920, 1080);
    dir.write(QStringLiteral("a/1.jpg"), jpeg(300, 600));
    state.CurrentPhoto = 0;
    PHOTO_SAFELOAD(state, ui);
    const int at = find("1.jpg");
    EXPECT_EQ(state.CurrentPhoto, at);
    const PhotoRecord& p = state.Photos[at];
    EXPECT_EQ(QSize(p.width, p.height), QSize(300, 600));
    EXPECT_EQ(QSize(p.thumbWidth, p.thumbHeight), QSize(100, 200));
    EXPECT_EQ(QSize(p.stripWidth, p.stripHeight), QSize(50, 100));
    EXPECT_EQ(p.orient, 1);
    EXPECT_EQ(state.Slots[0].photo, -1);
    EXPECT_EQ(state.AlbumOrientCount, (std::array<int, 3>{3, 2, 0}));
}

TEST_F(PhotoOps, ReloadOfABrokenFileRemovesThePhoto) {
    assignPhoto(state, 0, 0, 0, 0, 1920, 1080);
    assignPhoto(state, 1, 0, 0, 1, 1920, 1080);
    dir.write(QStringLiteral("a/1.jpg"), "gone bad");
    state.CurrentPhoto = 0;
    PHOTO_SAFELOAD(state, ui);
    EXPECT_TRUE(ui.lastMessage().text.contains(QStringLiteral("1.jpg")));
    EXPECT_EQ(ui.lastMessage().icon, Icon::Warning);
    EXPECT_EQ(find("1.jpg"), -1);
    EXPECT_EQ(state.Slots[0].photo, -1);
    EXPECT_EQ(state.Slots[1].photo, find("2.jpg"));
}

TEST_F(PhotoOps, ViewOpensTheFile) {
    state.CurrentPhoto = 4;
    PHOTO_VIEW(state, ui);
    EXPECT_EQ(ui.opened, QStringList{dir.file(QStringLiteral("a/5.jpg"))});
}

TEST_F(PhotoOps, UsesComeFromTheText) {
    assignPhoto(state, 0, 0, 0, 3, 1920, 1080);
    assignPhoto(state, 0, 0, 0, 1, 1920, 1080);
    state.CurrentPhoto = 0;
    const std::vector<UsageEntry> expected{{0, 0, 3}, {0, 0, 1}};
    EXPECT_EQ(ALBUM_GETUSES(state), expected);
    state.CurrentPhoto = 1;
    EXPECT_TRUE(ALBUM_GETUSES(state).empty());
}

} // namespace
} // namespace zanfold
