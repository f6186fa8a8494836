// Atom: a shaking camera over the wide landscape, where thousands of glowing ember leaves
// climb a pillar again and again and break away into a circle that grows wider and wider;
// the picture stays half dark and comes out of white and goes back into it.
#include "scenes/scene_atom.h"

#include "base/random.h"
#include "base/two_threads.h"
#include "gl/gl.h"
#include "render/leaf_batch.h"
#include "render/lum_font.h"
#include "render/lum_frame.h"
#include "render/lum_globals.h"
#include "resources/globaldata.h"
#include "resources/lum_textures.h"
#include "scenes/landscape_field.h"
#include "scenes/scene_frame.h"

#include <algorithm>
#include <cmath>

CameraPath AtomPath;

namespace {



ShakeOffset g_shake[AtomShakeCount];
RisingLeaf g_leaves[AtomLeafCount];
LandscapeField g_field;
LandscapeTextures g_colour;
LeafBatch g_leafBatch;
GLuint g_atom = 0;
GLuint g_font = 0;
GLuint g_nearestLevel = 0; // the sampler of the grass and the embers

float Frac(float v)
{
    return v - std::trunc(v);
}

float Centred(float scale)
{
    return static_cast<float>((Random01() - 0.5) * scale);
}

// Six more records in the falling-leaf pattern that nothing draws; their 24 draws keep every
// later placement where it is.
void DrawSpareRecords()
{
    for (int i = 0; i < 6; ++i) {
        Random01(); // angle
        Random01(); // radius: two draws
        Random01();
        Random01(); // phase
    }
}

// The fade to black at 0.5 and then the fade to white at `alpha` as one fade:
// white * (1 - alpha) + (frame * 0.5) * alpha is the fade colour c with the alpha 0.5 alpha,
// c * (1 - 0.5 alpha) = 1 - alpha. Equal to the two passes up to rounding.
FadeLayer HalfDarkWhiteFade(float alpha)
{
    const float kept = 0.5f * alpha;
    const float white = (1.0f - alpha) / (1.0f - kept);
    return {white, white, white, kept};
}

} // namespace

const ShakeOffset& AtomShakeAt(int i)
{
    return g_shake[i];
}

const RisingLeaf& AtomLeafAt(int i)
{
    return g_leaves[i];
}

const LandscapeField& AtomField()
{
    return g_field;
}

int AtomShakeIndex(float p)
{
    return std::clamp(static_cast<int>(1000.0f * p), 0, AtomShakeCount - 1);
}

AtomLeafTurn AtomLeafTurnOf(float p, int i, float phase)
{
    const float k = 1.0f + 2.12f * static_cast<float>(i) / 3500.0f;
    const float angle = (1.17f * p * k + phase) * 160.0f;
    if (i % 2 == 0) return {angle, 0.7259231f * k, 1.0f, 0.52389467f};
    return {-angle, 0.7259231f, 1.0f, 0.52389467f * (1.0f + 2.12f * static_cast<float>(i) / 4500.0f)};
}

void tscene_atom::Load()
{
    for (ShakeOffset& offset : g_shake) {
        offset.dx = static_cast<float>((Random01() - 0.5) / 3.0);
        offset.dy = static_cast<float>((Random01() - 0.5) / 3.0);
        offset.dz = static_cast<float>((Random01() - 0.5) / 3.0);
    }
    for (RisingLeaf& leaf : g_leaves) {
        leaf.phase = static_cast<float>(Random01());
        leaf.x = Centred(140.0f);
        leaf.z = Centred(140.0f);
    }
    DrawSpareRecords();
    BuildLandscapeField(g_field, ModelviewReset::BeforeEachList);
    LoadCameraPath(AtomPath, "data\\atom.camera");
    // The grass and the embers are minified within the nearest mipmap level rather than
    // between the two nearest: side by side the frames cannot be told apart, and it spares
    // a fifth of the scene's shading (its grass is sampled far away, its embers cover the sky).
    if (g_nearestLevel == 0) g_nearestLevel = CreateSampler(GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST);
    g_colour = ColourLandscape();
    g_colour.grassSampler = g_nearestLevel;
    g_atom = FindTexture(GlobalTextures, "atom");
    // The ember fills a small part of its square; only that part is drawn.
    g_leafBatch.Prepare(CropLeafToTexture(LeafSmallMesh, VisibleTextureRect(g_atom)), AtomLeafCount);
    g_font = FindTexture(GlobalTextures, "font");
}

namespace {

// Each ember turns about the vertical axis by its number, climbs eight times from 0 to 300
// while its cycle runs up to q, then circles wider and wider.
void PlaceEmbers(float p, float q)
{
    for (int i = 0; i < AtomLeafCount; ++i) {
        const RisingLeaf& leaf = g_leaves[i];
        GlMatrix m;
        m.Rotate(static_cast<float>(i) * 360.0f / 3500.0f, 0.0f, 1.0f, 0.0f);
        const float f = Frac(p / 30.0f + leaf.phase);
        if (f <= q) {
            m.Translate(0.0f, 300.0f * Frac(8.0f * f / q), 0.0f);
        } else {
            const float w = 2.0f * static_cast<float>(M_PI) * (1.0f - (f - q) / (1.0f - q));
            m.Translate(0.0f, 300.0f + 55.5f * std::cos(w), -(600.0f * p + 370.0f) * std::sin(w));
        }
        m.Translate(leaf.x, 0.0f, leaf.z);
        const AtomLeafTurn turn = AtomLeafTurnOf(p, i, leaf.phase);
        m.Rotate(turn.angle, turn.x, turn.y, turn.z);
        m.Scale(155.0f, 655.0f, 155.0f);
        g_leafBatch.Add(m);
    }
}

} // namespace

void tscene_atom::Render(int32_t time)
{
    const float p = Progress(time);
    const float q = 1.0f - p;
    // No colour is set: the 3D drawing takes the one the last frame's glow left.
    ClipToPictureBand();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    ClearWholeWindow(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    EvaluateCameraPath(CurrentCamera, AtomPath, 0.88f * p);

    // The shake moves the eye, not the point looked at.
    const ShakeOffset& shake = g_shake[AtomShakeIndex(p)];
    CurrentCamera.eyeX += shake.dx;
    CurrentCamera.eyeY += shake.dy;
    CurrentCamera.eyeZ += shake.dz;
    ApplyCamera(CurrentCamera);

    g_leafBatch.Begin(PictureBandRegion);
    // The embers are placed on the helper thread while this one sends the landscape.
    RunAlongside([p, q] { PlaceEmbers(p, q); },
                 [] {
                     glEnable(GL_DEPTH_TEST);
                     SetLandscapeFog(1000.0f);
                     DrawLandscape(g_field, g_colour, 150.0f, PictureBandRegion);
                 });

    // The ember leaves, blended over everything without hiding each other.
    glDepthMask(GL_FALSE);
    BindTextureId(g_atom);
    glBindSampler(0, g_nearestLevel);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    g_leafBatch.Draw();
    glDisable(GL_BLEND);
    glBindSampler(0, 0);
    glDepthMask(GL_TRUE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    DrawText("collapse me", g_font, 320.0f, 160.0f, 50.0f, 50.0f, 40.0f, 1.0f, 1.0f, 1.0f, 1.0f);

    // Always half dark, out of white and back into it; the fade is folded into the finish.
    FinishFadedFrame(HalfDarkWhiteFade(std::sqrt(std::sin(static_cast<float>(M_PI) * p))), 135, 1.0f, 1.0f, 1.0f,
                     0.75f);
}
