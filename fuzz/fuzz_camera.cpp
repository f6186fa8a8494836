// Fuzzes the camera-file reader for both of its uses. A file it accepts must evaluate to a
// finite camera (or eye position) everywhere on [0, 1): the checks exist to guarantee that.
#include "base/error.h"
#include "render/lum_camera.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

// One path per use, as in the program: a scene's camera and the throat curve never share one.
CameraPath g_camera{};
CameraPath g_eyePath{};

void ExpectFiniteAlong(const CameraPath& path, CameraFileUse use)
{
    for (const float x : {0.0f, 0.1f, 0.33f, 0.5f, 0.77f, 0.999f}) {
        CameraRecord out{};
        EvaluateCameraPath(out, path, x);
        const int first = use == CameraFileUse::EyePath ? 1 : 0;
        const int last = use == CameraFileUse::EyePath ? 3 : 9;
        for (int f = first; f <= last; ++f)
            if (!std::isfinite(out.*CameraFields[f])) __builtin_trap();
    }
}

void Try(CameraPath& path, const uint8_t* data, size_t size, CameraFileUse use)
{
    try {
        ParseCameraPath(path, data, size, "fuzz.camera", use);
    } catch (const FatalError&) {
        return;
    }
    ExpectFiniteAlong(path, use);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Try(g_camera, data, size, CameraFileUse::Camera);
    Try(g_eyePath, data, size, CameraFileUse::EyePath);
    return 0;
}
