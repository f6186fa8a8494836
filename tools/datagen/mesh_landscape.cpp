// The meshes of the landscape and of the shared single files: the small and the normal
// leaf, the planes, the sky sphere, the grass tuft and the tree, the season folders with
// the window frame and its cut, the beacon, and the greeting's standing silhouette.
// Sizes follow the scenes' transforms (see README.md): the ground is the plane x64 at
// height -24, tufts are scaled (2, 1..3, 2), trees stand 70 to 350 units out.
#include "datagen/mesh_materials.h"
#include "datagen/meshes.h"
#include "datagen/textures.h"

#include <cmath>
#include <numbers>

namespace {

constexpr float Pi = std::numbers::pi_v<float>;

// The leaf every leaf scene draws thousands of times a frame: two triangles, the fewest a
// software renderer can be given; its outline comes from the alpha-tested leaf textures.
// Stem at +z, tip at -z (texture top).
MeshBuilder LeafSmall()
{
    MeshBuilder m;
    const int tipLeft = m.Vertex({-0.5f, 0, -0.5f}, 0, 0), tipRight = m.Vertex({0.5f, 0, -0.5f}, 1, 0);
    const int stemLeft = m.Vertex({-0.5f, 0, 0.5f}, 0, 1), stemRight = m.Vertex({0.5f, 0, 0.5f}, 1, 1);
    m.Quad(stemLeft, stemRight, tipRight, tipLeft);
    return m;
}

// A leaf cut by its outline: a fan about the blade's centre, the sides lifted off the midrib.
MeshBuilder LeafNormal()
{
    MeshBuilder m;
    std::vector<Vec2> outline = LeafBladeOutline(18, 0.3f);
    int centre = m.Vertex({0, 0, 0}, 0.5f, 0.5f);
    std::vector<int> rim;
    for (Vec2 p : outline) {
        rim.push_back(m.Vertex({p.x, 0.15f * std::fabs(p.x), -p.y}, 0.5f + p.x, 0.5f - p.y));
    }
    for (size_t i = 0; i < rim.size(); ++i) {
        m.Triangle(centre, rim[(i + 1) % rim.size()], rim[i]);
    }
    return m;
}

// Horizontal square of +-half, facing up, texture 0..`tiles`.
MeshBuilder Plane(float half, int cells, float tiles)
{
    MeshBuilder m;
    AddGrid(m, {-half, 0, half}, {2 * half, 0, 0}, {0, 0, -2 * half}, cells, cells, {0, tiles, tiles, 0});
    return m;
}

// Radius 10: x50 it is the sky dome at 500, the fog end.
MeshBuilder Sphere()
{
    MeshBuilder m;
    std::vector<Vec2> profile;
    // A dome, open below 22.5 degrees under the horizon: over the landscapes the ground covers
    // everything below its rim, subbaken's beacon stands on the blue below it, and the sphere
    // scene's core is a hollow shell. The sky keeps the mapping a whole sphere would give it.
    const int rings = 16, openRings = 6;
    for (int i = openRings; i <= rings; ++i) {
        float a = -Pi / 2 + Pi * i / rings;
        profile.push_back({10 * std::cos(a), 10 * std::sin(a)});
    }
    profile.back().x = 0;
    AddLathe(m, {0, 0, 0}, profile, 24, {0, 0, 1, static_cast<float>(rings - openRings) / rings});
    return m;
}

// Two crossed cards of the grass picture, 5 wide and 4.4 high, a little sunk so tufts at -25
// still meet the ground at -24. Two, not three: the 4501 tufts are the heaviest fill of the
// piece (every fragment of a card is shaded for its alpha test, seen or not), and a third
// card costs half as much again for a tuft that looks as full from every side but edge-on.
// The picture carries enough blades to fill the tuft from two cards, and each card is cut
// to the box around its blades: the empty top rows and side columns of the picture are
// never sent.
MeshBuilder GrassTuft()
{
    MeshBuilder m;
    AddCrossedCutouts(m, {0, -0.4f, 0}, 5, 4.4f, 2, 0.3f, AlphaBox(PaintGrassTuft(256), 0.1f, 2));
    return m;
}

// Three crossed cards of the tree picture, 60 degrees apart. The scenes lower the tree by 14
// and stretch it 1 to 2.5 times: its foot at -11 sits just under the ground (-24) for the
// smallest tree and deeper for the larger ones. A near tree fills much of the picture, every
// card of it shaded for its alpha test, so a crown is as few cards as look full from every
// side (a fourth cost a third more fill for no crown the eye could tell apart), and each
// card is cut to the hull of the picture's alpha (less than half the square); with 16
// trees the extra corners cost nothing.
MeshBuilder Tree()
{
    MeshBuilder m;
    AddCrossedCutouts(m, {0, -11, 0}, 58, 72, 3, 0.2f, AlphaHull(PaintTreeCard(512), 0.1f, 8, 2));
    return m;
}

// A heap of leaves and a stone: the season folder is loaded but never drawn.
MeshBuilder LeafHeap()
{
    MeshBuilder m;
    AddLathe(m, {0, 0, 0}, {{0, 0}, {8, 0}, {6, 2}, {2.5f, 3.2f}, {0, 3.4f}}, 9, {0, 0, 1, 1}, 2);
    return m;
}

MeshBuilder Stone()
{
    MeshBuilder m;
    AddLathe(m, {0, 0, 0}, {{0, -0.5f}, {3, 0}, {2.6f, 1.6f}, {1.2f, 2.4f}, {0, 2.5f}}, 7);
    return m;
}

// The season window stands on the ground in the plane z 0, drawn at (0, -24, 0) x0.5.
// Designed in world units: opening x -45..45, height -16..74, four panes, a sill.
const Affine WindowWorldToLocal = Inverse(Affine::Translation({0, -24, 0}) * Affine::Uniform(0.5f));

MeshBuilder WindowFrame()
{
    MeshBuilder m;
    m.SetPlacement(WindowWorldToLocal);
    const float x0 = -45, x1 = 45, y0 = -16, y1 = 74, bar = 8, depth = 3;
    AddBox(m, {x0 - bar, -24, -depth}, {x1 + bar, y0, depth}, 20);    // bottom rail
    AddBox(m, {x0 - bar - 4, y0 - 2, -depth - 4}, {x1 + bar + 4, y0, depth + 2}, 20); // sill
    AddBox(m, {x0 - bar, y1, -depth}, {x1 + bar, y1 + bar, depth}, 20); // head
    AddBox(m, {x0 - bar, y0, -depth}, {x0, y1, depth}, 20);           // jambs
    AddBox(m, {x1, y0, -depth}, {x1 + bar, y1, depth}, 20);
    AddBox(m, {-2, y0, -1.5f}, {2, y1, 1.5f}, 20);                    // mullion
    AddBox(m, {x0, 42, -1.5f}, {x1, 46, 1.5f}, 20);                   // transom
    return m;
}

// The opening as one quad, in the frame's local units; drawn x0.51 it overlaps the frame.
MeshBuilder WindowCut()
{
    MeshBuilder m;
    m.SetPlacement(WindowWorldToLocal);
    AddGrid(m, {-45, -16, 0}, {90, 0, 0}, {0, 90, 0}, 1, 1);
    return m;
}

// The beacon of the baken scenes: a rusted lattice tower on the ground (-24 in the world,
// 0 here), 220 high, with a lantern house whose mouth at 266 is where the leaves start.
MeshBuilder BeaconTower()
{
    MeshBuilder m;
    const int levels = 5;
    auto corner = [](int k, float y) {
        float half = 45 - 31 * y / 220;
        float sx = (k == 0 || k == 3) ? -1.0f : 1.0f, sz = k < 2 ? -1.0f : 1.0f;
        return Vec3{sx * half, y, sz * half};
    };
    TubeShape leg{2.8f, 2.0f, 1, 6, true, {1, 0, 0}};
    TubeShape brace{1.1f, 1.1f, 1, 5, false, {1, 0, 0}};
    for (int k = 0; k < 4; ++k) {
        AddTube(m, corner(k, -4), corner(k, 222), leg, {0, 0, 0.25f, 4});
        for (int l = 0; l < levels; ++l) {
            float y0 = 220.0f * l / levels, y1 = 220.0f * (l + 1) / levels;
            AddTube(m, corner(k, y1), corner((k + 1) % 4, y1), brace, {0, 0, 0.25f, 2});
            AddTube(m, corner(k, y0), corner((k + 1) % 4, y1), brace, {0, 0, 0.25f, 2});
            AddTube(m, corner((k + 1) % 4, y0), corner(k, y1), brace, {0, 0, 0.25f, 2});
        }
    }
    AddBox(m, {-24, 220, -24}, {24, 224, 24}, 24);
    // Railing posts on the platform.
    for (int k = 0; k < 4; ++k) {
        Vec3 c = corner(k, 224) * 1.45f;
        c.y = 224;
        AddTube(m, c, c + Vec3{0, 14, 0}, brace, {0, 0, 0.25f, 1});
        Vec3 n = corner((k + 1) % 4, 224) * 1.45f;
        n.y = 224;
        AddTube(m, c + Vec3{0, 14, 0}, n + Vec3{0, 14, 0}, brace, {0, 0, 0.25f, 1});
    }
    return m;
}

MeshBuilder BeaconLantern()
{
    MeshBuilder m;
    AddLathe(m, {0, 0, 0}, {{11, 224}, {13, 226}, {13, 252}, {11, 254}}, 8, {0, 0, 2, 1});
    return m;
}

MeshBuilder BeaconRoof()
{
    MeshBuilder m;
    AddLathe(m, {0, 0, 0}, {{0, 252}, {17, 252}, {17, 255}, {3, 272}, {1.2f, 274}, {1.2f, 286}, {0, 287}}, 8,
             {0, 0, 1, 1}, 2);
    return m;
}

// The greeting's silhouette: drawn black at x0.2 after a drop of 72, so feet at -48 here
// stand on the ground at -24; 90 high here, 18 in the world, head bowed.
MeshBuilder DeadSilhouette()
{
    // The greet scene draws this x0.2 lifted by -72 (the mesh's -48 meets the ground at -24).
    // A low mound of earth raises the body above the grass, so that the black figure lying on
    // its back stands out against the grey sky as the camera comes down to it.
    MeshBuilder m;
    AddLathe(m, {0, -48, 0}, {{0, 0}, {80, 0}, {66, 22}, {42, 45}, {16, 54}, {0, 55}}, 14, {0, 0, 1, 1}, 1);
    FigureStyle style;
    style.height = 90;
    style.skirt = 0.2f;
    style.skirtFlare = 1.5f;
    Pose pose;
    pose.headBow = -0.25f;
    pose.shoulderSpread = {0.9f, 0.35f};
    pose.elbowBend = {0.5f, 0.2f};
    pose.hipSpread = {0.12f, 0.05f};
    pose.hipSwing = {0.0f, 0.45f};
    pose.kneeBend = {0.0f, 0.9f};
    // Lying on its back along x, feet to -x, on top of the mound.
    m.SetPlacement(Affine::Translation({-45, 12, 0}) * Affine::Rotation({1, 0, 0}, -Pi / 2) *
                   Affine::Rotation({0, 0, 1}, -Pi / 2));
    AddFigure(m, style, pose);
    return m;
}

} // namespace

void GenerateLandscapeMeshes(const DataTree& tree)
{
    WriteMesh(tree, "leafsmall.geox", LeafSmall());
    WriteMesh(tree, "leafnormal.geox", LeafNormal());
    WriteMesh(tree, "plane.geox", Plane(10, 8, 1));
    WriteMesh(tree, "planebig.geox", Plane(100, 16, 10));
    WriteMesh(tree, "sphere.geox", Sphere());
    WriteMesh(tree, "grass.geox", GrassTuft());
    WriteMesh(tree, "tree/tree.geox", Tree());
    WriteMesh(tree, "dead.geox", DeadSilhouette());

    WriteMeshFolder(tree, "season/", {{"heap.geox", LeafHeap().ToFile()}, {"Stone_1.geox", Stone().ToFile()}});
    // The frame is a text mesh listed in upper case, and the list ends in empty lines.
    WriteMeshFolder(tree, "seasonwindow/", {{"FRAME.TEXTGEOX", WindowFrame().ToFile()}}, 2);
    WriteMesh(tree, "seasoncut/cut.geox", WindowCut());

    WriteMeshFolder(tree, "baken/",
                    {{"tower.geox", BeaconTower().ToFile()},
                     {"lantern.geox", BeaconLantern().ToFile()},
                     {"roof.geox", BeaconRoof().ToFile()}});
    WriteFolderTextures(tree, "baken/",
                        {{"tower", RustCanvas(256, 101, Hex(0x3a3f3a), 0.7f)},
                         {"lantern", LanternCanvas(102), false, PictureFile::Jpeg, "2"},
                         {"roof", RustCanvas(256, 103, Hex(0x8a2a1e), 0.35f), false, PictureFile::Bmp32}});
}
