// The waterunder scene, in drawing order.
#include "scenes/scene_waterunder.h"

#include "base/random.h"
#include "gl/gl.h"
#include "render/lum_camera.h"
#include "resources/globaldata.h"
#include "resources/lum_geox.h"
#include "scenes/pond.h"
#include "scenes/scene_frame.h"

namespace {

CameraPath g_path;
GLuint g_flatSky = 0;

} // namespace

void tscene_waterunder::Load()
{
    LoadCameraPath(g_path, "data\\waterunder.camera");
    // Four draws for each of 5 x 151 entries that are never used, as in waterover.
    for (int entry = 0; entry < 5 * 151; ++entry)
        for (int draw = 0; draw < 4; ++draw) Random01();
    g_flatSky = FindTexture(GlobalTextures, "flatsky");
    PreparePond();
}

void tscene_waterunder::Render(int32_t time)
{
    const float p = Progress(time);
    const float w = p / 2.5f; // wave time
    BeginSceneFrame(0, 0, 0, 0, g_path, w);

    // Sky, a flat plane 30 above the water.
    BindTextureId(g_flatSky);
    glPushMatrix();
    glTranslatef(0, 30, 0);
    glScalef(45, 0, 45);
    DrawGeoxTextured(PlaneMesh);
    glPopMatrix();

    // The leaves from below: dark silhouettes.
    glColor4f(0.11f, 0.11f, 0.11f, 1);
    DrawFloatingLeaves(w, 0.42f);
    glColor4f(1, 1, 1, 1);

    glDepthMask(GL_FALSE);
    DrawLeafShadows(w, 0.42f);
    glDepthMask(GL_TRUE);

    LiftWaterSurface(w, 0.42f);
    DrawWaterSurface(0.75f, GL_ONE);
    RenormaliseWaterSurface();
    DrawSkyReflection(0.15f);
}
