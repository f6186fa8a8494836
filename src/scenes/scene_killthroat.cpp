// The killthroat scene, in drawing order.
#include "scenes/scene_killthroat.h"

#include "base/random.h"
#include "base/two_threads.h"
#include "render/lum_globals.h"
#include "resources/globaldata.h"
#include "scenes/kill_blocks.h"
#include "scenes/scene_frame.h"
#include "scenes/yard_setting.h"

#include <cmath>

namespace {

CameraPath g_path;
// Only its eye positions count: they are the points of the curve the leaves follow.
CameraPath g_throat;
ThroatLeaf g_throatLeaves[ThroatLeafCount];
float g_positions[ThroatLeafCount][3];
LeafBatch g_leaves;
GLuint g_flatSky = 0, g_leaf4 = 0;

} // namespace

const ThroatLeaf& ThroatLeafAt(int i)
{
    return g_throatLeaves[i];
}

void ThroatLeafPosition(const PathSegments& throat, const ThroatLeaf& leaf, float p, float (&position)[3])
{
    const float run = p / 5 + leaf.h;
    const float v = run - std::floor(run);
    const float s = v * v;
    float eye[3];
    throat.EvaluateEye(s, eye);
    for (int axis = 0; axis < 3; ++axis) position[axis] = s * leaf.offset[axis] + eye[axis];
}

void tscene_killthroat::Load()
{
    for (ThroatLeaf& leaf : g_throatLeaves) {
        leaf.h = static_cast<float>(Random01());
        for (float& offset : leaf.offset) offset = static_cast<float>((0.5 - Random01()) * 350);
    }
    LoadCameraPath(g_path, "data\\killthroat.camera");
    LoadCameraPath(g_throat, "data\\throat.path", CameraFileUse::EyePath);

    PrepareYardSetting();
    PrepareKillBlocks();
    g_flatSky = FindTexture(GlobalTextures, "flatsky");
    g_leaf4 = FindTexture(GlobalTextures, "leaf4");
    g_leaves.Prepare(LeafSmallMesh, ThroatLeafCount);
}

void tscene_killthroat::Render(int32_t time)
{
    const float p = Progress(time);
    // The leaves' places come first, from the throat curve alone; CurrentCamera is the
    // scene's own path's.
    const PathSegments throat(g_throat);
    SplitOverTwoThreads(ThroatLeafCount, [&](int begin, int end) {
        for (int i = begin; i < end; ++i) ThroatLeafPosition(throat, g_throatLeaves[i], p, g_positions[i]);
    });

    BeginSceneFrame(0, 0, 0, 0, g_path, 0.88f * p);
    DrawYardSetting();

    // The silhouette: the meshes send no texture coordinates, so every vertex takes the one
    // the sky ceiling left current, and the killer shows in the flat colour of one sky texel.
    BindTextureId(g_flatSky);
    glPushMatrix();
    ApplyKillerPlacement();
    for (const GeoxMesh& mesh : KillKillerList.meshes) DrawGeoxPlain(mesh);
    glPopMatrix();

    DrawKillerShadow();

    // The leaves in "leaf4", greys from 0.5 to 1, tumbling by the parity of their number.
    g_leaves.Begin();
    g_leaves.AddEachColoured(ThroatLeafCount, [&](int i, GlMatrix& m, float* rgba) {
        m.Translate(g_positions[i][0], g_positions[i][1], g_positions[i][2]);
        m.Scale(35, 35, 35);
        TumbleLeaf(m, i % 2 == 0, p, 1 + 2.12f * i / 6500, g_throatLeaves[i].h);
        rgba[0] = rgba[1] = rgba[2] = 0.5f * i / 6500 + 0.5f;
        return true;
    });
    DrawAlphaTestedLeaves(g_leaves, g_leaf4);
    glColor4f(1, 1, 1, 1);
}
