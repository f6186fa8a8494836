// lum_globals: CurrentCamera, DefaultCameraPath and the linear congruential generator.
#include "render/lum_globals.h"

#include <cfenv>

namespace {

uint32_t g_randomSeed = 0;

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

void SetRandomSeed(uint32_t seed)
{
    g_randomSeed = seed;
}

uint32_t RandomBelow(uint32_t range)
{
    g_randomSeed = g_randomSeed * 134775813u + 1u;
    return static_cast<uint32_t>((static_cast<uint64_t>(g_randomSeed) * range) >> 32);
}

double Random01()
{
    return RandomBelow(1000000) / 1000000.0;
}
