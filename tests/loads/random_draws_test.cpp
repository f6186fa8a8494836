// What the loads of the water, cup, stair, sphere and sub scenes draw from the shared random
// source: every later load depends on the count and order. Loading a scene again redraws its
// tables, so these tests live in a program of their own, apart from the golden frames.
#include "capture/shot.h"
#include "timeline/scene_factory.h"
#include "support/offline.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class SceneLoads : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(EnsureOfflinePiece()); }
};

int LoadDraws(const char* scene)
{
    return RandomDrawsDuring([scene] { FindSceneObject(scene)->Load(); });
}

constexpr int SphereLoadDraws = 501 + 10 + 5 * 1501 * 7;

TEST_F(SceneLoads, LoadsDrawTheirFixedNumbersOfRandomValues)
{
    EXPECT_EQ(LoadDraws("waterover"), 4 * 5 * 151);
    EXPECT_EQ(LoadDraws("waterunder"), 4 * 5 * 151);
    EXPECT_EQ(LoadDraws("waterfilled"), 5 + 9 * 5 * 1501);
    EXPECT_EQ(LoadDraws("stair"), 3 * 2501 + 36);
    EXPECT_EQ(LoadDraws("sphere"), SphereLoadDraws);
    for (const char* scene : {"cup", "cuptwo", "subbaken", "subself"}) EXPECT_EQ(LoadDraws(scene), 0) << scene;
}

TEST_F(SceneLoads, MontagesLoadTheirSubScenesInSlotOrderAndTheSphereTwiceMore)
{
    const int meat = LoadDraws("waterover") + LoadDraws("stair") + LoadDraws("cup") + LoadDraws("intro");
    EXPECT_EQ(LoadDraws("meat"), meat);
    EXPECT_EQ(LoadDraws("meatrepeat"), 2 * SphereLoadDraws);
}

TEST_F(SceneLoads, EverySphereObjectDrawsWithTheTablesOfTheLastLoad)
{
    lum_genericscene* scheduled = FindSceneObject("sphere");
    const int32_t start = scheduled->StartTime, end = scheduled->EndTime;
    scheduled->StartTime = 0;
    scheduled->EndTime = 100000;
    scheduled->Render(53125);
    const std::vector<uint8_t> first = ReadFrameTopDown();
    // A sphere that was never loaded itself: it shares what the last load made.
    lum_genericscene* another = CreateScene("sphere");
    another->StartTime = 0;
    another->EndTime = 100000;
    another->Render(53125);
    EXPECT_EQ(ReadFrameTopDown(), first);
    scheduled->StartTime = start;
    scheduled->EndTime = end;
}

} // namespace
