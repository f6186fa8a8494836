// The montage scenes in the piece: the sub-scene the cut names shows, and the pulse darkens it.
#include "support/offline.h"

#include "capture/shot.h"
#include "render/lum_frame.h"
#include "timeline/montage.h"
#include "timeline/scene_factory.h"

#include <gtest/gtest.h>

namespace {

class MontageScenes : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(EnsureOfflinePiece()); }
    static double Band(const std::vector<uint8_t>& frame) { return MeanBrightness(frame, 0, 70, 640, 410); }
};

TEST_F(MontageScenes, MeatCutsFromThePondToTheStairOnWhite)
{
    // 109238 ms lies in meat's first segment (the pond from above), 110370 ms in its second (the
    // stair against white), each at the same place in its segment, so under the same pulse.
    const double pond = Band(RenderFrameAt(109238));
    const double stair = Band(RenderFrameAt(110370));
    EXPECT_GT(stair, pond + 40) << "the stair's white background";
    EXPECT_GT(pond, 25) << "the pond is lit";
}

TEST_F(MontageScenes, SubScenesClippedToTheBandGiveTheFramesTheyGiveDrawnWhole)
{
    for (const MontagePlan* plan : {&MeatPlan, &MeatMorePlan, &MeatRepeatPlan, &MeatKillaPlan}) {
        SubSceneTable subScenes{};
        for (int slot = 0; slot < 4; ++slot) subScenes[slot] = FindSceneObject(plan->subScenes[slot]);
        MontagePlan whole = *plan;
        whole.inBand = {false, false, false, false};
        for (int slot = 0; slot < 4; ++slot) {
            // Mid-segment in the slot's second appearance; each frame after the same one before.
            const float p = (4.0f + slot + 0.5f) / plan->segments;
            auto frame = [&](const MontagePlan& drawn) {
                SetNoiseTickCount(777);
                RenderMontage(subScenes, whole, 0.5f / plan->segments);
                RenderMontage(subScenes, drawn, p);
                return ReadFrameTopDown();
            };
            EXPECT_EQ(frame(*plan), frame(whole)) << plan->subScenes[slot] << " in slot " << slot;
        }
    }
}

TEST_F(MontageScenes, ThePulseDarkensTheMiddleOfASegment)
{
    // meatkilla's segments are 1132 ms; a cut at 199232 + 1132 k. The same sub-scene a few
    // milliseconds after a cut and in the middle of its segment: the middle is darker although
    // the kill scene itself barely moves in 566 ms of a 100-second span.
    const double atCut = Band(RenderFrameAt(199232 + 4 * 1132 + 20));
    const double midSegment = Band(RenderFrameAt(199232 + 4 * 1132 + 566));
    EXPECT_LT(midSegment, atCut * 0.75);
}

// Golden frames of the four montages: meat's pond and stair, meatmore's pond from below,
// meatrepeat's beacon on blue, meatkilla's burst.
class MontageGoldenFrames : public ::testing::TestWithParam<int32_t> {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(EnsureOfflinePiece()); }
};

TEST_P(MontageGoldenFrames, MatchTheStoredPicture)
{
    ExpectGoldenFrame(RenderFrameAt(GetParam()), "frame_" + std::to_string(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Montages, MontageGoldenFrames, ::testing::Values(109238, 110370, 128200, 146311, 215650));

} // namespace
