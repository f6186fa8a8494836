// The montage arithmetic: which sub-scene a montage shows at a progress and the time it gives
// it, and the pulse, on the four montage plans.
#include "timeline/montage.h"

#include <gtest/gtest.h>

#include <cmath>

void PrintTo(const MontageCut& cut, std::ostream* out)
{
    *out << "slot " << cut.slot << " at " << cut.subTime;
}

namespace {

TEST(Montage, MeatCutsThroughItsSlotsAndQuartersOfEachSpan)
{
    EXPECT_EQ(CutAt(MeatPlan, 0.0f), (MontageCut{0, 0}));
    EXPECT_EQ(CutAt(MeatPlan, 1.0f / 16), (MontageCut{1, 0}));
    EXPECT_EQ(CutAt(MeatPlan, 4.0f / 16), (MontageCut{0, 25000}));
    // Just below the end: the intro, just below the end of its own span.
    const MontageCut last = CutAt(MeatPlan, std::nextafter(1.0f, 0.0f));
    EXPECT_EQ(last.slot, 3);
    EXPECT_GT(last.subTime, 99990);
    EXPECT_LE(last.subTime, 99999);
    // Half-way through the first segment, waterover is an eighth into its first quarter.
    EXPECT_EQ(CutAt(MeatPlan, 1.0f / 32), (MontageCut{0, 12500}));
}

TEST(Montage, MeatrepeatRunsEverySubSceneOnItsOwnProgress)
{
    EXPECT_EQ(CutAt(MeatRepeatPlan, 0.5f), (MontageCut{0, 50000}));
    EXPECT_EQ(CutAt(MeatRepeatPlan, 3.0f / 32), (MontageCut{3, 9375}));
}

TEST(Montage, MeatkillaShowsEachKillSceneEightTimes)
{
    EXPECT_EQ(CutAt(MeatKillaPlan, 0.5f), (MontageCut{0, 50000}));
    EXPECT_EQ(CutAt(MeatKillaPlan, 1.0f / 32), (MontageCut{1, 0}));
    EXPECT_EQ(CutAt(MeatKillaPlan, 4.0f / 32 + 1.0f / 64), (MontageCut{0, 12500 + 6250}));
}

TEST(Montage, NoSubSceneIsGivenATimeOutsideItsSpan)
{
    for (const MontagePlan* plan : {&MeatPlan, &MeatMorePlan, &MeatRepeatPlan, &MeatKillaPlan}) {
        // Every progress a 18112 or 36224 ms span gives, and the floats just below each cut.
        for (int32_t span : {18112, 36224})
            for (int32_t t = 0; t < span; ++t) {
                const float p = static_cast<float>(static_cast<double>(t) / span);
                const MontageCut cut = CutAt(*plan, p);
                ASSERT_GE(cut.subTime, 0) << "p " << p;
                ASSERT_LT(cut.subTime, SubSceneSpan) << "p " << p;
                ASSERT_GE(cut.slot, 0);
                ASSERT_LT(cut.slot, 4);
            }
        for (int k = 1; k <= plan->segments; ++k) {
            const float justBelow = std::nextafter(static_cast<float>(k) / plan->segments, 0.0f);
            const MontageCut cut = CutAt(*plan, justBelow);
            EXPECT_LT(cut.subTime, SubSceneSpan) << k;
            EXPECT_EQ(cut.slot, (k - 1) % 4) << k;
        }
    }
}

TEST(Montage, ThePulseDarkensMidSegmentAndNotAtTheCuts)
{
    EXPECT_NEAR(PulseAt(MeatPlan, 0.0f), 0.0f, 1e-6f);
    EXPECT_NEAR(PulseAt(MeatPlan, 1.0f / 16), 0.0f, 1e-5f);
    EXPECT_NEAR(PulseAt(MeatPlan, 1.0f / 32), 0.6f, 1e-5f);           // dims to 40 percent
    EXPECT_NEAR(PulseAt(MeatKillaPlan, 0.5f + 1.0f / 64), 0.45f, 1e-5f); // to 55 percent
    // Forty percent of the way through a segment, meatkilla's square-root rise is further on.
    const float p = 0.4f / 32;
    EXPECT_NEAR(PulseAt(MeatRepeatPlan, p), 0.6f * std::sin(0.4f * static_cast<float>(M_PI)), 1e-5f);
    EXPECT_NEAR(PulseAt(MeatKillaPlan, p), 0.45f * std::sqrt(std::sin(0.4f * static_cast<float>(M_PI))), 1e-5f);
    EXPECT_NEAR(PulseAt(MeatKillaPlan, 0.55f / 32), PulseAt(MeatKillaPlan, 0.45f / 32), 1e-5f);
}

} // namespace
