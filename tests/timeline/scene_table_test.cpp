// The scene table, its spans, progress and the per-frame dispatch.
#include "base/piece_schedule.h"
#include "timeline/frame_clock.h"
#include "timeline/globalscenes.h"
#include "scenes/scene_greet.h"
#include "scenes/scene_outro.h"
#include "scenes/scene_sphere.h"
#include "scenes/scene_title.h"
#include "timeline/scene_factory.h"
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

TEST_F(SceneTableTest, HoldsTheFourteenScheduledScenesInTheirSlotsWithTheirSpans)
{
    int filled = 0;
    for (const lum_genericscene* scene : SceneTable) filled += scene != nullptr;
    EXPECT_EQ(filled, 14);
    for (const ScheduledScene& entry : PieceSchedule) {
        ASSERT_NE(m_saved[entry.slot], nullptr) << entry.name;
        EXPECT_EQ(SceneClassName(*m_saved[entry.slot]), entry.name);
        EXPECT_EQ(SceneTable[entry.slot]->StartTime, entry.startMs) << entry.name;
        EXPECT_EQ(SceneTable[entry.slot]->EndTime, entry.endMs) << entry.name;
    }
    // Slots 3, 4 and 14 stay empty; the table's objects are the first of their class.
    EXPECT_EQ(m_saved[3], nullptr);
    EXPECT_EQ(m_saved[4], nullptr);
    EXPECT_EQ(m_saved[14], nullptr);
    EXPECT_EQ(typeid(*m_saved[1]), typeid(tscene_sphere));
    EXPECT_EQ(typeid(*m_saved[11]), typeid(tscene_meatkilla));
    EXPECT_EQ(FindSceneObject("sphere"), m_saved[1]);
    EXPECT_EQ(FindSceneObject("outro"), m_saved[16]);
}

TEST(SceneFactory, MakesEveryClassByNameAndNothingElse)
{
    for (std::string_view name : SceneClassNames) {
        lum_genericscene* scene = CreateScene(name);
        ASSERT_NE(scene, nullptr) << name;
        EXPECT_EQ(SceneClassName(*scene), name);
        EXPECT_EQ(scene->Progress(0), -1.0f) << name << " is made with the empty span";
    }
    EXPECT_EQ(CreateScene("tscene_title"), nullptr);
    EXPECT_EQ(CreateScene("Title"), nullptr);
    EXPECT_EQ(CreateScene(""), nullptr);
    const lum_genericscene stranger;
    EXPECT_EQ(SceneClassName(stranger), "");
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
    EXPECT_FALSE(PieceHasEnded(PieceEndMs() - 1));
    EXPECT_TRUE(PieceHasEnded(PieceEndMs()));
    EXPECT_EQ(PieceEndMs(), FindScheduledScene("outro")->endMs);
    EXPECT_TRUE(PieceHasEnded(INT32_MAX));
}

TEST_F(SceneTableTest, EveryMillisecondOfThePieceHasAtMostOneScene)
{
    for (int32_t ms = 0; ms < PieceEndMs(); ms += 7) EXPECT_LE(RenderAt(ms).size(), 1u) << ms;
}

} // namespace
