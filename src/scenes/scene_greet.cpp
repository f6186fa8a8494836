// The greet scene, in drawing order.
#include "scenes/scene_greet.h"

#include "base/gl.h"
#include "base/random.h"
#include "render/lum_font.h"
#include "render/lum_frame.h"
#include "render/lum_globals.h"
#include "resources/globaldata.h"
#include "resources/lum_geox.h"
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

struct BladePosition {
    float x, y, z;
};
BladePosition g_blades[GreetBladeCount];
GLuint g_grassField = 0;

} // namespace

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
    for (BladePosition& blade : g_blades) {
        blade.x = static_cast<float>((Random01() - 0.5) * 800.0);
        blade.y = static_cast<float>((Random01() - 0.5) * 2.0 - 24.0);
        blade.z = static_cast<float>((Random01() - 0.5) * 800.0);
    }

    glLoadIdentity();
    g_grassField = glGenLists(1);
    glNewList(g_grassField, GL_COMPILE);
    for (const BladePosition& blade : g_blades) {
        glPushMatrix();
        glTranslatef(blade.x, blade.y, blade.z);
        const double r1 = Random01();
        const double r2 = Random01();
        glScalef(2.0f, static_cast<float>(r1 * r2 * 2.0 + 1.0), 2.0f);
        glRotatef(static_cast<float>(Random01() * 360.0), 0.0f, 1.0f, 0.0f);
        DrawGeoxTextured(GrassMesh);
        glPopMatrix();
    }
    glEndList();
}

void tscene_greet::Render(int32_t time)
{
    const float p = Progress(time);
    glEnable(GL_DEPTH_TEST);

    glClearColor(0.0f, 0.0f, 1.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    EvaluateCameraPath(CurrentCamera, GreetPath, 0.85f * p);
    ApplyCamera(CurrentCamera);

    // Sky: from 81 % grey down to black over the span.
    const float grey = 0.81f * (1.0f - p);
    glColor4f(grey, grey, grey, 1.0f);
    BindTexture(GlobalTextures, "skybw");
    glPushMatrix();
    glScalef(50.0f, 50.0f, 50.0f);
    DrawGeoxTextured(SphereMesh);
    glPopMatrix();

    // Ground.
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    ApplyCamera(CurrentCamera);
    BindTexture(GlobalTextures, "grassbottombw");
    glPushMatrix();
    glScalef(64.0f, 1.0f, 64.0f);
    glTranslatef(0.0f, -24.0f, 0.0f);
    DrawGeoxTextured(PlaneMesh);
    glPopMatrix();

    // Grass: black blades cut out by the texture's alpha.
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    ApplyCamera(CurrentCamera);
    BindTexture(GlobalTextures, "grassbw");
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    glCallList(g_grassField);
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
    const GLuint font = FindTexture(GlobalTextures, "font");
    DrawText("we have no lantern for", font, 320.0f, 210.0f, 14.0f, 14.0f, 12.0f, 1.0f, 1.0f, 1.0f,
             0.6f * (1.0f - p));
    const GreetLine greeting = GreetLineAt(p);
    DrawText(greeting.text, font, 320.0f, 240.0f, greeting.size, greeting.size, greeting.advance, 1.0f,
             1.0f, 1.0f, greeting.alpha);

    if (p < 0.5f) DrawWhiteFade(std::sqrt(std::sqrt(std::sin(static_cast<float>(M_PI) * p))));

    FinishFrame(135, 1.0f, 1.0f, 1.0f, 0.5f);
}
