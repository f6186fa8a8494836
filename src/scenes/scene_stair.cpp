// The stair scene, in drawing order.
#include "scenes/scene_stair.h"

#include "base/random.h"
#include "gl/gl.h"
#include "render/leaf_batch.h"
#include "render/lum_camera.h"
#include "resources/globaldata.h"
#include "scenes/light_sphere.h"
#include "scenes/scene_frame.h"
#include "scenes/textured_list.h"

#include <cmath>

namespace {

StairLeaf g_leaves[StairLeafCount];
GLuint g_lightSphere = 0;
CameraPath g_path;
ListTextures g_stairTextures;
GLuint g_leafTexture = 0;
LeafBatch g_leafBatch;

// The fractional part (the arguments here are never negative).
float Frac(float v)
{
    return v - std::trunc(v);
}

} // namespace

const StairLeaf& StairLeafAt(int i)
{
    return g_leaves[i];
}

float StairLeafSpeed(int i)
{
    return 1 + static_cast<float>(3 * i) / 2500;
}

GlMatrix StairLeafPlacement(int i, float p)
{
    const StairLeaf& leaf = g_leaves[i];
    const float s = StairLeafSpeed(i);
    const float u = Frac(s * p + leaf.phase);
    GlMatrix m;
    // Falls from 300 to -100 and starts again at the top; over the span, s/6 of one drop.
    m.Translate(leaf.x, 300 - 400 * Frac(s * p / 6 + leaf.phase), leaf.z);
    m.Scale(10, 10, 10);
    // Rocks up to 72 degrees three times and spins once a cycle of u, neighbours opposite ways.
    m.Rotate(72 * std::sin(6 * static_cast<float>(M_PI) * u), 1, 0, 0.8f);
    m.Rotate(360 * u, 0, i % 2 == 0 ? 1.0f : -1.0f, 0);
    return m;
}

void tscene_stair::Load()
{
    for (StairLeaf& leaf : g_leaves) {
        leaf.x = static_cast<float>((Random01() - 0.5) * 250);
        leaf.z = static_cast<float>((Random01() - 0.5) * 250);
        leaf.phase = static_cast<float>(Random01());
    }
    g_lightSphere = BuildLightSphere(36);
    LoadCameraPath(g_path, "data\\stair.camera");
    g_stairTextures = ResolveListTextures(StairList, "stair.");
    g_leafTexture = FindTexture(GlobalTextures, "leaf5");
    g_leafBatch.Prepare(LeafSmallMesh, StairLeafCount);
}

void tscene_stair::Render(int32_t time)
{
    const float p = Progress(time);
    BeginSceneFrame(1, 1, 1, 0, g_path, 0.95f * p);

    glPushMatrix();
    glRotatef(90, 0, 1, 0);
    DrawGeoxListTextured(StairList, g_stairTextures);
    glPopMatrix();

    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    BindTextureId(g_leafTexture);
    // Opaque white: with the colour the montage's glow leaves (alpha 0.5) no leaf fragment
    // would pass the alpha test.
    glColor4f(1, 1, 1, 1);
    g_leafBatch.Begin();
    for (int i = 0; i < StairLeafCount; ++i) g_leafBatch.Add(StairLeafPlacement(i, p));
    g_leafBatch.Draw();
    glAlphaFunc(GL_ALWAYS, 0);
    glDisable(GL_ALPHA_TEST);

    DrawLightSphere(g_lightSphere, 300, 70);
}
