// Single frames rendered offline.
#include "capture/shot.h"

#include "base/error.h"
#include "base/gl.h"
#include "capture/png_writer.h"
#include "timeline/frame_clock.h"
#include "timeline/globalscenes.h"

#include <algorithm>
#include <cstdio>

void RenderOfflineFrame(int32_t musicMs)
{
    SetOfflineFrameTime(musicMs);
    RenderFrame();
    glFinish();
}

void RenderSceneOffline(lum_genericscene& scene, int32_t msIntoSpan)
{
    const int32_t time = scene.StartTime + msIntoSpan;
    SetOfflineFrameTime(time);
    RenderSceneAlone(scene, time);
    glFinish();
}

std::vector<uint8_t> ReadFrameTopDown()
{
    constexpr int kRowBytes = 640 * 3;
    std::vector<uint8_t> bottomUp(kRowBytes * 480);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<uint8_t> topDown(bottomUp.size());
    for (int row = 0; row < 480; ++row)
        std::copy_n(bottomUp.begin() + (479 - row) * kRowBytes, kRowBytes, topDown.begin() + row * kRowBytes);
    return topDown;
}

int WriteFramePng(const std::string& pngPath)
{
    try {
        WritePngRgb(pngPath, 640, 480, ReadFrameTopDown());
    } catch (const FatalError& error) {
        std::fprintf(stderr, "lantern: %s\n", error.what());
        return 1;
    }
    return 0;
}
