// globaldata: every resource more than one scene uses, loaded once at start-up in a fixed
// order: the texture library, the random offsets of the film grain, the single meshes, the
// mesh folders with their texture lists, and the centres of the water leaves. Scenes only
// read these afterwards (the water scenes deform WaterLeafsMoved). Depends on lum_textures,
// lum_geox and the random source (base/random.h).
#pragma once

#include "resources/lum_geox.h"
#include "resources/lum_textures.h"

struct Float3 {
    float x, y, z;
};

constexpr int RandomPairCount = 1000;
constexpr int WaterLeafCapacity = 100;

extern TextureLibrary GlobalTextures;
// Texture offsets of the film grain: x and y in [0, 0.8), z = 0.
extern Float3 RandomPairs[RandomPairCount];
// Entry i: mean drawn-order (x, z, y) position of mesh i of WaterLeafsList; entry 0 (the
// water surface) and meshes without vertices stay (0, 0, 0).
extern Float3 WaterLeafCentres[WaterLeafCapacity];

extern GeoxMesh LeafSmallMesh, LeafNormalMesh, SphereMesh, PlaneMesh, PlaneBigMesh, PlaneBigMesh2,
    SeasonCutMesh, SignMesh, DeadMesh, GrassMesh, TreeMesh;

extern GeoxList SeasonList, SeasonWindowList, WaterLeafsList, WaterLeafsMoved, KillSelfList,
    HandList, YardList, DnoList, StairList, BakenList, CupList, KillKillerList, KillDeadList,
    GiorlList, BurnList;

// Loads everything above from the "Data" folder in its fixed order; that order fixes the
// order of GlobalTextures and the random draws that follow. Expects the random source
// seeded and GlobalTextures holding "font" and "loader". Loader errors propagate.
void LoadGlobalData();

// Step one of LoadGlobalData: two Random01 draws per entry, x first, each times 0.8.
void FillRandomPairs();
// The water-leaf centres of a loaded list. A list of more than WaterLeafCapacity entries
// is a FatalError naming listPath.
void ComputeWaterLeafCentres(const GeoxList& list, std::string_view listPath);
