// lum_globals: CurrentCamera and DefaultCameraPath.
#include "render/lum_globals.h"

#include <cfenv>

namespace {

// Program start: floating-point exceptions masked (the x86-64 default, stated here because
// the whole program relies on it), then the default camera.
CameraRecord StartUpCamera()
{
#if defined(__GLIBC__)
    fedisableexcept(FE_ALL_EXCEPT);
#endif
    return DefaultCamera();
}

} // namespace

CameraRecord CurrentCamera = StartUpCamera();
CameraPath DefaultCameraPath = {};

CameraRecord DefaultCamera()
{
    CameraRecord camera{};
    SetCameraPosition(camera, 0, 0, -10, 0, 0, 10, 0, 10, 0);
    camera.fov = 70;
    return camera;
}
