// Shared openings of the scenes.
#include "scenes/scene_frame.h"

#include "gl/gl.h"
#include "render/lum_frame.h"
#include "render/lum_globals.h"

void ClearForOverlayScene()
{
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ApplyCamera(CurrentCamera);
}

void BeginSceneFrame(float r, float g, float b, float a, const CameraPath& path, float fraction)
{
    glClearColor(r, g, b, a);
    ClearWholeWindow(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    EvaluateCameraPath(CurrentCamera, path, fraction);
    ApplyCamera(CurrentCamera);
    glEnable(GL_DEPTH_TEST);
}

void BlurBackdrop(float sharpShare)
{
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_DEPTH_TEST);
    BlurFrame(140, 1.0f, 1.0f, 1.0f, sharpShare);
    glEnable(GL_DEPTH_TEST);
    glClear(GL_DEPTH_BUFFER_BIT);
    ApplyCamera(CurrentCamera);
}

void DrawWhiteFade(float alpha)
{
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_DEPTH_TEST);
    DrawFade(1.0f, 1.0f, 1.0f, alpha);
}
