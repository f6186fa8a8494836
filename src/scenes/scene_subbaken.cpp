// The subbaken scene, in drawing order.
#include "scenes/scene_subbaken.h"

#include "gl/gl.h"
#include "render/lum_camera.h"
#include "resources/globaldata.h"
#include "resources/lum_geox.h"
#include "scenes/landscape_field.h"
#include "scenes/scene_frame.h"
#include "scenes/textured_list.h"

namespace {

CameraPath g_path;
GLuint g_sky = 0;
ListTextures g_bakenTextures;

} // namespace

void tscene_subbaken::Load()
{
    LoadCameraPath(g_path, "data\\subbaken.camera");
    g_sky = FindTexture(GlobalTextures, "sky");
    g_bakenTextures = ResolveListTextures(BakenList, "baken.");
}

void tscene_subbaken::Render(int32_t time)
{
    const float p = Progress(time);
    BeginSceneFrame(0, 0, 1, 0, g_path, 0.9f * p);

    // Sky dome.
    DrawSkySphere(g_sky, 50.0f);

    // The beacon, its foot on the landscape's ground.
    glPushMatrix();
    glTranslatef(0, -24, 0);
    DrawGeoxListTextured(BakenList, g_bakenTextures);
    glPopMatrix();
}
