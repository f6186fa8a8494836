// The pond. The water surface (mesh 0 of the water-leaf folder) is a grid the water scenes
// lift every frame with waves of wavelength 8 pi (about 25 units): 42 cells of about 3 units
// across give eight samples a wave, enough for a smooth swell and its reflection, with the
// fewest vertices the processor rewrites and the graphics card transforms twice a frame. The floating leaves are small folded quads whose vertices follow
// the water one by one when drawn as shadows. The pond bottom is drawn at (16, -3, -16)
// x1/6, so it is built in world units around the pond's centre and scaled back: a basin
// 6 deep, a bank rising to 2.5 above the water at radius 60 and running out to 420 (the cameras
// look down over it), stones and reeds on it.
#include "datagen/mesh_materials.h"
#include "datagen/meshes.h"

#include "datagen/noise.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

namespace {

constexpr float Pi = std::numbers::pi_v<float>;
const Vec3 PondCentre{16, 0, -16};
constexpr float SurfaceHalf = 64;
constexpr int SurfaceCells = 42;
constexpr int FloatingLeaves = 40;

MeshBuilder WaterSurface()
{
    MeshBuilder m;
    AddGrid(m, PondCentre + Vec3{-SurfaceHalf, 0, SurfaceHalf}, {2 * SurfaceHalf, 0, 0}, {0, 0, -2 * SurfaceHalf},
            SurfaceCells, SurfaceCells, {0, 0, 5, 5});
    return m;
}

// A leaf of 3 x 3 vertices, its sides and tip curled up a little.
MeshBuilder FloatingLeaf(Rng& rng)
{
    MeshBuilder m;
    float angle = rng.Uniform(0, 2 * Pi), radius = 36 * std::sqrt(rng.Uniform());
    float size = rng.Uniform(3.5f, 6);
    Vec3 centre = PondCentre + Vec3{radius * std::cos(angle), 0, radius * std::sin(angle)};
    m.SetPlacement(Affine::Translation(centre) * Affine::Rotation({0, 1, 0}, rng.Uniform(0, 2 * Pi)) *
                   Affine::Uniform(size));
    int index[3][3];
    for (int j = 0; j < 3; ++j) {
        for (int i = 0; i < 3; ++i) {
            float x = i * 0.5f - 0.5f, z = j * 0.5f - 0.5f;
            float lift = 0.06f * (x * x * 4) + 0.05f * (j == 0 ? 1.0f : 0.0f);
            index[j][i] = m.Vertex({x, lift, z}, i * 0.5f, j * 0.5f);
        }
    }
    for (int j = 0; j < 2; ++j) {
        for (int i = 0; i < 2; ++i) {
            m.Quad(index[j + 1][i], index[j + 1][i + 1], index[j][i + 1], index[j][i]);
        }
    }
    return m;
}

MeshBuilder InPond()
{
    MeshBuilder m;
    m.SetPlacement(Inverse(Affine::Translation({16, -3, -16}) * Affine::Uniform(1.0f / 6)));
    return m;
}

MeshBuilder PondBottom()
{
    MeshBuilder m = InPond();
    AddLathe(m, PondCentre, {{0, -6}, {18, -5.6f}, {34, -4.6f}, {46, -2.6f}, {54, 0.4f}, {57, 1.4f}}, 32,
             {0, 0, 1, 1}, 6);
    return m;
}

MeshBuilder PondBank()
{
    MeshBuilder m = InPond();
    AddLathe(m, PondCentre, {{52, -0.5f}, {57, 1.4f}, {62, 2.5f}, {90, 2.8f}, {160, 2.6f}, {420, 3}}, 32, {0, 0, 1, 4}, 16);
    return m;
}

MeshBuilder BankStones(Rng& rng)
{
    MeshBuilder m = InPond();
    for (int i = 0; i < 16; ++i) {
        float a = 2 * Pi * i / 16 + rng.Uniform(-0.15f, 0.15f), r = rng.Uniform(53, 60);
        float s = rng.Uniform(1.5f, 3.5f);
        Vec3 at = PondCentre + Vec3{r * std::cos(a), 0, r * std::sin(a)};
        AddLathe(m, at, {{0, -0.5f}, {s, 0.2f}, {s * 0.85f, s * 0.7f + 0.8f}, {s * 0.3f, s + 0.9f}, {0, s + 1}}, 6);
    }
    return m;
}

MeshBuilder Reeds(Rng& rng)
{
    MeshBuilder m = InPond();
    for (int clump = 0; clump < 9; ++clump) {
        float a = rng.Uniform(0, 2 * Pi), r = rng.Uniform(50, 58);
        Vec3 base = PondCentre + Vec3{r * std::cos(a), 0, r * std::sin(a)};
        for (int k = 0; k < 7; ++k) {
            Vec3 foot = base + Vec3{rng.Uniform(-1.5f, 1.5f), -0.5f, rng.Uniform(-1.5f, 1.5f)};
            Vec3 tip = foot + Vec3{rng.Uniform(-1.5f, 1.5f), rng.Uniform(6, 10), rng.Uniform(-1.5f, 1.5f)};
            AddTube(m, foot, tip, {0.22f, 0.02f, 1, 3, false, {1, 0, 0}}, {0, 0, 1, 1});
        }
    }
    return m;
}

} // namespace

void GenerateWaterMeshes(const DataTree& tree)
{
    std::vector<FolderMesh> water{{"water.geox", WaterSurface().ToFile()}};
    Rng rng(501);
    for (int i = 1; i <= FloatingLeaves; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "leaf%02d.geox", i);
        water.push_back({name, FloatingLeaf(rng).ToFile()});
    }
    WriteMeshFolder(tree, "waterleafs/", water);

    Rng pond(502);
    WriteMeshFolder(tree, "dno/",
                    {{"bottom.geox", PondBottom().ToFile()},
                     {"bank.geox", PondBank().ToFile()},
                     {"stones.geox", BankStones(pond).ToFile()},
                     {"reeds.geox", Reeds(pond).ToFile()}});
    WriteFolderTextures(tree, "dno/",
                        {{"bottom", [](int size) { return MudCanvas(size, 511, true); }, 256},
                         {"bank", [](int size) { return MudCanvas(size, 512, false); }, 256},
                         {"stones", StonesCanvas(513), false, PictureFile::Jpeg},
                         {"reeds", ReedCanvas(514), false, PictureFile::PackedJpeg, "2"}});
}
