// The killme scene, in drawing order.
#include "scenes/scene_killme.h"

#include "base/random.h"
#include "render/lum_globals.h"
#include "resources/globaldata.h"
#include "scenes/kill_blocks.h"
#include "scenes/scene_frame.h"
#include "scenes/textured_list.h"
#include "scenes/yard_setting.h"

namespace {

constexpr int Kinds = 5, LeavesPerKind = 301;


CameraPath g_path;
CarpetLeaf g_carpet[Kinds][LeavesPerKind];
LeafBatch g_leaves;
ListTextures g_killerTextures, g_deadTextures;
GLuint g_leaf5 = 0;

} // namespace

const CarpetLeaf& CarpetLeafAt(int k, int j)
{
    return g_carpet[k][j];
}

void tscene_killme::Load()
{
    for (auto& kind : g_carpet) {
        for (CarpetLeaf& leaf : kind) {
            leaf.a = static_cast<float>(360 * Random01());
            Random01(); // two draws the carpet does not use
            Random01();
            leaf.c = static_cast<float>(3600 * Random01());
            Random01(); // two more
            Random01();
            leaf.f = static_cast<float>(360 * Random01());
        }
    }
    LoadCameraPath(g_path, "data\\killme1.camera");

    PrepareYardSetting();
    PrepareKillBlocks();
    g_killerTextures = ResolveListTextures(KillKillerList, "killme.");
    g_deadTextures = ResolveListTextures(KillDeadList, "killdead.");
    g_leaf5 = FindTexture(GlobalTextures, "leaf5");
    g_leaves.Prepare(LeafSmallMesh, Kinds * LeavesPerKind);
}

void tscene_killme::Render(int32_t time)
{
    const float p = Progress(time);
    BeginSceneFrame(0, 0, 0, 0, g_path, 0.95f * p);
    DrawYardSetting();

    glPushMatrix();
    ApplyKillerPlacement();
    DrawGeoxListTextured(KillKillerList, g_killerTextures);
    glPopMatrix();

    DrawKillerShadow();

    glPushMatrix();
    glTranslatef(-100, 0, 300);
    glScalef(4, 4, 4);
    DrawGeoxListTextured(KillDeadList, g_deadTextures);
    glPopMatrix();

    // The carpet: every kind in "leaf5", 10 above the ground around the dead figure, each kind
    // a grey ramp from black (j = 0) to white (j = 300).
    if (p >= 0) {
        g_leaves.Begin();
        for (const auto& kind : g_carpet) {
            for (int j = 0; j < LeavesPerKind; ++j) {
                const CarpetLeaf& leaf = kind[j];
                GlMatrix m;
                m.Translate(-100, 0, 300);
                m.Rotate(leaf.a, 0, 1, 0);
                m.Translate(0, 10, leaf.c / 2);
                m.Rotate(leaf.f, 0, 1, 0);
                m.Scale(50, 125, 50);
                const float grey = static_cast<float>(j) / 300;
                g_leaves.Add(m, grey, grey, grey, 1);
            }
        }
        DrawAlphaTestedLeaves(g_leaves, g_leaf5);
    }
    glColor4f(1, 1, 1, 1);

    // The dead figure's shadow.
    GlMatrix shadow;
    shadow.Translate(-100, 19, 300);
    shadow.Scale(35, 35, 35);
    glDepthMask(GL_FALSE);
    DrawShadow(0.61f, shadow);
    glDepthMask(GL_TRUE);
}
