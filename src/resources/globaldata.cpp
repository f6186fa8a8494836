// globaldata: the shared resources and LoadGlobalData.
#include "resources/globaldata.h"

#include "base/error.h"
#include "base/random.h"
#include "gl/gl.h"

#include <algorithm>
#include <string>

TextureLibrary GlobalTextures;
Float3 RandomPairs[RandomPairCount] = {};
Float3 WaterLeafCentres[WaterLeafCapacity] = {};

GeoxMesh LeafSmallMesh, LeafNormalMesh, SphereMesh, PlaneMesh, PlaneBigMesh, PlaneBigMesh2,
    SeasonCutMesh, SignMesh, DeadMesh, GrassMesh, TreeMesh;

GeoxList SeasonList, SeasonWindowList, WaterLeafsList, WaterLeafsMoved, KillSelfList, HandList,
    YardList, DnoList, StairList, BakenList, CupList, KillKillerList, KillDeadList, GiorlList,
    BurnList;

namespace {

constexpr const char* kWaterLeafFolder = "Data\\waterleafs\\";
constexpr const char* kWaterLeafListPath = "Data\\waterleafs\\geox.list";

// A mesh folder whose textures are named prefix + the entry's filtered name.
void LoadTexturedFolder(GeoxList& list, const char* folder, const char* prefix)
{
    LoadGeoxList(list, folder, "geox.list");
    LoadTextureList(GlobalTextures, prefix, std::string(folder) + "textures.ini", folder);
}

// The small leaf is drawn thousands of times a frame, so it lives in a display list.
void LoadLeafSmallMesh()
{
    LoadGeox(LeafSmallMesh, "Data\\leafsmall.geox");
    ComputeFaceNormals(LeafSmallMesh);
    ComputeVertexNormals(LeafSmallMesh);
    LeafSmallMesh.displayList = glGenLists(1);
    glNewList(LeafSmallMesh.displayList, GL_COMPILE);
    DrawGeox(LeafSmallMesh, true, false, true);
    glEndList();
}

} // namespace

void FillRandomPairs()
{
    for (Float3& pair : RandomPairs) {
        pair.x = static_cast<float>(Random01() * 0.8);
        pair.y = static_cast<float>(Random01() * 0.8);
        pair.z = 0;
    }
}

void ComputeWaterLeafCentres(const GeoxList& list, std::string_view listPath)
{
    if (list.count > WaterLeafCapacity)
        ThrowFileError(listPath, StrFormat("%d water leaves, at most %d fit the centre table",
                                           list.count, WaterLeafCapacity));
    for (Float3& centre : WaterLeafCentres) centre = {0, 0, 0};
    const int entries = std::min(list.count, static_cast<int>(list.meshes.size()));
    for (int i = 1; i < entries; ++i) {
        const std::vector<GeoxVertex>& vertices = list.meshes[i].vertices;
        if (vertices.empty()) continue;
        // Summed in drawn order (x, z, y), in single precision.
        float sumX = 0, sumY = 0, sumZ = 0;
        for (const GeoxVertex& vertex : vertices) {
            sumX += vertex.x;
            sumY += vertex.z;
            sumZ += vertex.y;
        }
        const float count = static_cast<float>(vertices.size());
        WaterLeafCentres[i] = {sumX / count, sumY / count, sumZ / count};
    }
}

void LoadGlobalData()
{
    FillRandomPairs();
    LoadTextureList(GlobalTextures, "", "Data\\globaltextures.ini", "Data\\");
    LoadLeafSmallMesh();
    LoadGeox(PlaneMesh, "Data\\plane.geox");
    LoadGeox(PlaneBigMesh, "Data\\planebig.geox");
    LoadGeox(PlaneBigMesh2, "Data\\planebig.geox");
    LoadGeox(LeafNormalMesh, "Data\\leafnormal.geox");
    LoadGeox(SphereMesh, "Data\\sphere.geox");
    LoadGeoxList(SeasonList, "Data\\season\\", "geox.list");
    LoadGeoxList(SeasonWindowList, "Data\\seasonwindow\\", "geox.list");
    LoadGeox(SeasonCutMesh, "Data\\seasoncut\\cut.geox");
    LoadGeoxList(WaterLeafsList, kWaterLeafFolder, "geox.list");
    LoadGeoxList(WaterLeafsMoved, kWaterLeafFolder, "geox.list");
    ComputeWaterLeafCentres(WaterLeafsList, kWaterLeafListPath);
    LoadTexturedFolder(KillSelfList, "Data\\killself\\", "killself.");
    LoadTexturedFolder(HandList, "Data\\hand\\", "deadhand.");
    LoadTexturedFolder(YardList, "Data\\yard\\", "yard.");
    LoadTexturedFolder(DnoList, "Data\\dno\\", "dno.");
    LoadGeox(GrassMesh, "Data\\grass.geox");
    LoadGeox(TreeMesh, "Data\\tree\\tree.geox");
    LoadTexturedFolder(StairList, "Data\\stair\\", "stair.");
    LoadTexturedFolder(BakenList, "Data\\baken\\", "baken.");
    LoadTexturedFolder(CupList, "Data\\cup\\", "cup.");
    LoadTexturedFolder(KillKillerList, "Data\\killkiller\\", "killme.");
    LoadTexturedFolder(KillDeadList, "Data\\killdead\\", "killdead.");
    LoadTexturedFolder(GiorlList, "Data\\giorl\\", "giorl.");
    LoadGeox(DeadMesh, "data\\dead.geox");
    LoadGeox(SignMesh, "data\\sign.geox");
    LoadTexturedFolder(BurnList, "Data\\burn\\", "burn.");
}
