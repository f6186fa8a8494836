// The title scene, in drawing order.
#include "scenes/scene_title.h"

#include "gl/gl.h"
#include "render/lum_camera.h"
#include "render/lum_frame.h"
#include "render/lum_globals.h"
#include "render/lum_views.h"
#include "resources/globaldata.h"
#include "scenes/scene_frame.h"

#include <cmath>

namespace {

GLuint g_title = 0;

} // namespace

void tscene_title::Load()
{
    g_title = FindTexture(GlobalTextures, "title");
}

void tscene_title::Render(int32_t time)
{
    const float p = Progress(time);
    ClearForOverlayScene();

    // At p = 0 the middle 80 % of the width and 85 % of the height, at the end all of it.
    const float b = (1.0f - p) / 10.0f;
    const float c = b * 3.0f / 4.0f;
    BeginOverlay();
    BindTextureId(g_title);
    glBegin(GL_QUADS);
    glTexCoord2f(b, c);
    glVertex2f(0.0f, 60.0f);
    glTexCoord2f(1.0f - b, c);
    glVertex2f(640.0f, 60.0f);
    glTexCoord2f(1.0f - b, 1.0f - c);
    glVertex2f(640.0f, 420.0f);
    glTexCoord2f(b, 1.0f - c);
    glVertex2f(0.0f, 420.0f);
    glEnd();

    FinishFadedFrame(0.6f * std::sin(static_cast<float>(M_PI) * p), 135, 1.0f, 1.0f, 1.0f, 0.75f);
}
