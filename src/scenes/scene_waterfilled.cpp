// The waterfilled scene, in drawing order.
#include "scenes/scene_waterfilled.h"

#include "base/random.h"
#include "gl/gl.h"
#include "render/lum_camera.h"
#include "render/lum_frame.h"
#include "render/lum_globals.h"
#include "resources/globaldata.h"
#include "scenes/light_sphere.h"
#include "scenes/scene_frame.h"
#include "scenes/yard_setting.h"

namespace {

CameraPath g_path;
GLuint g_lightSphere = 0;

} // namespace

void tscene_waterfilled::Load()
{
    LoadCameraPath(g_path, "data\\waterfilled.camera");
    g_lightSphere = BuildLightSphere(5);
    // Nine draws for each of 5 x 1501 entries that are never used: they fix every later load.
    for (int entry = 0; entry < 5 * 1501; ++entry)
        for (int draw = 0; draw < 9; ++draw) Random01();
    PrepareYardSetting();
}

void tscene_waterfilled::Render(int32_t time)
{
    const float p = Progress(time);
    BeginSceneFrame(0, 0, 0, 0, g_path, 0.9f * p);
    DrawYardSetting();

    // The yard half sharp, half blurred; the light sphere over everything, its depths gone.
    BlurBackdrop(0.5f);
    DrawLightSphere(g_lightSphere, 1100, 260);

    DrawFade(0.8f);
}
