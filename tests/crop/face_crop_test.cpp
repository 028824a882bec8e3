#include "crop/face_crop.h"

#include "crop/assignment.h"
#include "crop/slots.h"
#include "support/qt_print.h"
#include "support/work_fixture.h"

#include <gtest/gtest.h>

namespace zanfold {
namespace {

using test::RecordingUi;

struct PlaceCase {
    const char* what;
    QSize crop, picture;
    QPoint preferred;
    std::vector<QRectF> faces;
    QPoint expected;
    friend void PrintTo(const PlaceCase& c, std::ostream* os) { *os << c.what; }
};

class FacePlacement : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(FacePlacement, KeepsFacesWholeNearestTheDefault) {
    const PlaceCase c = GetParam();
    EXPECT_EQ(faceAwarePosition(c.crop, c.picture, c.preferred, c.faces), c.expected);
}

// A 300 x 200 picture; a portrait crop 112 x 200 centred at x 94, a landscape one 300 x 169 centred at y 16.
INSTANTIATE_TEST_SUITE_P(
    Cases, FacePlacement,
    ::testing::Values(
        PlaceCase{"no face: the default exactly", {112, 200}, {300, 200}, {94, 0}, {}, {94, 0}},
        PlaceCase{"faces the default keeps: it stays",
                  {112, 200},
                  {300, 200},
                  {94, 0},
                  {{130, 60, 30, 30}},
                  {94, 0}},
        // Room 242.5 .. 287.5: the crop may start at 176 .. 242; 176 is nearest the default.
        PlaceCase{
            "a face near the right edge", {112, 200}, {300, 200}, {94, 0}, {{250, 60, 30, 30}}, {176, 0}},
        PlaceCase{"a face at the left edge", {112, 200}, {300, 200}, {94, 0}, {{0, 60, 30, 30}}, {0, 0}},
        // No crop holds both: one is kept whole, by the smaller move from the default.
        PlaceCase{"two faces far apart",
                  {112, 200},
                  {300, 200},
                  {94, 0},
                  {{10, 60, 30, 30}, {240, 60, 40, 40}},
                  {178, 0}},
        // Two faces close together on the right outweigh one on the left.
        PlaceCase{"the larger group",
                  {112, 200},
                  {300, 200},
                  {94, 0},
                  {{20, 60, 30, 30}, {200, 50, 30, 30}, {250, 70, 30, 30}},
                  {176, 0}},
        // The head room above: nearly half the face's height inside the crop.
        PlaceCase{
            "room above a face near the top", {300, 169}, {300, 200}, {0, 16}, {{100, 15, 30, 30}}, {0, 1}},
        PlaceCase{"a face at the top edge", {300, 169}, {300, 200}, {0, 16}, {{100, 0, 30, 30}}, {0, 0}},
        // Below: the chin and some neck.
        PlaceCase{"a face near the bottom", {300, 169}, {300, 200}, {0, 16}, {{100, 160, 30, 30}}, {0, 30}},
        // A crop larger than the picture may sit anywhere it covers the picture.
        PlaceCase{"a crop larger than the picture",
                  {400, 200},
                  {300, 200},
                  {-50, 0},
                  {{10, 60, 30, 30}},
                  {-50, 0}}));

// One face too large for the crop: the crop holds as much of it as it can, rather than staying put.
TEST(FacePlacementLimits, AFaceLargerThanTheCropIsHeldAsFarAsPossible) {
    const QRectF face(180, 40, 110, 110);
    const QPoint at = faceAwarePosition({112, 200}, {300, 200}, {94, 0}, {face});
    const QRectF room = faceRoom(face, {300, 200});
    EXPECT_LE(at.x(), room.left() + 1);
    EXPECT_GE(at.x() + 112, face.center().x());
}

// With FaceCrop off every initial crop is the fixed one, faces or not; on, a photo without faces still gets
// exactly the fixed one.
TEST(InitialCrop, OffOrWithoutFacesIsTheFixedCrop) {
    PhotoRecord withFaces = test::makePhoto(0, {4000, 3000});
    withFaces.facesDetected = true;
    withFaces.faces = {{QRectF(3500, 800, 400, 400), 1.0f}};
    PhotoRecord without = withFaces;
    without.faces.clear();
    for (int clipLeft : {0, 25, 50}) {
        for (const QSize aspect : {QSize(1080, 1920), QSize(1920, 1080), QSize(1000, 1000)}) {
            Settings s;
            s.ClipLeft = clipLeft;
            const CropRect fixed =
                CLIP_INIT(s, aspect.width(), aspect.height(), withFaces.thumbWidth, withFaces.thumbHeight);
            EXPECT_EQ(initialCrop(s, aspect.width(), aspect.height(), withFaces), fixed);
            s.FaceCrop = 1;
            EXPECT_EQ(initialCrop(s, aspect.width(), aspect.height(), without), fixed);
        }
    }
    Settings on;
    on.FaceCrop = 1;
    const CropRect moved = initialCrop(on, 1080, 1920, withFaces);
    EXPECT_EQ(moved.width, CLIP_INIT(on, 1080, 1920, 200, 150).width);
    EXPECT_GT(moved.x, CLIP_INIT(on, 1080, 1920, 200, 150).x);
}

// 对准人脸 on the selected position: its size stays, it moves to the face; a photo without faces leaves it
// where it is, with a message.
TEST(FacePosition, MovesTheSelectedCropOrSaysThereIsNoFace) {
    AppState state;
    RecordingUi ui;
    test::setAlbum(state, {{4000, 3000}});
    test::setCanvasArea(state);
    const int t = test::addLibraryTemplate(state, QStringLiteral("T"), {{'A', 3, 1080, 1920, 1}});
    test::addToWork(state, ui, t);
    state.CurrentSlot = 0;
    assignPhoto(state, 0, 0, 0, 0, 1080, 1920);
    SlotRecord& slot = state.Slots[0];
    slot.cropWidth -= 10; // zoomed by hand
    slot.cropHeight -= 18;
    const SlotRecord before = slot;

    PhotoRecord& photo = state.Photos[0];
    photo.facesDetected = true;
    CLIP_FACEPOS(state, ui);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("这张照片中没有找到人脸"));
    EXPECT_EQ(slot.cropX, before.cropX);

    photo.faces = {{QRectF(150, 900, 300, 300), 1.0f}};
    CLIP_FACEPOS(state, ui);
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(slot.cropWidth, before.cropWidth);
    EXPECT_EQ(slot.cropHeight, before.cropHeight);
    EXPECT_EQ(slot.cropX, 3); // the face's room starts at 3.75 thumbnail pixels
    EXPECT_EQ(slot.cropY, 9); // where the default puts a crop of this size: the face is held there
}

} // namespace
} // namespace zanfold
