// The killself scene, in drawing order.
#include "scenes/scene_killself.h"

#include "base/random.h"
#include "render/lum_frame.h"
#include "render/lum_globals.h"
#include "resources/globaldata.h"
#include "scenes/kill_blocks.h"
#include "scenes/textured_list.h"
#include "scenes/scene_frame.h"
#include "scenes/yard_setting.h"

#include <array>
#include <cmath>

namespace {

constexpr int Kinds = 5, LeavesPerKind = 501;

CameraPath g_first, g_second;
StreamLeaf g_stream[Kinds][LeavesPerKind];
LeafBatch g_leaves;
std::array<GLuint, Kinds> g_leafTextures{};
ListTextures g_figureTextures;

} // namespace

const StreamLeaf& StreamLeafAt(int k, int j)
{
    return g_stream[k][j];
}

bool StreamPours(float p)
{
    return p >= 0.1875f;
}

GlMatrix StreamLeafPlacement(int k, int j, const StreamLeaf& leaf, float p)
{
    const float along = 2 * p + leaf.h;
    const float q = along - std::floor(along); // one pass a half
    GlMatrix matrix;
    matrix.Translate(3 * leaf.r * q - 47.2f, 290 * (std::cos(q * static_cast<float>(M_PI) / 2) - 1) + 258, 195.2f);
    TumbleLeaf(matrix, k % 2 == 0, p, 1 + 2.12f * j / 500, leaf.h); // the kind's parity, not the leaf's
    matrix.Scale(5, 5, 5);
    return matrix;
}

void tscene_killself::Load()
{
    for (auto& kind : g_stream) {
        for (StreamLeaf& leaf : kind) {
            leaf.r = static_cast<float>(150 * Random01() + 80);
            Random01(); // two draws the stream does not use
            Random01();
            leaf.h = static_cast<float>(Random01());
        }
    }
    LoadCameraPath(g_first, "data\\killself1.camera");
    LoadCameraPath(g_second, "data\\killself2.camera");
    // Three more draws a leaf that nothing uses; they still move every later placement.
    for (int i = 0; i < 3 * Kinds * LeavesPerKind; ++i) Random01();

    PrepareYardSetting();
    g_figureTextures = ResolveListTextures(KillSelfList, "killself.");
    g_leafTextures = FindLeafTextures();
    g_leaves.Prepare(LeafSmallMesh, LeavesPerKind);
}

void tscene_killself::Render(int32_t time)
{
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    const float p = FlyOneOfTwoPaths(Progress(time), g_first, 1.85f, g_second, 1.85f);
    DrawYardSetting();

    // The yard wholly replaced by its blur, the figure sharp over it.
    BlurBackdrop(0);
    glEnable(GL_TEXTURE_2D);
    glColor4f(1, 1, 1, 1);
    glPushMatrix();
    glTranslatef(0, 8, 0);
    glScalef(4, 4, 4);
    glRotatef(180, 0, 1, 0);
    DrawGeoxListTextured(KillSelfList, g_figureTextures);
    glPopMatrix();

    // The stream, each kind in its own leaf texture, greys from 0.4 to 1.
    if (StreamPours(p)) {
        for (int k = 1; k <= Kinds; ++k) {
            g_leaves.Begin();
            for (int j = 0; j < LeavesPerKind; ++j) {
                const float grey = 0.6f * j / 500 + 0.4f;
                g_leaves.Add(StreamLeafPlacement(k, j, g_stream[k - 1][j], p), grey, grey, grey, 1);
            }
            DrawAlphaTestedLeaves(g_leaves, g_leafTextures[k - 1]);
        }
    }
    glColor4f(1, 1, 1, 1);
}
