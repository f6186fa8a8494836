// The greet scene, in drawing order.
#include "scenes/scene_greet.h"

#include "gl/gl.h"
#include "render/lum_font.h"
#include "render/lum_frame.h"
#include "render/lum_globals.h"
#include "resources/globaldata.h"
#include "resources/lum_geox.h"
#include "scenes/landscape_field.h"
#include "scenes/scene_frame.h"

#include <algorithm>
#include <cmath>

const std::string_view Greetings[GreetingCount] = {
    "",           "rustmoth",     "velvet owls", "tinfoil choir", "cinderlab",  "mossgate",
    "quiet oaks", "paper kites",  "ember wharf", "brine & bone",  "hollow elk", "copperleaf",
    "lampwick",   "ashen gulls",  "fenwick five", "",
};

CameraPath GreetPath;

namespace {

// The blades of the black field: the landscape's grass without its trees.
LandscapeField g_field;
LandscapeTextures g_blackAndWhite;
GLuint g_font = 0;

} // namespace

const LandscapeField& GreetField()
{
    return g_field;
}

GreetLine GreetLineAt(float p)
{
    const int line = std::clamp(static_cast<int>(16.0f * p), 0, GreetingCount - 1);
    const float f = 16.0f * p - static_cast<float>(line);
    return {Greetings[line], 40.0f + 10.0f * f, 30.0f + 15.0f * f,
            std::fabs(std::sin(16.0f * static_cast<float>(M_PI) * p))};
}

void tscene_greet::Load()
{
    LoadCameraPath(GreetPath, "data\\dead.camera");
    // All positions are drawn before the field is compiled, so the field is fixed by the
    // seed and the load order.
    PlaceGrassTufts(g_field);
    glLoadIdentity();
    CompileGrassField(g_field);
    g_blackAndWhite = BlackAndWhiteLandscape();
    g_font = FindTexture(GlobalTextures, "font");
}

void tscene_greet::Render(int32_t time)
{
    const float p = Progress(time);
    glEnable(GL_DEPTH_TEST);

    ClipToPictureBand();
    BeginSceneFrame(0.0f, 0.0f, 1.0f, 0.0f, GreetPath, 0.85f * p);

    // Sky: from 81 % grey down to black over the span.
    const float grey = 0.81f * (1.0f - p);
    glColor4f(grey, grey, grey, 1.0f);
    DrawSkySphere(g_blackAndWhite.sky, 50.0f);

    // Ground.
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    ApplyCamera(CurrentCamera);
    BindTextureId(g_blackAndWhite.ground);
    glPushMatrix();
    glScalef(64.0f, 1.0f, 64.0f);
    glTranslatef(0.0f, -24.0f, 0.0f);
    DrawGeoxTextured(PlaneMesh);
    glPopMatrix();

    // Grass: black blades cut out by the texture's alpha.
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    ApplyCamera(CurrentCamera);
    BindTextureId(g_blackAndWhite.grass);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    DrawGrassField(g_field, PictureBandRegion);
    glAlphaFunc(GL_ALWAYS, 0.0f);
    glDisable(GL_ALPHA_TEST);

    // The lying figure, a black silhouette.
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    glPushMatrix();
    glScalef(0.2f, 0.2f, 0.2f);
    glTranslatef(0.0f, -72.0f, 0.0f);
    DrawGeoxPlain(DeadMesh);
    glPopMatrix();

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    DrawText("we have no lantern for", g_font, 320.0f, 210.0f, 14.0f, 14.0f, 12.0f, 1.0f, 1.0f, 1.0f,
             0.6f * (1.0f - p));
    const GreetLine greeting = GreetLineAt(p);
    DrawText(greeting.text, g_font, 320.0f, 240.0f, greeting.size, greeting.size, greeting.advance, 1.0f,
             1.0f, 1.0f, greeting.alpha);

    // Out of white over the first half; the fade is folded into the finish.
    const FadeLayer fromWhite =
        p < 0.5f ? FadeLayer(1.0f, 1.0f, 1.0f, std::sqrt(std::sqrt(std::sin(static_cast<float>(M_PI) * p)))) : FadeLayer();
    FinishFadedFrame(fromWhite, 135, 1.0f, 1.0f, 1.0f, 0.5f);
}
