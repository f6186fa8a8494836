// Grass: a low flight through the coloured landscape, nothing on top; meatmore lays its own
// overlays over it.
#include "scenes/scene_grass.h"

#include "gl/gl.h"
#include "render/lum_globals.h"
#include "scenes/landscape_field.h"
#include "scenes/scene_frame.h"

CameraPath GrassPath;

namespace {

LandscapeField g_field;
LandscapeTextures g_colour;

} // namespace

void tscene_grass::Load()
{
    BuildLandscapeField(g_field, ModelviewReset::BeforeEachList);
    LoadCameraPath(GrassPath, "data\\grass.camera");
    g_colour = ColourLandscape();
}

void tscene_grass::Render(int32_t time)
{
    const float p = Progress(time);
    BeginSceneFrame(0.0f, 0.0f, 0.0f, 0.0f, GrassPath, 0.88f * p);
    glDepthMask(GL_TRUE);
    SetLandscapeFog(500.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    DrawLandscape(g_field, g_colour, 50.0f);
}
