// Shared steps of the opening and closing scenes.
#include "scenes/scene_frame.h"

#include "platform/gl.h"
#include "render/lum_camera.h"
#include "render/lum_globals.h"
#include "render/lum_views.h"

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
    BeginOverlay();
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE_MINUS_SRC_ALPHA, GL_SRC_ALPHA);
    glColor4f(1.0f, 1.0f, 1.0f, alpha);
    glBegin(GL_QUADS);
    glVertex2f(0.0f, 0.0f);
    glVertex2f(640.0f, 0.0f);
    glVertex2f(640.0f, 480.0f);
    glVertex2f(0.0f, 480.0f);
    glEnd();
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    EndOverlay();
}
