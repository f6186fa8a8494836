// The kill scenes (killme, killfall, killself, killthroat) and their shared steps: the
// numbers their loads draw, the fall and the burst, the stream's gaps and turns, the throat
// leaves on their curve, the two-path choice.
#include "render/gl_matrix.h"
#include "render/lum_globals.h"
#include "scenes/kill_blocks.h"
#include "scenes/scene_killfall.h"
#include "scenes/scene_killself.h"
#include "scenes/scene_killthroat.h"
#include "timeline/scene_factory.h"
#include "support/offline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

// The leaf's origin, where the per-leaf calls put the leaf's centre.
void ExpectOrigin(const GlMatrix& m, float x, float y, float z, float tolerance, const char* what)
{
    float origin[3];
    m.TransformPoint(0, 0, 0, origin);
    EXPECT_NEAR(origin[0], x, tolerance) << what;
    EXPECT_NEAR(origin[1], y, tolerance) << what;
    EXPECT_NEAR(origin[2], z, tolerance) << what;
}

void ExpectSameMatrix(const GlMatrix& a, const GlMatrix& b, float tolerance, const char* what)
{
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(a.m[i], b.m[i], tolerance) << what << ", element " << i;
}

// Loading a scene again draws its numbers again. Each test runs in its own process (ctest),
// so the tables the other tests see are those of the start-up.
TEST(KillScenes, EachLoadDrawsItsNumbersUnusedOnesIncluded)
{
    ASSERT_NO_FATAL_FAILURE(EnsureOfflinePiece());
    // killme: seven a leaf (a, two unused, c, two unused, f), 5 x 301 leaves.
    EXPECT_EQ(RandomDrawsDuring([] { FindSceneObject("killme")->Load(); }), 7 * 5 * 301);
    // killfall: a, two for b, c, d, e, f; 5 x 701 leaves.
    EXPECT_EQ(RandomDrawsDuring([] { FindSceneObject("killfall")->Load(); }), 7 * 5 * 701);
    // killself: r, two unused, h, then three unused, 5 x 501 leaves.
    EXPECT_EQ(RandomDrawsDuring([] { FindSceneObject("killself")->Load(); }), (4 + 3) * 5 * 501);
    // killthroat: h and three offsets for each of 6501 leaves.
    EXPECT_EQ(RandomDrawsDuring([] { FindSceneObject("killthroat")->Load(); }), 4 * 6501);
}

TEST(KillFall, TheFigureFallsFrom4000ToTheGroundAndEachHalfReplaysIt)
{
    EXPECT_FLOAT_EQ(FallHeight(0), 4000);
    EXPECT_FLOAT_EQ(FallHeight(0.03125f), 2000);
    EXPECT_FLOAT_EQ(FallHeight(0.0625f), 0); // lands on the ground killme lays it on
    EXPECT_FLOAT_EQ(FallHeight(0.3f), 0);
    EXPECT_FLOAT_EQ(FallHeight(HalfProgress(0.5f)), 4000); // the second half starts over
    EXPECT_FLOAT_EQ(FallHeight(HalfProgress(0.5f + 0.0625f)), 0);
    for (float p = 0; p < 0.0625f; p += 0.001f) EXPECT_GE(FallHeight(p), FallHeight(p + 0.001f)) << p;
}

TEST(KillFall, ABurstLeafStartsAtTheImpactAndLandsAtItsDistanceWithoutTumble)
{
    const BurstLeaf leaf{90, 300, 900, 0.1f, 1000, 30};
    // At the impact: the point of impact, 10 up, the full tumble still on.
    ExpectOrigin(BurstLeafPlacement(leaf, 0), 0, 10, 0, 1e-3f, "at the impact");

    // Landed from p = 0.0625 + d on: at distance c along a, 10 up, only the spin left.
    GlMatrix landed;
    landed.Rotate(90, 0, 1, 0);
    landed.Translate(0, 10, 900);
    landed.Rotate(30, 0, 1, 0);
    landed.Scale(50, 50, 50);
    const GlMatrix atLanding = BurstLeafPlacement(leaf, 0.1625f - 0.0625f);
    ExpectOrigin(atLanding, 900, 10, 0, 0.05f, "at p = 0.1625");
    ExpectSameMatrix(atLanding, landed, 0.05f, "at p = 0.1625");
    ExpectSameMatrix(BurstLeafPlacement(leaf, 0.3f), landed, 1e-3f, "long after landing");

    // Halfway through its flight (u = 1/2 at s = d / 4) it is at the top of its arc.
    ExpectOrigin(BurstLeafPlacement(leaf, 0.025f), 450, 310, 0, 0.05f, "top of the arc");
}

TEST(KillSelf, TheStreamPoursFrom0_1875OfEachHalf)
{
    for (int i = 0; i < 1000; ++i) {
        const float p = i / 1000.0f;
        const bool expected = (p >= 0.1875f && p < 0.5f) || p >= 0.6875f;
        EXPECT_EQ(StreamPours(HalfProgress(p)), expected) << "at p = " << p;
    }
}

TEST(KillSelf, StreamLeavesLeaveTheLanternAndTurnByTheParityOfTheirKind)
{
    const StreamLeaf leaf{200, 0.5f};
    // q = frac(2 p + h) = 0: the lantern's mouth; q near 1: 3 r out and 290 down.
    ExpectOrigin(StreamLeafPlacement(1, 7, leaf, 0.25f), -47.2f, 258, 195.2f, 1e-3f, "q = 0");
    ExpectOrigin(StreamLeafPlacement(1, 7, {200, 0.4999f}, 0.25f), 600 - 47.2f, -32, 195.2f, 0.5f, "q near 1");

    // Leaf 0 (m = 1): the odd kinds turn by the opposite angle about the same axis, so their
    // turn is the transpose of the even kinds'; the leaf's own number does not matter.
    const GlMatrix odd = StreamLeafPlacement(1, 0, leaf, 0.3f);
    const GlMatrix even = StreamLeafPlacement(2, 0, leaf, 0.3f);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            EXPECT_NEAR(odd.m[4 * column + row], even.m[4 * row + column], 1e-4f) << row << ", " << column;
    EXPECT_GT(std::fabs(odd.m[8] - even.m[8]), 0.1f) << "the two turns are the same";
    ExpectSameMatrix(StreamLeafPlacement(3, 0, leaf, 0.3f), odd, 0, "kinds 1 and 3");
    ExpectSameMatrix(StreamLeafPlacement(5, 0, leaf, 0.3f), odd, 0, "kinds 1 and 5");
    ExpectSameMatrix(StreamLeafPlacement(4, 0, leaf, 0.3f), even, 0, "kinds 2 and 4");
}

// GL tests here draw in the piece's own context (a second context would take the frame).
class KillGlTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(EnsureOfflinePiece()); }
};

TEST_F(KillGlTest, TheTwoPathChoiceFliesTheFirstPathThenReplaysFromTheSecond)
{
    static CameraPath first{}, second{};
    first.count = second.count = 6;
    for (int k = 0; k < PathSlotCount; ++k) {
        first.keys[k] = {60, static_cast<float>(k), 0, 0, 0, 0, 100, 0, 1, 0};
        second.keys[k] = {60, 0, static_cast<float>(10 * k), 0, 0, static_cast<float>(10 * k), 100, 0, 1, 0};
    }
    CameraRecord expected{};
    EXPECT_FLOAT_EQ(FlyOneOfTwoPaths(0.3f, first, 1.3f, second, 1.9f), 0.3f);
    EvaluateCameraPath(expected, first, 1.3f * 0.3f);
    EXPECT_EQ(std::memcmp(&CurrentCamera, &expected, sizeof expected), 0);

    EXPECT_NEAR(FlyOneOfTwoPaths(0.7f, first, 1.3f, second, 1.9f), 0.2f, 1e-6f);
    EvaluateCameraPath(expected, second, 1.9f * HalfProgress(0.7f));
    EXPECT_EQ(std::memcmp(&CurrentCamera, &expected, sizeof expected), 0);
    // The camera is applied: GL's modelview looks level from the second path's eye.
    float modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    EXPECT_NEAR(modelview[13], -expected.eyeY, 1e-2f);
}

TEST(KillThroat, ALeafAtTheStartOfItsRunSitsOnTheCurvesStartWithoutOffset)
{
    static CameraPath throat{};
    throat.count = 6;
    for (int k = 1; k < 6; ++k) throat.keys[k] = {60, 10.0f * k, 100.0f - k, 5.0f * k * k, 0, 0, 0, 0, 1, 0};
    const PathSegments curve(throat);
    float position[3];
    // v = frac(p / 5 + h) = 0 at p = 0, h = 0, and at p = 2.5, h = 0.5.
    ThroatLeafPosition(curve, {0, {175, -175, 100}}, 0, position);
    EXPECT_FLOAT_EQ(position[0], 10);
    EXPECT_FLOAT_EQ(position[1], 99);
    EXPECT_FLOAT_EQ(position[2], 5);
    ThroatLeafPosition(curve, {0.5f, {175, -175, 100}}, 2.5f, position);
    EXPECT_NEAR(position[0], 10, 1e-3f);

    // Half way through its run (v = 1/2, s = 1/4): the curve at 1/4 plus a quarter offset.
    CameraRecord quarter{};
    EvaluateCameraPath(quarter, throat, 0.25f);
    ThroatLeafPosition(curve, {0.5f, {100, -40, 8}}, 0, position);
    EXPECT_NEAR(position[0], quarter.eyeX + 25, 1e-3f);
    EXPECT_NEAR(position[1], quarter.eyeY - 10, 1e-3f);
    EXPECT_NEAR(position[2], quarter.eyeZ + 2, 1e-3f);
}

TEST(KillThroat, CurrentCameraIsTheScenesOwnPathNotTheThroatCurve)
{
    ASSERT_NO_FATAL_FAILURE(EnsureOfflinePiece());
    static CameraPath own{};
    LoadCameraPath(own, "data\\killthroat.camera");
    RenderSceneAt("killthroat", 40000);
    CameraRecord expected{};
    EvaluateCameraPath(expected, own, 0.88f * 0.4f);
    EXPECT_EQ(std::memcmp(&CurrentCamera, &expected, sizeof expected), 0)
        << "eye " << CurrentCamera.eyeX << " " << CurrentCamera.eyeY << " " << CurrentCamera.eyeZ;
}

} // namespace
