#include "output/preflight.h"

#include "album/album_import.h"
#include "crop/assignment.h"
#include "output/batch_crop.h"
#include "support/jpeg_maker.h"
#include "support/qt_print.h"
#include "support/temp_dir.h"
#include "support/work_fixture.h"

#include <QDir>

#include <gtest/gtest.h>

namespace zanfold {
namespace {

using test::RecordingUi;
using test::TempDir;

// An album of a sound photo (640 x 480, thumbnail 200 x 150) and a truncated one, and a work of one
// template T with three positions of 640 x 480, all holding the sound photo.
class Preflight : public ::testing::Test {
protected:
    TempDir dir;
    AppState state;
    RecordingUi ui;
    int good = -1, bad = -1;

    void SetUp() override {
        test::setCanvasArea(state);
        state.settings.OpenFolder = 0;
        state.settings.FinishAsk = 0;
        const QByteArray whole = test::makeJpeg(test::gradientImage(640, 480));
        dir.write(QStringLiteral("trip/good.jpg"), whole);
        dir.write(QStringLiteral("trip/bad.jpg"), whole.left(whole.size() / 2));
        ASSERT_EQ(ALBUM_OPEN(state, ui, dir.file(QStringLiteral("trip")), true), 1);
        good = state.Photos[0].fileName == QStringLiteral("good.jpg") ? 0 : 1;
        bad = 1 - good;
        test::addToWork(state, ui,
                        test::addLibraryTemplate(state, QStringLiteral("T"), {{'A', 3, 640, 480, 3}}));
        for (int n = 0; n < 3; ++n)
            assignPhoto(state, good, 0, 0, n, 640, 480);
        ui.messages.clear();
    }
    // Position n shows only part of its photo: `share` of each side.
    void zoomIn(int n, double share) {
        SlotRecord& s = state.Slots[n];
        s.cropWidth = static_cast<int>(200 * share);
        s.cropHeight = static_cast<int>(150 * share);
        s.cropX = s.cropY = 0;
    }
    QStringList written() const {
        return QDir(dir.file(QStringLiteral("trip/trip/T"))).entryList(QDir::Files);
    }
};

TEST_F(Preflight, EnlargedAndDamagedPositionsAreListedBeforeAnythingIsWritten) {
    zoomIn(0, 0.5); // 320 x 240 of the photo for 640 x 480: twice
    assignPhoto(state, bad, 0, 0, 1, 640, 480);
    ui.answers = {Answer::Ok, Answer::No};
    EXPECT_EQ(CLIP_BEGIN(state, ui), 0);
    ASSERT_EQ(ui.messages.size(), 2u);
    const test::MessageCall asked = ui.messages[1];
    EXPECT_EQ(asked.text, QStringLiteral("有 1 个位置的照片将被放大超过 1.25 倍，裁出的图片可能不清晰：\n"
                                         "T：A001（good.jpg）  2.00 倍\n\n"
                                         "有 1 个位置使用了已损坏的照片，裁出的图片可能有灰色区域：\n"
                                         "T：A002（bad.jpg）\n\n"
                                         "继续裁图？"));
    EXPECT_EQ(asked.buttons, Buttons::YesNo);
    EXPECT_EQ(asked.byDefault, Answer::No); // Return does not start the batch
    EXPECT_TRUE(written().isEmpty());
    EXPECT_EQ(ui.status[1], QString());

    ui.answers = {Answer::Ok, Answer::Yes};
    EXPECT_EQ(CLIP_BEGIN(state, ui), 1);
    EXPECT_EQ(written().size(), 3);
}

TEST_F(Preflight, ACleanWorkAsksNothingNew) {
    zoomIn(2, 0.9); // 576 x 432 for 640 x 480: 1.11, within the limit
    EXPECT_EQ(CLIP_BEGIN(state, ui), 1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("确信要开始裁图吗？"));
}

TEST_F(Preflight, TheWorstComeFirstAndBackgroundIsOnlyNoted) {
    // Background alone is what turning CheckMove off asked for: no question for it.
    SlotRecord& wide = state.Slots[2];
    wide.cropX = -20;
    PreflightReport report = preflightCheck(state);
    EXPECT_FALSE(report.worthAsking());
    EXPECT_EQ(report.background, QStringList{QStringLiteral("T：A003（good.jpg）")});

    zoomIn(0, 0.5);
    zoomIn(1, 0.25);
    report = preflightCheck(state);
    ASSERT_TRUE(report.worthAsking());
    ASSERT_EQ(report.enlarged.size(), 2u);
    EXPECT_EQ(report.enlarged[0].position, QStringLiteral("T：A002（good.jpg）"));
    EXPECT_NEAR(report.enlarged[0].factor, 4.0, 0.1);
    EXPECT_TRUE(preflightText(report).contains(
        QStringLiteral("有 1 个位置的裁图框超出了照片，超出的部分将是裁图背景色：\nT：A003（good.jpg）")));
}

// A photo that no longer fills its crop although CheckMove kept every crop inside (a project reopened over
// a photo of another shape) is asked about; with CheckMove off the user may have placed it so.
TEST_F(Preflight, APhotoThatNoLongerFillsItsCropIsAskedAbout) {
    state.settings.CheckMove = 1;
    state.Slots[2].cropX = 80; // 200 wide on a 200-wide thumbnail: 40 % of it is background
    PreflightReport report = preflightCheck(state);
    EXPECT_TRUE(report.worthAsking());
    EXPECT_EQ(report.lostFit, QStringList{QStringLiteral("T：A003（good.jpg）")});
    EXPECT_TRUE(preflightText(report).contains(QStringLiteral("有 1 个位置的照片已不再填满裁图框")));
    state.settings.CheckMove = 0;
    report = preflightCheck(state);
    EXPECT_TRUE(report.lostFit.isEmpty());
    EXPECT_FALSE(report.worthAsking());
}

} // namespace
} // namespace zanfold
