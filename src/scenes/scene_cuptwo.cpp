// The cuptwo scene: the cup scene along its own path.
#include "scenes/scene_cuptwo.h"

#include "render/lum_camera.h"
#include "scenes/scene_cup.h"

namespace {

CameraPath g_path;

} // namespace

void tscene_cuptwo::Load()
{
    LoadCameraPath(g_path, "data\\cuptwo.camera");
    PrepareCupSet();
}

void tscene_cuptwo::Render(int32_t time)
{
    DrawCupSet(g_path, 0.8f * Progress(time));
}
