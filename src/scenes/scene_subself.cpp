// The subself scene, in drawing order.
#include "scenes/scene_subself.h"

#include "gl/gl.h"
#include "render/lum_camera.h"
#include "resources/globaldata.h"
#include "scenes/scene_frame.h"
#include "scenes/textured_list.h"
#include "scenes/yard_setting.h"

namespace {

CameraPath g_path;
ListTextures g_figureTextures;

} // namespace

void tscene_subself::Load()
{
    LoadCameraPath(g_path, "data\\subself.camera");
    PrepareYardSetting();
    g_figureTextures = ResolveListTextures(KillSelfList, "killself.");
}

void tscene_subself::Render(int32_t time)
{
    const float p = Progress(time);
    BeginSceneFrame(0, 0, 0, 0, g_path, 0.9f * p);
    DrawYardSetting();
    glEnable(GL_TEXTURE_2D);
    glColor4f(1, 1, 1, 1);

    // The figure, not turned: it faces the other way than in killself.
    glPushMatrix();
    glTranslatef(0, 8, 0);
    glScalef(4, 4, 4);
    DrawGeoxListTextured(KillSelfList, g_figureTextures);
    glPopMatrix();
}
