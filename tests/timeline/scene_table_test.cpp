// The scene table, its spans, progress and the per-frame dispatch.
#include "app/globals.h"
#include "sound/frame_clock.h"
#include "timeline/globalscenes.h"
#include "scenes/scene_greet.h"
#include "scenes/scene_outro.h"
#include "scenes/scene_sphere.h"
#include "scenes/scene_title.h"
#include "timeline/scene_meatkilla.h"

#include <gtest/gtest.h>

#include <cmath>
#include <typeinfo>
#include <vector>

namespace {

lum_genericscene Span(int32_t start, int32_t end)
{
    lum_genericscene scene;
    scene.StartTime = start;
    scene.EndTime = end;
    return scene;
}

TEST(Progress, IsTheFractionOfTheSpanInSinglePrecision)
{
    const lum_genericscene scene = Span(1000, 3000);
    EXPECT_EQ(scene.Progress(1000), 0.0f);
    EXPECT_EQ(scene.Progress(2000), 0.5f);
    EXPECT_EQ(scene.Progress(2999), static_cast<float>(1999.0 / 2000.0));
    EXPECT_LT(scene.Progress(2999), 1.0f);
}

TEST(Progress, IsMinusOneOutsideTheSpanAndForAnEmptySpan)
{
    const lum_genericscene scene = Span(1000, 3000);
    EXPECT_EQ(scene.Progress(999), -1.0f);
    EXPECT_EQ(scene.Progress(3000), -1.0f);
    EXPECT_EQ(scene.Progress(-5), -1.0f);
    EXPECT_EQ(scene.Progress(INT32_MIN), -1.0f);
    EXPECT_EQ(Span(0, 0).Progress(0), -1.0f);
    // Signed comparisons: a span reaching into negative times still works.
    EXPECT_EQ(Span(-100, 100).Progress(0), 0.5f);
    // Large spans do not overflow the integer differences.
    EXPECT_EQ(Span(INT32_MIN, INT32_MAX).Progress(INT32_MAX - 1), static_cast<float>((4294967294.0) / 4294967295.0));
}

// Records which slots rendered at which time.
struct RenderLog {
    std::vector<std::pair<int, int32_t>> calls;
};

class RecordingScene : public lum_genericscene {
public:
    RecordingScene(RenderLog& log, int slot) : m_log(log), m_slot(slot) {}
    void Render(int32_t time) override { m_log.calls.push_back({m_slot, time}); }

private:
    RenderLog& m_log;
    int m_slot;
};

class SceneTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitialiseSceneTable();
        for (int slot = 0; slot < kSceneSlotCount; ++slot) {
            m_saved[slot] = SceneTable[slot];
            if (!SceneTable[slot]) continue;
            auto* recorder = new RecordingScene(m_log, slot);
            recorder->StartTime = SceneTable[slot]->StartTime;
            recorder->EndTime = SceneTable[slot]->EndTime;
            SceneTable[slot] = recorder;
        }
    }
    void TearDown() override
    {
        for (int slot = 0; slot < kSceneSlotCount; ++slot) {
            if (SceneTable[slot] != m_saved[slot]) delete SceneTable[slot];
            SceneTable[slot] = m_saved[slot];
        }
        SetOfflineFrameTime(std::nullopt);
    }
    std::vector<std::pair<int, int32_t>> RenderAt(int32_t ms)
    {
        m_log.calls.clear();
        SetOfflineFrameTime(ms);
        RenderFrame();
        return m_log.calls;
    }

    RenderLog m_log;
    lum_genericscene* m_saved[kSceneSlotCount] = {};
};

TEST_F(SceneTableTest, HoldsTheFourteenScenesInTheirSlotsWithTheirSpans)
{
    struct Expected {
        int slot;
        int32_t start, end;
    };
    const Expected schedule[] = {{0, 0, 18112},          {1, 18112, 36223},      {2, 36224, 54336},
                                 {15, 54336, 90560},     {5, 90560, 108672},     {6, 108672, 126784},
                                 {7, 126784, 144896},    {8, 144896, 163008},    {9, 163008, 181120},
                                 {10, 181120, 199232},   {11, 199232, 235456},   {12, 235456, 253568},
                                 {13, 253568, 289792},   {16, 289792, 307904}};
    int filled = 0;
    for (const lum_genericscene* scene : SceneTable) filled += scene != nullptr;
    EXPECT_EQ(filled, 14);
    for (const Expected& entry : schedule) {
        ASSERT_NE(SceneTable[entry.slot], nullptr) << entry.slot;
        EXPECT_EQ(SceneTable[entry.slot]->StartTime, entry.start) << entry.slot;
        EXPECT_EQ(SceneTable[entry.slot]->EndTime, entry.end) << entry.slot;
    }
    EXPECT_EQ(typeid(*m_saved[0]), typeid(tscene_title));
    EXPECT_EQ(typeid(*m_saved[1]), typeid(tscene_sphere));
    EXPECT_EQ(typeid(*m_saved[11]), typeid(tscene_meatkilla));
    EXPECT_EQ(typeid(*m_saved[13]), typeid(tscene_greet));
    EXPECT_EQ(typeid(*m_saved[16]), typeid(tscene_outro));
}

TEST_F(SceneTableTest, DispatchesOnlyTheSceneWhoseSpanHoldsTheTime)
{
    using Calls = std::vector<std::pair<int, int32_t>>;
    EXPECT_EQ(RenderAt(0), (Calls{{0, 0}}));
    EXPECT_EQ(MusicTime, 0);
    EXPECT_EQ(RenderAt(18111), (Calls{{0, 18111}}));
    EXPECT_EQ(RenderAt(18112), (Calls{{1, 18112}}));
    EXPECT_EQ(RenderAt(36223), Calls{}); // the gap between sphere and smallfall
    EXPECT_EQ(RenderAt(36224), (Calls{{2, 36224}}));
    EXPECT_EQ(RenderAt(60000), (Calls{{15, 60000}}));
    EXPECT_EQ(RenderAt(307903), (Calls{{16, 307903}}));
    EXPECT_EQ(RenderAt(307904), Calls{});
    EXPECT_EQ(RenderAt(400000), Calls{});
    EXPECT_EQ(RenderAt(-1), Calls{});
    EXPECT_EQ(MusicTime, -1);
}

TEST_F(SceneTableTest, ThePieceHasEndedOnlyPastTheOutro)
{
    EXPECT_FALSE(PieceHasEnded(0));
    EXPECT_FALSE(PieceHasEnded(36223));
    EXPECT_FALSE(PieceHasEnded(307903));
    EXPECT_TRUE(PieceHasEnded(307904));
    EXPECT_TRUE(PieceHasEnded(INT32_MAX));
}

TEST_F(SceneTableTest, EveryMillisecondOfThePieceHasAtMostOneScene)
{
    for (int32_t ms = 0; ms < 307904; ms += 7) EXPECT_LE(RenderAt(ms).size(), 1u) << ms;
}

} // namespace
