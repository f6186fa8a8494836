// The intro scene, in drawing order.
#include "scenes/scene_intro.h"

#include "render/lum_font.h"
#include "render/lum_frame.h"
#include "resources/globaldata.h"
#include "scenes/scene_frame.h"

#include <cmath>

namespace {

GLuint g_font = 0;

} // namespace

void tscene_intro::Load()
{
    g_font = FindTexture(GlobalTextures, "font");
}

void tscene_intro::Render(int32_t time)
{
    const float p = Progress(time);
    ClearForOverlayScene();

    const float a = std::sin(static_cast<float>(M_PI) * p);
    DrawText("the hollow", g_font, 320.0f, 200.0f, 30.0f, 30.0f, 22.0f + 5.0f * p, 0.61f, 0.61f, 0.61f, a);
    DrawText("lantern of rust", g_font, 320.0f, 240.0f, 42.0f, 42.0f, 30.8f + 8.4f * p, 1.0f, 1.0f, 1.0f, a);

    FinishFrame(135, 1.0f, 1.0f, 1.0f, 0.75f);
}
