// The figures of the kill scenes and the hand. All are 45 units tall and drawn x4 in the
// yard (180 cm). The killer is lifted 8 by its placement, so its soles sit at -2 to meet
// the ground; the killself figure the same, and its lamp post carries the lantern whose
// mouth is the point (-47.2, 258, 195.2) the leaf stream pours from once the figure is
// turned 180 degrees and scaled. The dead figure lies on its back at (-100, 0, 300) x4,
// its lowest point 10 above the ground so the leaf carpet at 10 lies under it.
#include "datagen/mesh_materials.h"
#include "datagen/meshes.h"

#include <cmath>

namespace {

constexpr float FigureHeight = 45;

FigureStyle Adult()
{
    FigureStyle style;
    style.height = FigureHeight;
    return style;
}

FigureStyle KillerStyle()
{
    FigureStyle style = Adult();
    style.build = 1.12f;
    style.skirt = 0.24f;
    style.skirtFlare = 1.45f;
    style.hood = true;
    return style;
}

Pose KillerPose()
{
    Pose pose;
    pose.headBow = 0.2f;
    pose.spineBend = 0.08f;
    pose.hipSpread = {0.07f, 0.09f};
    pose.hipSwing = {0.12f, -0.1f};
    pose.kneeBend = {0.15f, 0.05f};
    pose.shoulderSwing = {0.1f, 0.25f};
    pose.shoulderSpread = {0.12f, 0.16f};
    pose.elbowBend = {0.2f, 0.35f};
    return pose;
}

MeshBuilder Killer()
{
    MeshBuilder m;
    m.SetPlacement(Affine::Translation({0, -2, 0}));
    AddFigure(m, KillerStyle(), KillerPose());
    return m;
}

// A length of rusted pipe in the killer's right hand, hanging along the leg.
MeshBuilder KillerPipe()
{
    MeshBuilder m;
    m.SetPlacement(Affine::Translation({0, -2, 0}));
    Vec3 hand = FigureJoint(KillerStyle(), KillerPose(), 1) + Vec3{0.3f, -1.5f, -0.6f};
    AddTube(m, hand + Vec3{0, 4, -2}, hand + Vec3{1.5f, -17, 5}, {0.55f, 0.55f, 1, 6, true, {1, 0, 0}}, {0, 0, 1, 3});
    return m;
}

// On its back, head toward +z, one knee up and the arms thrown out.
MeshBuilder DeadFigure()
{
    MeshBuilder m;
    FigureStyle style = Adult();
    Pose pose;
    pose.headTurn = 0.6f;
    pose.headBow = -0.2f;
    pose.shoulderSpread = {1.2f, 0.7f};
    pose.shoulderSwing = {0.2f, -0.3f};
    pose.elbowBend = {0.5f, 0.2f};
    pose.hipSpread = {0.15f, 0.3f};
    pose.hipSwing = {0.7f, 0.05f};
    pose.kneeBend = {1.3f, 0.1f};
    // Lying: the front (-z) turns up; the lowest point rests at 2.5 (10 in the world), on
    // the carpet of leaves.
    const Affine lying = Affine::Rotation({1, 0, 0}, std::acos(-1.0f) / 2);
    MeshBuilder probe;
    probe.SetPlacement(lying);
    AddFigure(probe, style, pose);
    m.SetPlacement(Affine::Translation({0, 2.5f - probe.LowestHeight(), 0}) * lying);
    AddFigure(m, style, pose);
    return m;
}

MeshBuilder KillselfFigure()
{
    MeshBuilder m;
    m.SetPlacement(Affine::Translation({0, -2, 0}));
    FigureStyle style = Adult();
    style.build = 0.92f;
    Pose pose;
    pose.headBow = 0.75f;
    pose.spineBend = 0.25f;
    pose.shoulderSwing = {0.35f, 0.3f};
    pose.elbowBend = {0.6f, 0.7f};
    pose.shoulderSpread = {0.05f, 0.05f};
    pose.hipSwing = {0.05f, -0.05f};
    AddFigure(m, style, pose);
    return m;
}

// The lantern's mouth in the figure's own frame: (47.2, 250, -195.2) / 4, turned 180.
const Vec3 LanternMouth{11.8f, 62.5f, -48.8f};
const Vec3 PostFoot{22, -2, -56};

MeshBuilder LampPost()
{
    MeshBuilder m;
    TubeShape post{1.1f, 0.7f, 1, 6, true, {1, 0, 0}};
    Vec3 top = PostFoot + Vec3{0, 76, 0};
    AddTube(m, PostFoot, top, post, {0, 0, 1, 6});
    AddLathe(m, PostFoot, {{2.2f, 0}, {2.2f, 5}, {1.2f, 6}}, 6, {0, 0, 1, 0.3f});
    Vec3 armEnd{LanternMouth.x, top.y - 2, LanternMouth.z};
    AddTube(m, top - Vec3{0, 2, 0}, armEnd, {0.5f, 0.5f, 1, 5, true, {0, 1, 0}}, {0, 0, 1, 2});
    AddTube(m, top - Vec3{0, 9, 0}, (top + armEnd) * 0.5f - Vec3{0, 2, 0}, {0.3f, 0.3f, 1, 4, true, {0, 1, 0}},
            {0, 0, 1, 1});
    AddTube(m, armEnd, LanternMouth + Vec3{0, 8.5f, 0}, {0.12f, 0.12f, 1, 4, false, {1, 0, 0}}, {0, 0, 1, 1});
    return m;
}

MeshBuilder Lantern()
{
    MeshBuilder m;
    // Open at the bottom: the leaves fall out of it.
    AddLathe(m, LanternMouth, {{1.6f, 0}, {2.4f, 1}, {2.4f, 5.5f}, {2.9f, 6}, {1.2f, 8}, {0.4f, 8.6f}, {0, 8.7f}}, 6,
             {0, 0, 1, 1});
    return m;
}

// A hand, palm down, fingers along -z.
MeshBuilder Hand()
{
    MeshBuilder m;
    AddBox(m, {-4, -1.2f, -4}, {4, 1.2f, 4.5f}, 10, {0.05f, 0.05f, 0.95f, 0.95f});
    TubeShape finger{0.85f, 0.7f, 1, 5, true, {1, 0, 0}};
    const float lengths[4] = {5.5f, 6.5f, 6, 4.8f};
    for (int f = 0; f < 4; ++f) {
        float x = -3 + 2 * f;
        Vec3 knuckle{x, 0, -4};
        Vec3 middle = knuckle + Vec3{0, -0.6f, -lengths[f] * 0.55f};
        AddTube(m, knuckle, middle, finger);
        AddTube(m, middle, middle + Vec3{0, -1.5f, -lengths[f] * 0.45f}, finger);
    }
    Vec3 thumbBase{4, -0.3f, 2};
    AddTube(m, thumbBase, thumbBase + Vec3{2.5f, -0.5f, -3}, finger);
    AddTube(m, thumbBase + Vec3{2.5f, -0.5f, -3}, thumbBase + Vec3{3.2f, -1, -6.5f}, finger);
    return m;
}

// The clothes are dark and muted; skin pale.
Canvas FigureTexture(uint32_t seed, uint32_t upper, uint32_t lower)
{
    return FigureAtlas(seed, Hex(upper), Hex(lower), Hex(0xb89a88), Hex(0x2a221c));
}

} // namespace

void GenerateFigureMeshes(const DataTree& tree)
{
    WriteMeshFolder(tree, "killkiller/", {{"killer.geox", Killer().ToFile()}, {"pipe.geox", KillerPipe().ToFile()}});
    WriteFolderTextures(tree, "killkiller/",
                        {{"killer", FigureTexture(401, 0x3a2c24, 0x2a2a2e)},
                         {"pipe", RustCanvas(128, 402, Hex(0x3a3a3a), 0.8f), false, PictureFile::Jpeg}});

    WriteMeshFolder(tree, "killdead/", {{"dead.geox", DeadFigure().ToFile()}});
    WriteFolderTextures(tree, "killdead/", {{"dead", FigureTexture(411, 0x929eac, 0x46525e)}});

    WriteMeshFolder(tree, "killself/",
                    {{"figure.geox", KillselfFigure().ToFile()},
                     {"post.geox", LampPost().ToFile()},
                     {"lantern.geox", Lantern().ToFile()}});
    WriteFolderTextures(tree, "killself/",
                        {{"figure", FigureTexture(421, 0x7a5a3a, 0x4a4238)},
                         {"post", RustCanvas(256, 422, Hex(0x1e2a24), 0.6f)},
                         {"lantern", LanternCanvas(423), false, PictureFile::Bmp32}});

    WriteMeshFolder(tree, "hand/", {{"hand.geox", Hand().ToFile()}});
    WriteFolderTextures(tree, "hand/",
                        {{"hand", FigureAtlas(431, Hex(0xb89a88), Hex(0xb89a88), Hex(0xb89a88), Hex(0xa88a78)), false,
                          PictureFile::PackedJpeg, "1"}});
}
