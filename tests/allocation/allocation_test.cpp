#include "allocation/allocation.h"

#include "core/commands.h"
#include "crop/assignment.h"
#include "crop/slots.h"
#include "support/qt_print.h"
#include "support/work_fixture.h"

#include <gtest/gtest.h>

namespace zanfold {
namespace {

using test::RecordingUi;

const QSize kLandscape(4000, 3000), kPortrait(3000, 4000), kSquare(2000, 2000);

class Allot : public ::testing::Test {
protected:
    AppState state;
    RecordingUi ui;

    void SetUp() override { test::setCanvasArea(state); }

    int addTemplate(const std::vector<SpecRecord>& specs) {
        const int t =
            test::addLibraryTemplate(state, QStringLiteral("T%1").arg(state.Templates.size()), specs);
        test::addToWork(state, ui, t);
        return static_cast<int>(state.WorkTemplates.size()) - 1;
    }
    // The photos of positions first .. first + count - 1, -1 for empty.
    std::vector<int> photos(int first, int count) const {
        std::vector<int> out;
        for (int g = first; g < first + count; ++g)
            out.push_back(state.Slots[g].photo);
        return out;
    }
    void TearDown() override { EXPECT_EQ(checkInvariants(state), QString()); }
};

using V = std::vector<int>;

TEST_F(Allot, InOrderStopsOrLoops) {
    test::setAlbum(state, std::vector<QSize>(5, kLandscape));
    addTemplate({{'A', 3, 1920, 1080, 8}});
    state.settings.LockType = 0;
    ALLOT_PHOTOS(state, ui, false);
    EXPECT_EQ(photos(0, 8), (V{0, 1, 2, 3, 4, -1, -1, -1}));
    EXPECT_EQ(state.Photos[0].usage, QStringLiteral("0:0:0|"));
    EXPECT_EQ(state.Slots[0].cropWidth, 200); // 1920 x 1080 in a 200 x 150 thumbnail
    EXPECT_EQ(state.Slots[0].cropY, 19);
    EXPECT_TRUE(ui.enabled[command::StartCropping]);
    state.settings.LoopPhoto = 1;
    ALLOT_PHOTOS(state, ui, false);
    EXPECT_EQ(photos(0, 8), (V{0, 1, 2, 3, 4, 0, 1, 2}));
    EXPECT_EQ(state.Photos[0].useCount, 2);
    EXPECT_EQ(state.Photos[0].usage, QStringLiteral("0:0:0|0:0:5|"));
}

TEST_F(Allot, FirstPhotoRestartsEachTemplate) {
    test::setAlbum(state, std::vector<QSize>(4, kLandscape));
    addTemplate({{'A', 3, 1920, 1080, 3}});
    addTemplate({{'A', 3, 1920, 1080, 3}});
    state.settings.LockType = 0;
    struct Case {
        int firstPhoto, loopPhoto;
        V second;
    };
    for (const Case& c : {Case{1, 0, {0, 1, 2}}, Case{0, 0, {3, -1, -1}}, Case{0, 1, {3, 0, 1}}}) {
        state.settings.FirstPhoto = c.firstPhoto;
        state.settings.LoopPhoto = c.loopPhoto;
        ALLOT_BYORDER(state, ui);
        EXPECT_EQ(photos(0, 3), (V{0, 1, 2}));
        EXPECT_EQ(photos(3, 3), c.second) << "FirstPhoto " << c.firstPhoto << " LoopPhoto " << c.loopPhoto;
        EXPECT_EQ(checkInvariants(state), QString());
    }
}

TEST_F(Allot, ByOrientationGroups) {
    test::setAlbum(state, {{6000, 2000}, kLandscape, kPortrait, kSquare});
    addTemplate({{'A', 3, 1920, 1080, 3}, {'B', 3, 1080, 1920, 2}});
    ALLOT_PHOTOS(state, ui, false);
    EXPECT_EQ(photos(0, 5), (V{0, 1, -1, 2, -1}));
    EXPECT_EQ(state.Photos[3].useCount, 0);
    // The display size (200 x 112) is the aspect of orientation allocation: in the 200 x 67 thumbnail of
    // a 6000 x 2000 photo it gives 120 wide, where the exact 1920 x 1080 would give 119.
    EXPECT_EQ(state.Slots[0].cropHeight, 67);
    EXPECT_EQ(state.Slots[0].cropWidth, 120);
    EXPECT_EQ(state.Slots[1].cropHeight, 112);
    EXPECT_EQ(state.Slots[3].cropWidth, 112); // 112 x 200 in a 150 x 200 thumbnail

    state.settings.SurplusPhoto = 1;
    ALLOT_PHOTOS(state, ui, false);
    EXPECT_EQ(photos(0, 5), (V{0, 1, 3, 2, -1}));
}

TEST_F(Allot, OrientationGroupRestartsPerTemplate) {
    test::setAlbum(state, std::vector<QSize>(5, kLandscape));
    addTemplate({{'A', 3, 1920, 1080, 3}});
    addTemplate({{'A', 3, 1920, 1080, 4}});
    ALLOT_BYTYPE(state, ui);
    EXPECT_EQ(photos(0, 3), (V{0, 1, 2}));
    EXPECT_EQ(photos(3, 4), (V{0, 1, 2, 3}));
    state.settings.FirstPhoto = 0;
    ALLOT_BYTYPE(state, ui);
    EXPECT_EQ(photos(3, 4), (V{3, 4, -1, -1}));
    state.settings.LoopPhoto = 1;
    ALLOT_BYTYPE(state, ui);
    EXPECT_EQ(photos(3, 4), (V{3, 4, 0, 1}));
}

TEST_F(Allot, CurrentTemplateOnly) {
    test::setAlbum(state, {kLandscape, kLandscape, kPortrait});
    addTemplate({{'A', 3, 1920, 1080, 2}});
    addTemplate({{'A', 3, 1920, 1080, 3}, {'B', 3, 1080, 1920, 1}, {'C', 3, 1920, 1080, 1}});
    ALLOT_BYTYPE(state, ui);
    state.CurrentWork = 1;
    ALLOT_CLEAR_CURRENT(state, ui, true);
    EXPECT_EQ(photos(0, 2), (V{0, 1}));
    ALLOT_PHOTOS(state, ui, true);
    // The landscape group is used up by the first specification and stays so for the third.
    EXPECT_EQ(photos(2, 5), (V{0, 1, -1, 2, -1}));
    EXPECT_EQ(photos(0, 2), (V{0, 1}));
    state.settings.LockType = 0;
    ALLOT_PHOTOS(state, ui, true);
    EXPECT_EQ(photos(2, 5), (V{0, 1, 2, -1, -1}));
}

TEST_F(Allot, LeastUsedIntoTheCurrentSpecification) {
    test::setAlbum(state, {kLandscape, kLandscape, kLandscape});
    addTemplate({{'A', 3, 1920, 1080, 3}});
    addTemplate({{'A', 3, 1920, 1080, 2}});
    addTemplate({{'A', 3, 1920, 1080, 5}});
    assignPhoto(state, 0, 0, 0, 0, 1920, 1080);
    assignPhoto(state, 0, 0, 0, 1, 1920, 1080);
    assignPhoto(state, 2, 0, 0, 2, 1920, 1080);
    state.CurrentWork = 1;
    state.CurrentSpec = 0;
    ALLOT_TYPE(state, ui);
    EXPECT_EQ(photos(3, 2), (V{1, 2}));

    state.CurrentWork = 2;
    state.Slots[9].photo = -1;
    assignPhoto(state, 1, 2, 0, 4, 1920, 1080);
    ALLOT_TYPE(state, ui); // 3 photos for 5 positions: the last two stay as they were
    EXPECT_EQ(photos(5, 5), (V{0, 1, 2, -1, 1}));
}

TEST_F(Allot, CopyRepeatsTheFilledPositions) {
    test::setAlbum(state, {kLandscape, kLandscape});
    addTemplate({{'A', 3, 1920, 1080, 5}});
    assignPhoto(state, 0, 0, 0, 0, 1920, 1080);
    assignPhoto(state, 1, 0, 0, 2, 1920, 1080);
    state.Slots[2].cropX = 7;
    ALLOT_COPY_SPEC(state, ui, 0, 0, true);
    EXPECT_EQ(photos(0, 5), (V{0, 0, 1, 1, 0}));
    EXPECT_EQ(state.Slots[3].cropX, 7);
    EXPECT_EQ(state.Photos[0].usage, QStringLiteral("0:0:0|0:0:1|0:0:4|"));
    ALLOT_COPY_SPEC(state, ui, 0, 0, true); // nothing empty: nothing changes
    EXPECT_EQ(photos(0, 5), (V{0, 0, 1, 1, 0}));
}

TEST_F(Allot, SurplusUsesEachFreePhotoOnce) {
    test::setAlbum(state, {kLandscape, kPortrait, kSquare, kSquare});
    addTemplate({{'A', 3, 1920, 1080, 2}});
    addTemplate({{'A', 3, 1920, 1080, 3}});
    assignPhoto(state, 2, 0, 0, 1, 1920, 1080);
    ALLOT_SURPLUS(state, ui, false, true);
    EXPECT_EQ(photos(0, 5), (V{0, 2, 1, 3, -1}));
}

TEST_F(Allot, ClearingAndCommandStates) {
    test::setAlbum(state, {kLandscape, kLandscape});
    addTemplate({{'A', 3, 1920, 1080, 2}});
    addTemplate({{'A', 3, 1920, 1080, 2}});
    ALLOT_BYTYPE(state, ui);
    state.CurrentWork = 1;
    ALLOT_CLEAR_CURRENT(state, ui, false);
    EXPECT_EQ(photos(0, 4), (V{0, 1, -1, -1}));
    EXPECT_TRUE(ui.enabled[command::StartCropping]); // two templates: the commands stay
    EXPECT_EQ(state.CurrentSlot, -1);
    ALLOT_CLEAR_ALL(state, ui, false);
    EXPECT_EQ(photos(0, 4), (V{-1, -1, -1, -1}));
    EXPECT_FALSE(ui.enabled[command::StartCropping]);
    EXPECT_FALSE(ui.enabled[command::CopyCurrentSpec]);

    AppState single;
    test::setCanvasArea(single);
    test::setAlbum(single, {kLandscape});
    test::addToWork(single, ui,
                    test::addLibraryTemplate(single, QStringLiteral("S"), {{'A', 3, 1920, 1080, 1}}));
    ALLOT_BYTYPE(single, ui);
    EXPECT_TRUE(ui.enabled[command::StartCropping]);
    ALLOT_CLEAR_CURRENT(single, ui, false);
    EXPECT_FALSE(ui.enabled[command::StartCropping]);
}

TEST_F(Allot, NothingWithoutPhotosOrTemplates) {
    addTemplate({{'A', 3, 1920, 1080, 2}});
    ALLOT_PHOTOS(state, ui, false);
    ALLOT_PHOTOS(state, ui, true);
    EXPECT_EQ(ui.enabled.count(command::StartCropping), 0u);
}

TEST_F(Allot, UsageTextStopsAt99BytesButEveryUseIsKept) {
    test::setAlbum(state, {kLandscape});
    addTemplate({{'A', 3, 1920, 1080, 20}});
    state.settings.LockType = 0;
    state.settings.LoopPhoto = 1;
    ALLOT_PHOTOS(state, ui, false);
    EXPECT_EQ(state.Photos[0].useCount, 20);
    EXPECT_EQ(state.Photos[0].usage.size(), 99);
    // Taking out a named use makes room for one the text left out.
    state.CurrentWork = 0;
    state.CurrentSpec = 0;
    state.CurrentSlot = 0;
    releaseSlot(state, 0, 0, 0);
    EXPECT_EQ(state.Photos[0].useCount, 19);
    EXPECT_FALSE(state.Photos[0].usage.startsWith(QStringLiteral("0:0:0|")));
}

} // namespace
} // namespace zanfold
