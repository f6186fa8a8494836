// The global data set: load order side effects on the random source, the display list of
// the small leaf, the water-leaf centres and their limits, on a small data folder made here.
#include "resources/globaldata.h"

#include "base/error.h"
#include "base/files.h"
#include "base/random.h"
#include "gl/gl.h"
#include "resources/lum_log.h"
#include "support/driver_gl.h"
#include "support/gl_context.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Vertex {
    float x, y, z, u, v;
};

// A binary geox file: counts, vertices, triangles.
std::string Geox(const std::vector<Vertex>& vertices, const std::vector<int32_t>& indices = {})
{
    std::string bytes;
    auto put = [&bytes](const void* data, size_t size) {
        bytes.append(static_cast<const char*>(data), size);
    };
    const int32_t counts[2] = {static_cast<int32_t>(vertices.size()),
                               static_cast<int32_t>(indices.size() / 3)};
    put(counts, sizeof counts);
    put(vertices.data(), vertices.size() * sizeof(Vertex));
    put(indices.data(), indices.size() * sizeof(int32_t));
    return bytes;
}

// The smallest folder LoadGlobalData reads without a fault: every mesh file, every list
// (empty but for the water leaves), no texture lists (a missing list is an empty one).
class GlobalDataTest : public GlTest {
protected:
    void SetUp() override
    {
        LogEnabled = false;
        const std::string empty = Geox({});
        for (const char* mesh : {"plane.geox", "planebig.geox", "leafnormal.geox", "sphere.geox",
                                 "seasoncut/cut.geox", "grass.geox", "tree/tree.geox", "dead.geox",
                                 "sign.geox", "waterleafs/surface.geox", "waterleafs/bare.geox"})
            dir.Write(std::string("Data/") + mesh, empty);
        dir.Write("Data/leafsmall.geox",
                  Geox({{0, 0, 0, 0, 0}, {1, 0, 0, 1, 0}, {0, 1, 0, 0, 1}}, {0, 1, 2}));
        dir.Write("Data/waterleafs/leaf.geox", Geox({{0, 0, 0, 0, 0}, {2, 4, 6, 1, 1}}));
        for (const char* folder : {"season", "seasonwindow", "killself", "hand", "yard", "dno", "stair",
                                   "baken", "cup", "killkiller", "killdead", "giorl", "burn"})
            dir.Write(std::string("Data/") + folder + "/geox.list", "");
        dir.Write("Data/waterleafs/geox.list", "surface.geox\r\nleaf.geox\r\nbare.geox\r\n");
        SetDataRoot(dir.Path().string());
    }

    void TearDown() override { SetDataRoot(""); }

    TempDir dir;
};

TEST_F(GlobalDataTest, TwoLoadsFromTheSameSeedGiveTheSameData)
{
    SetRandomSeed(StartUpRandomSeed);
    LoadGlobalData();
    std::vector<Float3> first(std::begin(RandomPairs), std::end(RandomPairs));
    const uint32_t nextDraw = RandomBelow(1u << 31);

    // The first entry, from the first two draws of the seed (991154 and 248533 millionths).
    EXPECT_EQ(RandomPairs[0].x, static_cast<float>(0.991154 * 0.8));
    EXPECT_EQ(RandomPairs[0].y, static_cast<float>(0.248533 * 0.8));
    for (const Float3& pair : first) {
        EXPECT_GE(pair.x, 0.0f);
        EXPECT_LT(pair.x, 0.8f);
        EXPECT_GE(pair.y, 0.0f);
        EXPECT_LT(pair.y, 0.8f);
        EXPECT_EQ(pair.z, 0.0f);
    }
    // The global data set draws exactly two numbers per entry and nothing else.
    SetRandomSeed(StartUpRandomSeed);
    for (int i = 0; i < 2 * RandomPairCount; ++i) RandomBelow(1000000);
    EXPECT_EQ(RandomBelow(1u << 31), nextDraw);

    SetRandomSeed(StartUpRandomSeed);
    LoadGlobalData();
    EXPECT_EQ(std::memcmp(first.data(), RandomPairs, sizeof RandomPairs), 0);
}

TEST_F(GlobalDataTest, LoadsTheSmallLeafIntoADisplayListAndCentresTheWaterLeaves)
{
    SetRandomSeed(StartUpRandomSeed);
    LoadGlobalData();
    EXPECT_NE(LeafSmallMesh.displayList, 0u);
    EXPECT_TRUE(IsDisplayList(LeafSmallMesh.displayList));
    EXPECT_EQ(LeafSmallMesh.triangleCount, 1);
    // Vertex normals were computed before compiling: the triangle lies in the file's z = 0
    // plane, drawn as y = 0, so its normal is vertical.
    EXPECT_EQ(std::abs(LeafSmallMesh.vertices[0].ny), 1.0f);

    ASSERT_EQ(WaterLeafsList.count, 3);
    EXPECT_EQ(WaterLeafsMoved.count, 3);
    EXPECT_NE(WaterLeafsList.meshes.data(), WaterLeafsMoved.meshes.data());
    // (0, 0, 0) and (2, 4, 6) in file order: mean (1, 2, 3), drawn as (1, 3, 2).
    EXPECT_EQ(WaterLeafCentres[1].x, 1.0f);
    EXPECT_EQ(WaterLeafCentres[1].y, 3.0f);
    EXPECT_EQ(WaterLeafCentres[1].z, 2.0f);
    for (int i : {0, 2, 3, 99}) // the surface, a leaf without vertices, unused entries
        EXPECT_EQ(WaterLeafCentres[i].x + WaterLeafCentres[i].y + WaterLeafCentres[i].z, 0.0f) << i;
}

TEST_F(GlobalDataTest, AWaterLeafListLongerThanTheCentreTableIsRefused)
{
    std::string list;
    for (int i = 0; i <= WaterLeafCapacity; ++i) list += "bare.geox\r\n";
    dir.Write("Data/waterleafs/geox.list", list);
    try {
        LoadGlobalData();
        FAIL() << "101 water leaves were accepted";
    } catch (const FatalError& error) {
        EXPECT_NE(std::string(error.what()).find("waterleafs"), std::string::npos) << error.what();
    }
}

TEST(WaterLeafCentres, AListOfOneEntryLeavesEveryCentreAtZero)
{
    WaterLeafCentres[5] = {1, 2, 3};
    GeoxList list;
    list.count = 1;
    list.meshes.resize(1);
    list.meshes[0].vertexCount = 1;
    list.meshes[0].vertices.push_back({7, 8, 9, 0, 0, 0, 0, 0});
    ComputeWaterLeafCentres(list, "Data\\waterleafs\\geox.list");
    for (const Float3& centre : WaterLeafCentres) EXPECT_EQ(centre.x + centre.y + centre.z, 0.0f);
}

} // namespace
