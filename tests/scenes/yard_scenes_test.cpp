// smallfall and sign, the two timeline scenes in the yard: their loads, the wobbled progress
// and the leaves' fall, the sign's blur and fade, and what their frames show.
#include "base/piece_schedule.h"
#include "resources/globaldata.h"
#include "scenes/scene_sign.h"
#include "scenes/scene_smallfall.h"
#include "timeline/scene_factory.h"
#include "support/offline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

constexpr int32_t kSmallfallStart = FindScheduledScene("smallfall")->startMs;
constexpr int32_t kSignStart = FindScheduledScene("sign")->startMs;
constexpr int32_t kSpan = 18112;

// Mean brightness of the picture band, inside the letterbox bars.
double BandBrightness(const std::vector<uint8_t>& frame)
{
    return MeanBrightness(frame, 40, 80, 600, 400);
}

// Mean difference between horizontally neighbouring pixels of the band: high for a sharp
// picture, low for a blurred one.
double BandDetail(const std::vector<uint8_t>& frame)
{
    double sum = 0;
    int count = 0;
    for (int y = 80; y < 400; ++y)
        for (int x = 40; x < 600; ++x)
            for (int c = 0; c < 3; ++c, ++count)
                sum += std::abs(frame[(y * 640 + x) * 3 + c] - frame[(y * 640 + x + 1) * 3 + c]);
    return sum / count;
}

TEST(Smallfall, WobbledProgressSurgesEightTimesWithoutGoingBack)
{
    EXPECT_FLOAT_EQ(WobbledProgress(0), 0);
    EXPECT_NEAR(WobbledProgress(1.0f / 32), 1.0f / 32 - 1.0f / 60, 1e-6f); // the largest lag
    EXPECT_NEAR(WobbledProgress(3.0f / 32), 3.0f / 32 + 1.0f / 60, 1e-6f); // the largest lead
    EXPECT_NEAR(WobbledProgress(0.5f), 0.5f, 1e-6f);
    // Frame by frame at 60 per second over the span, p never decreases.
    float previous = WobbledProgress(0);
    for (int ms = 17; ms < kSpan; ms += 17) {
        const float p = WobbledProgress(static_cast<float>(ms) / kSpan);
        EXPECT_GE(p, previous) << "at " << ms << " ms";
        previous = p;
    }
}

TEST(Smallfall, ALeafShakesLooseAndFallsWithoutAJump)
{
    for (int j : {1, 5, 1000}) {
        const SmallfallLeafPose loose = SmallfallLeafAt(j, 60, 500, 0.2f);
        const SmallfallLeafPose falling = SmallfallLeafAt(j, 60, 500, std::nextafter(0.2f, 1.0f));
        EXPECT_FLOAT_EQ(loose.x, 60);
        EXPECT_FLOAT_EQ(loose.y, 0);
        EXPECT_FLOAT_EQ(loose.z, -10);
        EXPECT_FLOAT_EQ(loose.pitch, 0);
        EXPECT_NEAR(falling.x, 60, 1e-3f) << j;
        EXPECT_NEAR(falling.y, 0, 1e-3f) << j;
        EXPECT_NEAR(falling.z, -10, 0.1f) << j; // c sqrt(v) leaves -10 steeply
        EXPECT_NEAR(falling.pitch, 0, 1e-3f) << j;
        EXPECT_NEAR(falling.yaw, loose.yaw, 1e-3f) << j;
    }
    // At the end of its fall: 2300 down, 3.5 times out, 2150 nearer plus its drift.
    const SmallfallLeafPose fallen = SmallfallLeafAt(1, 60, 500, std::nextafter(1.0f, 0.0f));
    EXPECT_NEAR(fallen.x, 210, 1e-2f);
    EXPECT_NEAR(fallen.y, -2300, 1e-2f);
    EXPECT_NEAR(fallen.z, 500 - 10 - 2150, 1e-2f);

    // Leaf 0 is even and a multiple of 3: both turns reversed; leaf 2050 only its yaw.
    const SmallfallLeafPose first = SmallfallLeafAt(0, 0, 0, 0.6f);
    EXPECT_NEAR(first.yaw, -360 * 0.6f, 1e-3f);
    EXPECT_NEAR(first.pitch, -360 * 0.5f, 1e-3f);
    const SmallfallLeafPose last = SmallfallLeafAt(2050, 0, 0, 0.6f);
    EXPECT_NEAR(last.yaw, -3 * 360 * 0.6f, 1e-3f);
    EXPECT_NEAR(last.pitch, 4 * 360 * 0.5f, 1e-3f);
}

TEST(Sign, TheBlurClearsInTheMiddleAndThePictureFadesToBlack)
{
    EXPECT_FLOAT_EQ(SignBackdropSharpness(0), 0);  // wholly blurred
    EXPECT_FLOAT_EQ(SignBackdropSharpness(0.5f), 1); // sharp
    EXPECT_NEAR(SignBackdropSharpness(0.25f), 0.5f, 1e-6f);
    EXPECT_FLOAT_EQ(SignFadeAlpha(0), 1); // no darkening
    EXPECT_NEAR(SignFadeAlpha(0.5f), std::sqrt(0.5f), 1e-6f);
}

class YardScenes : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(EnsureOfflinePiece()); }
};

TEST_F(YardScenes, EveryTextureTheYardScenesBindByNameIsThere)
{
    for (const char* name : {"flatsky", "bigshadow", "prepare", "font", "leaf1", "leaf2", "leaf3", "leaf4", "leaf5"})
        EXPECT_NE(FindTexture(GlobalTextures, name), 0u) << name;
}

TEST_F(YardScenes, SmallfallDrawsThreeNumbersALeafAndSignNone)
{
    EXPECT_EQ(RandomDrawsDuring([] { FindSceneObject("smallfall")->Load(); }), 3 * 5 * 2051);
    EXPECT_EQ(RandomDrawsDuring([] { FindSceneObject("sign")->Load(); }), 0);
}

TEST_F(YardScenes, SmallfallRisesOutOfBlack)
{
    const double start = BandBrightness(RenderFrameAt(kSmallfallStart));
    const double middle = BandBrightness(RenderFrameAt(kSmallfallStart + kSpan / 4));
    EXPECT_LT(start, 20) << "smallfall at p = 0 is black but for the grain";
    EXPECT_GT(middle, start + 30) << "the yard and the leaves never show";
}

TEST_F(YardScenes, SignsBackdropIsBlurredAtTheStartAndSharpInTheMiddle)
{
    const auto start = RenderFrameAt(kSignStart);
    const auto middle = RenderFrameAt(kSignStart + kSpan / 2);
    EXPECT_GT(BandBrightness(start), 25) << "the blurred yard is not black";
    EXPECT_GT(BandDetail(middle), 1.5 * BandDetail(start));
}

} // namespace
