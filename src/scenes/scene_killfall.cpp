// The killfall scene, in drawing order.
#include "scenes/scene_killfall.h"

#include "base/random.h"
#include "render/lum_frame.h"
#include "render/lum_globals.h"
#include "resources/globaldata.h"
#include "scenes/kill_blocks.h"
#include "scenes/textured_list.h"
#include "scenes/yard_setting.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr int Kinds = 5, LeavesPerKind = 701;
constexpr float Impact = 0.0625f; // the progress of each half at which the figure lands

CameraPath g_first, g_second;
BurstLeaf g_burst[Kinds][LeavesPerKind];
LeafBatch g_leaves;
std::array<GLuint, Kinds> g_leafTextures{};
ListTextures g_deadTextures;

} // namespace

const BurstLeaf& BurstLeafAt(int k, int j)
{
    return g_burst[k][j];
}

float FallHeight(float p)
{
    if (p > Impact) return 0;
    return (1 - p / Impact) * 4000;
}

GlMatrix BurstLeafPlacement(const BurstLeaf& leaf, float s)
{
    // Fast at first: u runs from 0 at the impact to 1 after d units of progress.
    const float u = std::sqrt(std::min(1.0f, s / leaf.d));
    GlMatrix m;
    m.Rotate(leaf.a, 0, 1, 0);
    m.Translate(0, std::sin(static_cast<float>(M_PI) * u) * leaf.b + 10, u * leaf.c);
    m.Rotate((1 - u) * leaf.e, 1, 0.834562f, 0.37568274f);
    m.Rotate(leaf.f, 0, 1, 0);
    m.Scale(50, 50, 50);
    return m;
}

void tscene_killfall::Load()
{
    LoadCameraPath(g_first, "data\\killfall1.camera");
    LoadCameraPath(g_second, "data\\killfall2.camera");
    for (auto& kind : g_burst) {
        for (BurstLeaf& leaf : kind) {
            leaf.a = static_cast<float>(360 * Random01());
            const double arc = 600 * Random01();
            leaf.b = static_cast<float>(arc * Random01());
            leaf.c = static_cast<float>(1800 * Random01());
            leaf.d = static_cast<float>(Random01() + 0.1);
            leaf.e = static_cast<float>(1800 * Random01() + 200);
            leaf.f = static_cast<float>(360 * Random01());
        }
    }

    PrepareYardSetting();
    PrepareKillBlocks();
    g_deadTextures = ResolveListTextures(KillDeadList, "killdead.");
    g_leafTextures = FindLeafTextures();
    g_leaves.Prepare(LeafSmallMesh, LeavesPerKind);
}

void tscene_killfall::Render(int32_t time)
{
    glClearColor(0, 0, 0, 0);
    ClearWholeWindow(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const float p = FlyOneOfTwoPaths(Progress(time), g_first, 1.3f, g_second, 1.9f);
    glEnable(GL_DEPTH_TEST);
    DrawYardSetting();

    // The fall; the figure keeps turning after it lands.
    glPushMatrix();
    glTranslatef(0, FallHeight(p), 0);
    glRotatef(260 * p, 0, 1, 0);
    glScalef(5, 5, 5);
    DrawGeoxListTextured(KillDeadList, g_deadTextures);
    glPopMatrix();

    // The burst, after the impact: each kind in its own leaf texture, greys from 0.4 to 1.
    const float s = p - Impact;
    if (s >= 0) {
        for (int k = 0; k < Kinds; ++k) {
            g_leaves.Begin();
            for (int j = 0; j < LeavesPerKind; ++j) {
                const float grey = 0.6f * j / 700 + 0.4f;
                g_leaves.Add(BurstLeafPlacement(g_burst[k][j], s), grey, grey, grey, 1);
            }
            DrawAlphaTestedLeaves(g_leaves, g_leafTextures[k]);
        }
    }
    glColor4f(1, 1, 1, 1);

    // The impact shadow grows from the landing on; it keeps writing depth.
    GlMatrix shadow;
    shadow.Translate(0, 19, 0);
    shadow.Scale(350, 350, 350);
    DrawShadow(p >= Impact ? std::sqrt((p - Impact) / 0.9375f) : 0, shadow);
}
