// Baken: the camera circles a rusted beacon tower standing in the landscape while maple
// leaves drop from its lantern house, drift outwards as they fall and land on a wide ring.
#include "scenes/scene_baken.h"

#include "base/gl.h"
#include "base/random.h"
#include "base/two_threads.h"
#include "render/leaf_batch.h"
#include "render/lum_font.h"
#include "render/lum_frame.h"
#include "render/lum_globals.h"
#include "resources/globaldata.h"
#include "resources/lum_textures.h"
#include "scenes/landscape_field.h"
#include "scenes/scene_frame.h"
#include "scenes/textured_list.h"

#include <cmath>

CameraPath BakenPath;

namespace {


FallingLeaf g_leaves[BakenLeafCount];
LandscapeField g_field;
LandscapeTextures g_colour;
ListTextures g_bakenTextures;
LeafBatch g_leafBatch;
GLuint g_leaf5 = 0;
GLuint g_font = 0;

float Frac(float v)
{
    return v - std::trunc(v);
}

} // namespace

const FallingLeaf& BakenLeafAt(int i)
{
    return g_leaves[i];
}

const LandscapeField& BakenField()
{
    return g_field;
}

float BakenLeafCycle(float p, int i, float phase)
{
    return 2.0f * p * (1.0f + static_cast<float>(i) / 2500.0f) + phase - 2.4f;
}

float BakenFade(float p)
{
    return 0.71f * std::sin(static_cast<float>(M_PI) * p);
}

void tscene_baken::Load()
{
    for (FallingLeaf& leaf : g_leaves) {
        const float angle = static_cast<float>(Random01() * 2.0 * M_PI);
        const double r1 = Random01();
        const double r2 = Random01();
        const float radius = static_cast<float>((r1 - 0.5) * 30.0 * r2 + 110.0);
        leaf.x = std::sin(angle) * radius;
        leaf.z = std::cos(angle) * radius;
        leaf.phase = static_cast<float>(Random01());
    }
    BuildLandscapeField(g_field, ModelviewReset::BeforeEachList);
    LoadCameraPath(BakenPath, "data\\baken.camera");
    g_colour = ColourLandscape();
    g_bakenTextures = ResolveListTextures(BakenList, "baken.");
    g_leafBatch.Prepare(LeafSmallMesh, BakenLeafCount);
    g_leaf5 = FindTexture(GlobalTextures, "leaf5");
    g_font = FindTexture(GlobalTextures, "font");
}

namespace {

// Each leaf joins the fall at its own time, then drops from 242 to 0 as it drifts out to its
// place and tumbles about its own tilted axis.
void PlaceFallingLeaves(float p)
{
    for (int i = 0; i < BakenLeafCount; ++i) {
        const FallingLeaf& leaf = g_leaves[i];
        const float g = BakenLeafCycle(p, i, leaf.phase);
        if (g < 0.0f) continue; // not yet joined the fall
        const float f = Frac(g);
        const float s = std::sqrt(f);
        GlMatrix m;
        m.Translate(leaf.x * s, 242.0f - 242.0f * f * f, leaf.z * s);
        m.Scale(5.0f, 10.0f, 5.0f);
        const float k = 1.0f + 2.12f * static_cast<float>(i) / 2500.0f;
        const float angle = (1.17f * p * k + leaf.phase) * 2520.0f;
        if (i % 2 == 0)
            m.Rotate(angle, 0.7259231f * k, 1.0f, 0.52389467f);
        else
            m.Rotate(-angle, 0.7259231f, 1.0f, 0.52389467f * k);
        g_leafBatch.Add(m);
    }
}

} // namespace

void tscene_baken::Render(int32_t time)
{
    const float p = Progress(time);
    // No colour is set: the 3D drawing takes the one the last frame's glow left.
    ClipToPictureBand();
    BeginSceneFrame(0.0f, 0.0f, 0.0f, 0.0f, BakenPath, 0.88f * p);
    g_leafBatch.Begin(PictureBandRegion);
    // The leaves are placed on the helper thread while this one sends the landscape and the
    // towers.
    RunAlongside([p] { PlaceFallingLeaves(p); },
                 [] {
                     SetLandscapeFog(500.0f);
                     DrawLandscape(g_field, g_colour, 50.0f, PictureBandRegion);

                     glPushMatrix();
                     glTranslatef(0.0f, -24.0f, 0.0f);
                     DrawGeoxListTextured(BakenList, g_bakenTextures);
                     glPopMatrix();
                 });

    // The falling leaves, cut out by the maple's alpha as in every other leaf scene.
    BindTextureId(g_leaf5);
    glEnable(GL_ALPHA_TEST);
    // GREATER draws the leaf; LESS would draw the quad's transparent surround with a leaf-shaped hole.
    glAlphaFunc(GL_GREATER, 0.5f);
    g_leafBatch.Draw();
    glAlphaFunc(GL_ALWAYS, 0.0f);
    glDisable(GL_ALPHA_TEST);

    DrawText("black", g_font, 160.0f, 220.0f, 50.0f, 50.0f, 40.0f, 0.0f, 0.0f, 0.0f, 1.0f);
    DrawText("filled", g_font, 160.0f, 260.0f, 50.0f, 50.0f, 40.0f, 0.0f, 0.0f, 0.0f, 1.0f);

    FinishFrameFadingToBlack(BakenFade(p), 135, 1.0f, 1.0f, 1.0f, 0.75f);
}
