// The waterover scene, in drawing order.
#include "scenes/scene_waterover.h"

#include "base/random.h"
#include "gl/gl.h"
#include "render/lum_camera.h"
#include "resources/globaldata.h"
#include "scenes/pond.h"
#include "scenes/scene_frame.h"
#include "scenes/textured_list.h"

namespace {

CameraPath g_path;
ListTextures g_bottom;

} // namespace

void tscene_waterover::Load()
{
    LoadCameraPath(g_path, "data\\waterover.camera");
    // Four draws for each of 5 x 151 entries that are never used: they fix every later load.
    for (int entry = 0; entry < 5 * 151; ++entry)
        for (int draw = 0; draw < 4; ++draw) Random01();
    g_bottom = ResolveListTextures(DnoList, "dno.");
    PreparePond();
}

void tscene_waterover::Render(int32_t time)
{
    const float p = Progress(time);
    const float w = p / 2; // wave time
    BeginSceneFrame(0, 0, 0, 0, g_path, 0.8f * w);

    // Pond bottom, built six times larger than it is drawn.
    glPushMatrix();
    glTranslatef(16, -3, -16);
    glScalef(0.16666667f, 0.16666667f, 0.16666667f);
    DrawGeoxListTextured(DnoList, g_bottom);
    glPopMatrix();

    LiftWaterSurface(w, 0.23f);
    DrawWaterSurface(0.8f, GL_ONE_MINUS_SRC_ALPHA);
    RenormaliseWaterSurface();
    DrawSkyReflection(0.35f);
    DrawLeafShadows(w, 0.23f);
    DrawFloatingLeaves(w, 0.23f);
}
