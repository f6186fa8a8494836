// The swing scene's sets. Giorl: the swing (mesh 0) and the girl on it (mesh 1) turn about
// the bar at height 16.7 after a drop of 16.9, so both are built 0.2 higher than they hang;
// then the frame, the tree (the one mesh drawn alpha-tested, by its name "tree") and the
// ground at height 3, where the falling leaves end. Burn: flames at the feet of the frame
// and of the tree and a ring of ash under the swing, faded in over the scene.
#include "datagen/mesh_materials.h"
#include "datagen/meshes.h"

namespace {

constexpr float BarHeight = 16.7f;
constexpr float Ground = 3;
constexpr float RopeX = 2.7f;
constexpr float SeatTop = 7.6f;
const Vec3 TreeFoot{17, Ground, 13};
const Vec3 FrameFeet[4] = {{-11, Ground, -5}, {-11, Ground, 5}, {11, Ground, -5}, {11, Ground, 5}};

// The swinging meshes are drawn 0.2 below their file position.
const Affine Hanging = Affine::Translation({0, 0.2f, 0});

// Wood region (top half) and rope region (bottom half) of the swing picture.
constexpr UvRect SwingWood{0, 0, 1, 0.5f};
constexpr UvRect SwingRope{0, 0.5f, 1, 1};

MeshBuilder Swing()
{
    MeshBuilder m;
    m.SetPlacement(Hanging);
    TubeShape rope{0.12f, 0.12f, 1, 4, false, {1, 0, 0}};
    for (float x : {-RopeX, RopeX}) {
        AddTube(m, {x, BarHeight, 0}, {x, SeatTop, -0.9f}, rope, SwingRope);
        AddTube(m, {x, BarHeight, 0}, {x, SeatTop, 0.9f}, rope, SwingRope);
    }
    AddBox(m, {-RopeX - 0.8f, SeatTop - 0.4f, -1.3f}, {RopeX + 0.8f, SeatTop, 1.3f}, 3, SwingWood);
    return m;
}

// A girl of 12 units sitting on the seat, facing -z, hands on the ropes.
MeshBuilder Girl()
{
    MeshBuilder m;
    FigureStyle style;
    style.height = 12;
    style.build = 1.05f;
    style.skirt = 0.17f;
    style.skirtFlare = 1.9f;
    style.longHair = true;
    Pose pose;
    pose.lean = -0.12f;
    pose.headBow = 0.15f;
    pose.hipSwing = {1.45f, 1.5f};
    pose.kneeBend = {1.3f, 1.55f};
    pose.hipSpread = {0.08f, 0.08f};
    pose.shoulderSwing = {2.2f, 2.2f};
    pose.shoulderSpread = {0.28f, 0.28f};
    pose.elbowBend = {0.5f, 0.5f};
    // Hips 0.7 above the seat, a little behind its middle.
    m.SetPlacement(Hanging * Affine::Translation({0, SeatTop + 0.7f - 0.5f * style.height, 0.5f}));
    AddFigure(m, style, pose);
    return m;
}

MeshBuilder Frame()
{
    MeshBuilder m;
    TubeShape pipe{0.32f, 0.32f, 1, 6, true, {0, 1, 0}};
    AddTube(m, {-12, BarHeight, 0}, {12, BarHeight, 0}, pipe, {0, 0, 6, 1});
    for (const Vec3& foot : FrameFeet) {
        AddTube(m, foot - Vec3{0, 0.5f, 0}, {foot.x * 1.02f, BarHeight + 0.3f, 0}, pipe, {0, 0, 1, 4});
    }
    return m;
}

// Cut to the hull of the picture's alpha: the tree stands near the camera, and every
// fragment of an alpha-tested card costs the same, drawn or not.
MeshBuilder TreeCards(const Canvas& picture)
{
    MeshBuilder m;
    AddCrossedCutouts(m, TreeFoot - Vec3{0, 0.3f, 0}, 30, 34, 3, 0.4f, AlphaHull(picture, 0.1f, 8, 2));
    return m;
}

MeshBuilder GroundDisc()
{
    MeshBuilder m;
    AddGrid(m, {-150, Ground, 150}, {300, 0, 0}, {0, 0, -300}, 12, 12, {0, 0, 20, 20});
    return m;
}

MeshBuilder Flames()
{
    MeshBuilder m;
    for (const Vec3& foot : FrameFeet) {
        AddCrossedCards(m, foot - Vec3{0, 0.2f, 0}, 5, 7, 2, foot.x * 0.1f);
    }
    AddCrossedCards(m, TreeFoot - Vec3{0, 0.2f, 0}, 11, 15, 3, 0.2f);
    return m;
}

MeshBuilder AshRing()
{
    MeshBuilder m;
    AddGrid(m, {-16, Ground + 0.05f, 16}, {32, 0, 0}, {0, 0, -32}, 2, 2);
    return m;
}

} // namespace

void GenerateGiorlMeshes(const DataTree& tree)
{
    const Canvas treePicture = TreeCardCanvas(204);
    WriteMeshFolder(tree, "giorl/",
                    {{"swing.geox", Swing().ToFile()},
                     {"giorl.geox", Girl().ToFile()},
                     {"frame.geox", Frame().ToFile()},
                     {"tree.geox", TreeCards(treePicture).ToFile()},
                     {"ground.geox", GroundDisc().ToFile()}});
    WriteFolderTextures(
        tree, "giorl/",
        {{"swing", SwingCanvas(201)},
         {"giorl", FigureAtlas(202, Hex(0x7a2e2a), Hex(0x3a3440), Hex(0xc9a48a), Hex(0x4a2c1a))},
         {"frame", RustCanvas(256, 203, Hex(0x2f4a5a), 0.55f), false, PictureFile::PackedJpeg, "0x2"},
         {"tree", treePicture, true},
         {"ground", [](int size) { return MudCanvas(size, 205, false); }, 256, PictureFile::Jpeg}});

    WriteMeshFolder(tree, "burn/", {{"flames.geox", Flames().ToFile()}, {"Char_01.geox", AshRing().ToFile()}});
    WriteFolderTextures(tree, "burn/", {{"flames", FlamesCanvas(211), true, PictureFile::PackedJpeg, "2"},
                                        {"char", AshCanvas(212), true}});
}
