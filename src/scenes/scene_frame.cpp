// Shared steps of the opening and closing scenes.
#include "scenes/scene_frame.h"

#include "base/gl.h"
#include "render/lum_camera.h"
#include "render/lum_globals.h"
#include "render/lum_frame.h"

void ClearForOverlayScene()
{
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ApplyCamera(CurrentCamera);
}

void DrawWhiteFade(float alpha)
{
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_DEPTH_TEST);
    DrawFade(1.0f, 1.0f, 1.0f, alpha);
}
