// The sphere scene, in drawing order.
#include "scenes/scene_sphere.h"

#include "base/random.h"
#include "gl/gl.h"
#include "render/leaf_batch.h"
#include "render/lum_camera.h"
#include "render/lum_font.h"
#include "render/lum_frame.h"
#include "render/lum_globals.h"
#include "render/view_region.h"
#include "resources/globaldata.h"
#include "scenes/light_sphere.h"

#include <cmath>
#include <string>

namespace {

constexpr int LeafKinds = 5;
constexpr int LeavesPerKind = 1501;

GLuint g_lightSphere = 0;
CameraPath g_path;
SphereLeaf g_leaves[LeafKinds][LeavesPerKind];
GLuint g_font = 0;
GLuint g_leafTextures[LeafKinds] = {};
LeafBatch g_leafBatch;

// The fractional part (the arguments here are never negative).
float Frac(float v)
{
    return v - std::trunc(v);
}

} // namespace

const SphereLeaf& SphereLeafAt(int k, int j)
{
    return g_leaves[k][j];
}

SpherePulse SpherePulseAt(float p0)
{
    SpherePulse pulse;
    pulse.e = Frac(8 * p0);
    pulse.pulsedTime = p0 - std::sin(2 * static_cast<float>(M_PI) * pulse.e) / 60;
    pulse.cameraFraction = Frac(0.8f * pulse.pulsedTime + pulse.e / 45);
    pulse.fadeAlpha = std::fabs(std::sin(static_cast<float>(M_PI) * std::sqrt(Frac(8 * pulse.pulsedTime))));
    pulse.glowTint = 0.75f * std::sqrt(pulse.e);
    return pulse;
}

void tscene_sphere::Load()
{
    // 501 draws that are never used: they fix every later load.
    for (int draw = 0; draw < 501; ++draw) Random01();
    g_lightSphere = BuildLightSphere(10);
    LoadCameraPath(g_path, "data\\sphere1.camera");
    for (auto& kind : g_leaves) {
        for (SphereLeaf& leaf : kind) {
            leaf.phase = static_cast<float>(Random01());
            leaf.ox = static_cast<float>(Random01() * 100);
            leaf.oy = static_cast<float>(Random01() * 100);
            leaf.oz = static_cast<float>(Random01() * 100);
            if (Random01() > 0.5) leaf.ox = -leaf.ox;
            if (Random01() > 0.5) leaf.oy = -leaf.oy;
            if (Random01() > 0.5) leaf.oz = -leaf.oz;
        }
    }
    g_font = FindTexture(GlobalTextures, "font");
    for (int k = 1; k <= LeafKinds; ++k) g_leafTextures[k - 1] = FindTexture(GlobalTextures, "leaf" + std::to_string(k));
    g_leafBatch.Prepare(LeafSmallMesh, LeavesPerKind);
}

void tscene_sphere::Render(int32_t time)
{
    const SpherePulse pulse = SpherePulseAt(Progress(time));
    const float P = pulse.pulsedTime;
    // Nothing reads the frame before the letterbox covers the bars.
    ClipToPictureBand();
    glClearColor(0, 0, 0, 0);
    ClearWholeWindow(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    EvaluateCameraPath(CurrentCamera, g_path, pulse.cameraFraction);
    ApplyCamera(CurrentCamera);

    // The core, wearing the font atlas.
    BindTextureId(g_font);
    glPushMatrix();
    glScalef(0.85f, 0.85f, 0.85f);
    glRotatef(337.5f, 1, 2, 3);
    DrawGeoxTextured(SphereMesh);
    glPopMatrix();
    glColor4f(1, 1, 1, 1);

    // The leaves: each runs from the centre to the end of its offset, white to black, and
    // all turn together, four turns over the span, each from its own angle.
    for (int k = 0; k < LeafKinds; ++k) {
        BindTextureId(g_leafTextures[k]);
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.5f);
        glDisable(GL_BLEND);
        // Placed on two threads; leaves wholly outside the band are left out, as it clips there.
        g_leafBatch.Begin(PictureBandRegion);
        g_leafBatch.AddEachColoured(LeavesPerKind, [&](int j, GlMatrix& m, float* rgba) {
            const SphereLeaf& leaf = g_leaves[k][j];
            const float u = Frac(P + leaf.phase);
            m.Translate(u * leaf.ox, u * leaf.oy, u * leaf.oz);
            m.Rotate(static_cast<float>(1440.0 * P + 750.0 * j / 7), 2, 1, 1.5f);
            m.Scale(2, 4, 2);
            rgba[0] = rgba[1] = rgba[2] = 1 - u;
            return true;
        });
        g_leafBatch.Draw();
        glAlphaFunc(GL_ALWAYS, 0);
        glDisable(GL_ALPHA_TEST);
    }

    glColor4f(1, 1, 1, 1);
    DrawLightSphere(g_lightSphere, 0, 10);

    DrawText("closer", g_font, 160, 240, 50, 50, 40, 0, 0, 0, 1);
    glColor4f(1, 1, 1, 1);

    FinishFadedFrame(pulse.fadeAlpha, 135, 1, 1, 1, pulse.glowTint);
}
