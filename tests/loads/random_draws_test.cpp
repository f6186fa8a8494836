// What the scenes' loads draw from the shared random source: every later load depends on the
// count and order. Loading a scene again redraws its tables, so these tests live in a program
// of their own, apart from the golden frames.
#include "base/random.h"
#include "capture/shot.h"
#include "scenes/landscape_field.h"
#include "scenes/scene_atom.h"
#include "scenes/scene_baken.h"
#include "scenes/scene_giorl.h"
#include "scenes/scene_greet.h"
#include "scenes/scene_killfall.h"
#include "scenes/scene_killme.h"
#include "scenes/scene_killself.h"
#include "scenes/scene_killthroat.h"
#include "scenes/scene_season.h"
#include "scenes/scene_smallfall.h"
#include "scenes/scene_sphere.h"
#include "scenes/scene_stair.h"
#include "timeline/scene_factory.h"
#include "support/offline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
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

// The sequence a load sees, written here from the generator's definition alone: the seed
// becomes seed * 134775813 + 1 (mod 2^32), and a draw is the high word of seed * 1000000,
// divided by 1000000.
class Draws {
public:
    explicit Draws(uint32_t seed) : m_seed(seed) {}
    double Next()
    {
        m_seed = m_seed * 134775813u + 1u;
        return static_cast<double>((static_cast<uint64_t>(m_seed) * 1000000u) >> 32) / 1000000.0;
    }
    // Past n draws.
    Draws& Skip(int n)
    {
        while (n-- > 0) Next();
        return *this;
    }

private:
    uint32_t m_seed;
};

constexpr uint32_t kSeed = 0x2468ACE1;

// Loads the scene with the generator at kSeed; the draws it saw follow from Draws(kSeed).
void LoadFromSeed(const char* scene)
{
    SetRandomSeed(kSeed);
    FindSceneObject(scene)->Load();
}

float F(double value)
{
    return static_cast<float>(value);
}

// A landscape's tufts and trees, the first and the last of each, placed from `draws` on:
// x, y, z a tuft ((R - 0.5) 800, (R - 0.5) 2 - 24, (R - 0.5) 800), then x, z and two signs a
// tree (R 200 + 50 each, negated when R > 0.5).
void ExpectField(const LandscapeField& field, Draws draws, bool trees, const char* scene)
{
    Draws last = draws;
    last.Skip(3 * (GrassTuftCount - 1));
    for (const auto& [tuft, at] : {std::pair{0, &draws}, std::pair{GrassTuftCount - 1, &last}}) {
        const float x = F((at->Next() - 0.5) * 800), y = F((at->Next() - 0.5) * 2 - 24), z = F((at->Next() - 0.5) * 800);
        EXPECT_FLOAT_EQ(field.tufts[tuft].x, x) << scene << " tuft " << tuft;
        EXPECT_FLOAT_EQ(field.tufts[tuft].y, y) << scene << " tuft " << tuft;
        EXPECT_FLOAT_EQ(field.tufts[tuft].z, z) << scene << " tuft " << tuft;
    }
    if (!trees) return;
    Draws lastTree = last;
    lastTree.Skip(4 * (LandscapeTreeCount - 1));
    for (const auto& [tree, at] : {std::pair{0, &last}, std::pair{LandscapeTreeCount - 1, &lastTree}}) {
        float x = F(at->Next() * 200 + 50), z = F(at->Next() * 200 + 50);
        if (at->Next() > 0.5) x = -x;
        if (at->Next() > 0.5) z = -z;
        EXPECT_FLOAT_EQ(field.trees[tree].x, x) << scene << " tree " << tree;
        EXPECT_FLOAT_EQ(field.trees[tree].z, z) << scene << " tree " << tree;
    }
}

TEST_F(SceneLoads, EveryTableTakesItsDrawsInTheOrderOfItsLoad)
{
    LoadFromSeed("sphere"); // 501 unused, 10 turns of the light sphere, then 7 a leaf
    for (const auto& [k, j] : {std::pair{0, 0}, std::pair{4, 1500}}) {
        Draws d = Draws(kSeed).Skip(511 + 7 * (k * 1501 + j));
        const SphereLeaf& leaf = SphereLeafAt(k, j);
        EXPECT_FLOAT_EQ(leaf.phase, F(d.Next()));
        float ox = F(d.Next() * 100), oy = F(d.Next() * 100), oz = F(d.Next() * 100);
        if (d.Next() > 0.5) ox = -ox;
        if (d.Next() > 0.5) oy = -oy;
        if (d.Next() > 0.5) oz = -oz;
        EXPECT_EQ((std::vector<float>{leaf.ox, leaf.oy, leaf.oz}), (std::vector<float>{ox, oy, oz})) << k << " " << j;
    }

    LoadFromSeed("smallfall"); // spread, phase, drift a leaf
    for (const auto& [k, j] : {std::pair{0, 0}, std::pair{4, 2050}}) {
        Draws d = Draws(kSeed).Skip(3 * (k * 2051 + j));
        const HangingLeaf& leaf = SmallfallLeafOfLoad(k, j);
        EXPECT_FLOAT_EQ(leaf.spread, F((d.Next() - 0.5) * 220));
        EXPECT_FLOAT_EQ(leaf.phase, F(d.Next()));
        EXPECT_FLOAT_EQ(leaf.drift, F((d.Next() - 0.5) * 2150 * 0.7));
    }

    LoadFromSeed("giorl"); // x, z, phase a leaf
    for (const int i : {0, 11000}) {
        Draws d = Draws(kSeed).Skip(3 * i);
        EXPECT_FLOAT_EQ(GiorlLeafAt(i).x, F((d.Next() - 0.5) * 80));
        EXPECT_FLOAT_EQ(GiorlLeafAt(i).z, F((d.Next() - 0.5) * 80));
        EXPECT_FLOAT_EQ(GiorlLeafAt(i).phase, F(d.Next()));
    }

    LoadFromSeed("stair"); // x, z, phase a leaf, then the light sphere's 36 turns
    for (const int i : {0, 2500}) {
        Draws d = Draws(kSeed).Skip(3 * i);
        EXPECT_FLOAT_EQ(StairLeafAt(i).x, F((d.Next() - 0.5) * 250));
        EXPECT_FLOAT_EQ(StairLeafAt(i).z, F((d.Next() - 0.5) * 250));
        EXPECT_FLOAT_EQ(StairLeafAt(i).phase, F(d.Next()));
    }

    LoadFromSeed("greet"); // the tufts' places, then their sizes and turns as they are compiled
    ExpectField(GreetField(), Draws(kSeed), false, "greet");
    LoadFromSeed("season"); // the field alone
    ExpectField(SeasonField(), Draws(kSeed), true, "season");

    LoadFromSeed("baken"); // angle, two for the radius and the phase a leaf, then the field
    for (const int i : {0, 2500}) {
        Draws d = Draws(kSeed).Skip(4 * i);
        const float angle = F(d.Next() * 2 * M_PI);
        const double r1 = d.Next(), r2 = d.Next();
        const float radius = F((r1 - 0.5) * 30 * r2 + 110);
        EXPECT_NEAR(BakenLeafAt(i).x, std::sin(angle) * radius, 1e-4) << i;
        EXPECT_NEAR(BakenLeafAt(i).z, std::cos(angle) * radius, 1e-4) << i;
        EXPECT_FLOAT_EQ(BakenLeafAt(i).phase, F(d.Next())) << i;
    }
    ExpectField(BakenField(), Draws(kSeed).Skip(4 * 2501), true, "baken");

    LoadFromSeed("atom"); // shakes, embers, 24 spare draws, then the field
    for (const int i : {0, 999}) {
        Draws d = Draws(kSeed).Skip(3 * i);
        EXPECT_FLOAT_EQ(AtomShakeAt(i).dx, F((d.Next() - 0.5) / 3));
        EXPECT_FLOAT_EQ(AtomShakeAt(i).dy, F((d.Next() - 0.5) / 3));
        EXPECT_FLOAT_EQ(AtomShakeAt(i).dz, F((d.Next() - 0.5) / 3));
    }
    for (const int i : {0, 3500}) {
        Draws d = Draws(kSeed).Skip(3000 + 3 * i);
        EXPECT_FLOAT_EQ(AtomLeafAt(i).phase, F(d.Next()));
        EXPECT_FLOAT_EQ(AtomLeafAt(i).x, F((d.Next() - 0.5) * 140));
        EXPECT_FLOAT_EQ(AtomLeafAt(i).z, F((d.Next() - 0.5) * 140));
    }
    ExpectField(AtomField(), Draws(kSeed).Skip(3000 + 3 * 3501 + 24), true, "atom");

    LoadFromSeed("killme"); // a, two unused, c, two unused, f a leaf
    for (const auto& [k, j] : {std::pair{0, 0}, std::pair{4, 300}}) {
        Draws d = Draws(kSeed).Skip(7 * (k * 301 + j));
        EXPECT_FLOAT_EQ(CarpetLeafAt(k, j).a, F(360 * d.Next()));
        EXPECT_FLOAT_EQ(CarpetLeafAt(k, j).c, F(3600 * d.Skip(2).Next()));
        EXPECT_FLOAT_EQ(CarpetLeafAt(k, j).f, F(360 * d.Skip(2).Next()));
    }

    LoadFromSeed("killfall"); // a, b from two, c, d, e, f a leaf
    for (const auto& [k, j] : {std::pair{0, 0}, std::pair{4, 700}}) {
        Draws d = Draws(kSeed).Skip(7 * (k * 701 + j));
        const BurstLeaf& leaf = BurstLeafAt(k, j);
        EXPECT_FLOAT_EQ(leaf.a, F(360 * d.Next()));
        const double arc = 600 * d.Next();
        EXPECT_FLOAT_EQ(leaf.b, F(arc * d.Next()));
        EXPECT_FLOAT_EQ(leaf.c, F(1800 * d.Next()));
        EXPECT_FLOAT_EQ(leaf.d, F(d.Next() + 0.1));
        EXPECT_FLOAT_EQ(leaf.e, F(1800 * d.Next() + 200));
        EXPECT_FLOAT_EQ(leaf.f, F(360 * d.Next()));
    }

    LoadFromSeed("killself"); // r, two unused, h a leaf (three more a leaf after the paths)
    for (const auto& [k, j] : {std::pair{0, 0}, std::pair{4, 500}}) {
        Draws d = Draws(kSeed).Skip(4 * (k * 501 + j));
        EXPECT_FLOAT_EQ(StreamLeafAt(k, j).r, F(150 * d.Next() + 80));
        EXPECT_FLOAT_EQ(StreamLeafAt(k, j).h, F(d.Skip(2).Next()));
    }

    LoadFromSeed("killthroat"); // h, then the offset's three a leaf
    for (const int i : {0, 6500}) {
        Draws d = Draws(kSeed).Skip(4 * i);
        EXPECT_FLOAT_EQ(ThroatLeafAt(i).h, F(d.Next()));
        for (int axis = 0; axis < 3; ++axis) EXPECT_FLOAT_EQ(ThroatLeafAt(i).offset[axis], F((0.5 - d.Next()) * 350));
    }
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
