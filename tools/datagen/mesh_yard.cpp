// The yard and what stands in it. Units are centimetres: figures (x4) are 180 tall. The
// scenes draw the yard moved 1850 along z, so it is built in world units and shifted
// back: ground at 0, walls of twelve storeys (4500, tall enough that no view slips between
// their tops and the sky ceiling at 5000) around x -2400..2400, z -2600..5000,
// a poplar whose crown holds the leaves that smallfall shakes loose (2430 to 2660 high,
// depth 1810), rusted balconies, garages and bins. The cup floats at (0, 1900, -400); the
// stair stands in its own white world; the sign hangs on the far wall (drawn at
// (0, -400, 4995)).
#include "datagen/mesh_materials.h"
#include "datagen/meshes.h"

#include "datagen/noise.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr float Pi = std::numbers::pi_v<float>;
constexpr float YardLeft = -2400, YardRight = 2400, YardNear = -2600, YardFar = 5000, WallHeight = 4500;
const Affine YardWorldToLocal = Affine::Translation({0, 0, -1850});

MeshBuilder InYard()
{
    MeshBuilder m;
    m.SetPlacement(YardWorldToLocal);
    return m;
}

MeshBuilder YardGround()
{
    MeshBuilder m = InYard();
    const float w = YardRight - YardLeft, d = YardFar - YardNear;
    AddGrid(m, {YardLeft, 0, YardFar}, {w, 0, 0}, {0, 0, -d}, 12, 19, {0, 0, w / 500, d / 500});
    return m;
}

// The facades, facing in; one texture tile is two bays by two storeys (800 x 750). The
// far wall, which carries the sign, is a separate mesh in bare brick.
MeshBuilder YardWalls(bool farWall)
{
    MeshBuilder m = InYard();
    const Vec3 corners[4] = {{YardLeft, 0, YardNear}, {YardRight, 0, YardNear}, {YardRight, 0, YardFar},
                             {YardLeft, 0, YardFar}};
    for (int i = 0; i < 4; ++i) {
        if ((i == 2) != farWall) {
            continue;
        }
        Vec3 a = corners[i], b = corners[(i + 1) % 4];
        float length = Length(b - a);
        // The corners run so that (b - a) x up points into the yard.
        AddGrid(m, a, b - a, {0, WallHeight, 0}, 4, 4, {0, 0, length / 800, WallHeight / 750});
    }
    return m;
}

// The poplar in the middle of the yard.
constexpr Vec3 PoplarFoot{0, 0, 1810};

MeshBuilder PoplarTrunk()
{
    MeshBuilder m = InYard();
    AddLathe(m, PoplarFoot, {{95, -20}, {70, 60}, {55, 600}, {42, 1300}, {30, 1800}, {0, 1900}}, 9, {0, 0, 2, 6});
    const Vec3 limbs[4][2] = {{{0, 1100, 1810}, {-380, 1900, 1750}},
                              {{0, 1250, 1810}, {320, 2100, 1900}},
                              {{0, 1500, 1810}, {60, 2300, 1500}},
                              {{0, 1400, 1810}, {-120, 2250, 2150}}};
    for (const auto& limb : limbs) {
        AddTube(m, limb[0], limb[1], {32, 12, 1, 6, false, {1, 0, 0}}, {0, 0, 1, 3});
    }
    return m;
}

// The crown as lumpy solids (the yard is drawn without alpha testing).
MeshBuilder PoplarCrown()
{
    MeshBuilder m = InYard();
    Rng rng(301);
    const int lumps = 9;
    const Vec3 blobs[lumps] = {{0, 2350, 1810},   {-330, 2050, 1760}, {300, 2150, 1900}, {40, 2700, 1700},
                               {-80, 1750, 1950}, {380, 1700, 1650},  {-420, 2500, 1900}, {250, 2550, 2050},
                               {-150, 2100, 1450}};
    const float radii[lumps] = {520, 380, 400, 330, 360, 300, 320, 300, 340};
    for (int b = 0; b < lumps; ++b) {
        std::vector<Vec2> profile;
        const int rings = 8;
        for (int i = 0; i <= rings; ++i) {
            float a = -Pi / 2 + Pi * i / rings;
            float r = radii[b] * (0.8f + 0.3f * rng.Uniform());
            profile.push_back({i == 0 || i == rings ? 0 : r * std::cos(a), radii[b] * 1.3f * std::sin(a)});
        }
        AddLathe(m, blobs[b], profile, 9, {0, 0, 3, 3});
    }
    return m;
}

// Rusted balconies hung on the facades: a slab and a railing, under some of the windows.
MeshBuilder Balconies()
{
    MeshBuilder m = InYard();
    Rng rng(302);
    // Each facade runs from `start` along `along`; `out` points into the yard.
    struct Facade {
        Vec3 start, along, out;
        float length;
    };
    const Facade facades[4] = {{{YardLeft, 0, YardNear}, {1, 0, 0}, {0, 0, 1}, YardRight - YardLeft},
                               {{YardRight, 0, YardNear}, {0, 0, 1}, {-1, 0, 0}, YardFar - YardNear},
                               {{YardRight, 0, YardFar}, {-1, 0, 0}, {0, 0, -1}, YardRight - YardLeft},
                               {{YardLeft, 0, YardFar}, {0, 0, -1}, {1, 0, 0}, YardFar - YardNear}};
    for (const Facade& f : facades) {
        for (float along = 200; along < f.length - 200; along += 400) {
            for (int storey = 1; storey < 11; ++storey) {
                if (rng.Uniform() > 0.22f) {
                    continue;
                }
                // Windows sit in the middle of each 400-wide bay; floors every 375.
                auto box = [&](Vec3 p, Vec3 q) {
                    AddBox(m, {std::min(p.x, q.x), p.y, std::min(p.z, q.z)}, {std::max(p.x, q.x), q.y, std::max(p.z, q.z)},
                           120);
                };
                Vec3 floor = f.start + Vec3{0, storey * 375.0f, 0};
                box(floor + f.along * (along - 110) + Vec3{0, 20, 0}, floor + f.along * (along + 110) + f.out * 90 + Vec3{0, 32, 0});
                box(floor + f.along * (along - 110) + f.out * 86 + Vec3{0, 32, 0},
                    floor + f.along * (along + 110) + f.out * 90 + Vec3{0, 120, 0});
            }
        }
    }
    return m;
}

// Six lock-up garages along the left wall; their doors are a separate mesh.
constexpr int GarageCount = 6;
constexpr float GarageDepth = 550, GarageWidth = 420, GarageHeight = 320, GarageStart = -300;

MeshBuilder Garages()
{
    MeshBuilder m = InYard();
    AddBox(m, {YardLeft, 0, GarageStart}, {YardLeft + GarageDepth, GarageHeight, GarageStart + GarageCount * GarageWidth},
           250);
    return m;
}

MeshBuilder GarageDoors()
{
    MeshBuilder m = InYard();
    for (int i = 0; i < GarageCount; ++i) {
        float z1 = GarageStart + (i + 1) * GarageWidth - 30;
        AddGrid(m, {YardLeft + GarageDepth + 1, 0, z1}, {0, 0, -(GarageWidth - 60)}, {0, 250, 0}, 1, 1);
    }
    return m;
}

MeshBuilder Bins()
{
    MeshBuilder m = InYard();
    for (int i = 0; i < 3; ++i) {
        float z = 600 + i * 190;
        AddBox(m, {YardRight - 260, 0, z}, {YardRight - 120, 130, z + 170}, 140);
        AddBox(m, {YardRight - 268, 130, z - 6}, {YardRight - 112, 142, z + 176}, 140);
    }
    return m;
}

// The enamel mug, 260 wide and 240 high, on its saucer; drawn at (0, 1900, -400).
MeshBuilder Mug()
{
    MeshBuilder m;
    AddLathe(m, {0, 0, 0},
             {{0, -110}, {120, -110}, {130, -100}, {130, 126}, {136, 130}, {130, 134}, {122, 128}, {120, -95},
              {0, -95}},
             20, {0, 0, 1, 1});
    // The handle: a half ring of tubes on the +x side.
    const int segments = 8;
    TubeShape grip{12, 12, 0.7f, 6, false, {0, 0, 1}};
    for (int i = 0; i < segments; ++i) {
        float a0 = -Pi / 2 + Pi * i / segments, a1 = -Pi / 2 + Pi * (i + 1) / segments;
        Vec3 p0{125 + 70 * std::cos(a0), 15 + 80 * std::sin(a0), 0};
        Vec3 p1{125 + 70 * std::cos(a1), 15 + 80 * std::sin(a1), 0};
        AddTube(m, p0, p1, grip, {0.1f, 0.65f, 0.3f, 0.9f}); // plain enamel below the rim band
    }
    return m;
}

MeshBuilder Saucer()
{
    MeshBuilder m;
    AddLathe(m, {0, 0, 0}, {{0, -126}, {110, -126}, {200, -112}, {230, -98}, {222, -96}, {150, -108}, {0, -110}}, 24,
             {0, 0, 3, 1}, 3);
    return m;
}

// The spiral stair: a post from -100 to 300, 28 treads turning 15 degrees and rising
// 12.5 each, balusters at their outer ends and a handrail over them.
constexpr int Treads = 28;
constexpr float TreadTurn = Pi / 12, TreadRise = 12.5f, StairBottom = -100, TreadOuter = 92;

MeshBuilder StairPost()
{
    MeshBuilder m;
    AddTube(m, {0, StairBottom - 5, 0}, {0, 300, 0}, {9, 9, 1, 8, true, {1, 0, 0}}, {0, 0, 1, 8});
    AddLathe(m, {0, 0, 0}, {{0, 300}, {14, 300}, {12, 312}, {0, 318}}, 8);
    return m;
}

MeshBuilder StairTreads()
{
    MeshBuilder m;
    for (int i = 0; i < Treads; ++i) {
        float a0 = i * TreadTurn, a1 = a0 + TreadTurn * 1.08f;
        std::vector<Vec2> wedge;
        for (float a : {a0, a1}) {
            wedge.push_back({8 * std::cos(a), 8 * std::sin(a)});
        }
        for (int k = 0; k <= 3; ++k) {
            float a = a1 - (a1 - a0) * k / 3;
            wedge.push_back({TreadOuter * std::cos(a), TreadOuter * std::sin(a)});
        }
        float y = StairBottom + TreadRise * (i + 1);
        AddExtrudedOutline(m, wedge, y - 4, y, {0, 0, 1, 1});
    }
    return m;
}

Vec3 BalusterFoot(int i)
{
    float a = (i + 0.5f) * TreadTurn;
    return {(TreadOuter - 6) * std::cos(a), StairBottom + TreadRise * (i + 1), (TreadOuter - 6) * std::sin(a)};
}

MeshBuilder StairRail()
{
    MeshBuilder m;
    TubeShape baluster{1.6f, 1.6f, 1, 4, false, {1, 0, 0}};
    TubeShape rail{3, 3, 1, 5, false, {0, 1, 0}};
    for (int i = 0; i < Treads; ++i) {
        Vec3 foot = BalusterFoot(i);
        AddTube(m, foot, foot + Vec3{0, 85, 0}, baluster, {0, 0, 0.2f, 2});
        if (i + 1 < Treads) {
            AddTube(m, foot + Vec3{0, 85, 0}, BalusterFoot(i + 1) + Vec3{0, 85, 0}, rail, {0, 0, 0.3f, 1});
        }
    }
    return m;
}

// The sign board on the far wall: 1400 x 700 from 700 to 1400 high, hung out on brackets,
// its picture 45 in front of the wall.
// Seen from the yard (looking +z) the picture reads left to right along -x.
MeshBuilder SignBoard()
{
    MeshBuilder m;
    m.SetPlacement(Inverse(Affine::Translation({0, -400, 4995})));
    // The board's body starts 10 behind the picture: nearer, the two would fight for depth
    // at the 2000 to 3000 the camera keeps.
    const float front = 4955, back = 4980;
    AddGrid(m, {700, 700, front}, {-1400, 0, 0}, {0, 700, 0}, 4, 2);
    AddBox(m, {-705, 695, front + 10}, {705, 1405, back}, 4000, {0.02f, 0.02f, 0.98f, 0.98f});
    for (float x : {-500.0f, 500.0f}) {
        AddBox(m, {x - 15, 1180, back}, {x + 15, 1210, 5000}, 4000, {0.02f, 0.02f, 0.98f, 0.98f});
        AddBox(m, {x - 15, 880, back}, {x + 15, 910, 5000}, 4000, {0.02f, 0.02f, 0.98f, 0.98f});
    }
    return m;
}

} // namespace

void GenerateYardMeshes(const DataTree& tree)
{
    WriteMeshFolder(tree, "yard/",
                    {{"ground.geox", YardGround().ToFile()},
                     {"walls.geox", YardWalls(false).ToFile()},
                     {"farwall.geox", YardWalls(true).ToFile()},
                     {"garage.geox", Garages().ToFile()},
                     {"garagedoors.geox", GarageDoors().ToFile()},
                     {"bins.geox", Bins().ToFile()},
                     {"balconies.geox", Balconies().ToFile()},
                     {"poplar_trunk.geox", PoplarTrunk().ToFile()},
                     {"crown.geox", PoplarCrown().ToFile()}});
    WriteFolderTextures(tree, "yard/",
                        {{"ground", [](int size) { return AsphaltCanvas(size, 312); }, 512},
                         {"walls", [](int size) { return FacadeCanvas(size, 311, 0.85f); }, 512},
                         {"farwall", [](int size) { return FacadeCanvas(size, 319, 0.2f); }, 512},
                         {"garage", PlanksCanvas(256, 313, Hex(0x6a6258)), false, PictureFile::Jpeg},
                         {"garagedoors", GarageDoorCanvas(314)},
                         {"bins", RustCanvas(256, 315, Hex(0x2e4a30), 0.5f), false, PictureFile::PackedJpeg, "0"},
                         {"balconies", RustCanvas(256, 318, Hex(0x3a3e3a), 0.4f)},
                         {"poplartrunk", BarkCanvas(256, 316)},
                         {"crown", FoliageCanvas(317)}});

    WriteMeshFolder(tree, "cup/", {{"mug.geox", Mug().ToFile()}, {"saucer.geox", Saucer().ToFile()}});
    WriteFolderTextures(tree, "cup/", {{"mug", EnamelCanvas(321)}, {"saucer", EnamelCanvas(322), false, PictureFile::Bmp32, "2"}});

    WriteMeshFolder(tree, "stair/",
                    {{"post.geox", StairPost().ToFile()},
                     {"treads.geox", StairTreads().ToFile()},
                     {"rail.geox", StairRail().ToFile()}});
    WriteFolderTextures(tree, "stair/",
                        {{"post", RustCanvas(256, 331, Hex(0x2a2a2a), 0.8f)},
                         {"treads", RustCanvas(256, 332, Hex(0x4a4036), 0.45f)},
                         {"rail", RustCanvas(128, 333, Hex(0x1e1e1e), 0.6f), false, PictureFile::PackedJpeg, "$2"}});

    WriteMesh(tree, "sign.geox", SignBoard());
}
