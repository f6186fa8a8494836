// The outro scene, in drawing order.
#include "scenes/scene_outro.h"

#include "gl/gl.h"
#include "render/lum_font.h"
#include "render/lum_frame.h"
#include "resources/globaldata.h"
#include "scenes/scene_frame.h"

#include <cmath>

namespace {

GLuint g_font = 0;

} // namespace

void tscene_outro::Load()
{
    g_font = FindTexture(GlobalTextures, "font");
}

void tscene_outro::Render(int32_t time)
{
    const float p = Progress(time);
    ClearForOverlayScene();

    const float c = std::cos(static_cast<float>(M_PI) * p / 2.0f);
    DrawText("norvik", g_font, 320.0f, 240.0f, 80.0f, 80.0f, 65.0f + 17.0f * p, 1.0f, 1.0f, 1.0f, c);
    DrawText("the hollow lantern of rust", g_font, 320.0f, 170.0f, 20.0f, 20.0f, 15.0f + 3.0f * p, 1.0f,
             1.0f, 1.0f, 0.5f * c);
    DrawText("first presented at fl07 by", g_font, 320.0f, 190.0f, 20.0f, 20.0f, 15.0f + 3.0f * p, 1.0f,
             1.0f, 1.0f, 0.5f * c);
    DrawText("tavel / oskun", g_font, 320.0f, 300.0f, 30.0f, 30.0f, 22.0f + 8.0f * p, 1.0f, 1.0f, 1.0f,
             0.75f * c);

    if (p < 0.5f) DrawWhiteFade(std::sqrt(std::sqrt(std::sin(static_cast<float>(M_PI) * p))));

    // Dissolve: the sharp share of the frame falls from 1 at p = 0 to 0 at p = 1.
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_DEPTH_TEST);
    BlurFrame(140, 1.0f, 1.0f, 1.0f, 1.0f - (p + std::sqrt(p)) / 2.0f);

    FinishFrame(135, 1.0f, 1.0f, 1.0f, 0.75f);

    if (EndsPieceAt(p)) EndPiece(); // the main loop ends the run after this frame
}
