// lum_globals: CurrentCamera and DefaultCameraPath.
#include "render/lum_globals.h"

CameraRecord CurrentCamera = DefaultCamera();
CameraPath DefaultCameraPath = {};

CameraRecord DefaultCamera()
{
    CameraRecord camera{};
    SetCameraPosition(camera, 0, 0, -10, 0, 0, 10, 0, 10, 0);
    camera.fov = 70;
    return camera;
}
