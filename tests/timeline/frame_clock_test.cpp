// The frame clock's look-ahead and its account of how smoothly the music time ran.
#include "timeline/frame_clock.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameClock, DrawsAheadByTheMedianTimeToTheScreenAndMovesThatSlowly)
{
    PresentationLead lead;
    // A first slow frame (the scene's first draw) is outvoted at once.
    lead.Add(90000);
    lead.Add(16000);
    lead.Add(16500);
    EXPECT_EQ(lead.Us(), 16500);
    for (int frame = 3; frame < PresentationLead::Frames; ++frame) lead.Add(16000);
    EXPECT_EQ(lead.Us(), 16000);
    // One slow frame among many does not move it.
    lead.Add(120000);
    EXPECT_EQ(lead.Us(), 16000);
    // Frames that take longer from now on: it follows, a step of at most StepUs a frame.
    int64_t before = lead.Us();
    for (int frame = 0; frame < 100; ++frame) {
        lead.Add(30000);
        EXPECT_LE(lead.Us() - before, PresentationLead::StepUs);
        before = lead.Us();
    }
    EXPECT_EQ(lead.Us(), 30000);
}

TEST(FrameClock, TheSpreadOfTheStepsLeavesJumpsApart)
{
    FrameStepSpread spread;
    for (int step = 0; step < 100; ++step) spread.Add(step % 2 ? step * 10 : -step * 10); // 0 to 990 us off
    spread.Add(-40000); // a seek or a jump
    EXPECT_EQ(spread.Steps(), 100);
    EXPECT_EQ(spread.Jumps(), 1);
    EXPECT_EQ(spread.PercentileUs(50), 490);
    EXPECT_EQ(spread.PercentileUs(95), 940);
    EXPECT_EQ(spread.LargestUs(), 990);
    EXPECT_EQ(FrameStepSpread().PercentileUs(95), 0);
}

} // namespace
