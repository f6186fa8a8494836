// Single frames rendered offline.
#include "capture/shot.h"

#include "app/globals.h"
#include "app/glwindow.h"
#include "app/startup.h"
#include "capture/png_writer.h"
#include "platform/error.h"
#include "platform/gl.h"
#include "sound/frame_clock.h"
#include "timeline/globalscenes.h"

#include <algorithm>
#include <cstdio>

void StartOffline()
{
    Options.headless = true;
    Options.playSound = false;
    if (!OpenGlWindow("nrvk_dms", 640, 480, 32, false)) throw FatalError("cannot open the off-screen frame");
}

void RenderOfflineFrame(int32_t musicMs)
{
    SetOfflineFrameTime(musicMs);
    RenderFrame();
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

int WriteShot(ShotOf what, int32_t musicMs, const std::string& pngPath)
{
    StartOffline();
    if (what == ShotOf::LoaderScreen) DrawLoaderScreen();
    else RenderOfflineFrame(musicMs);
    try {
        WritePngRgb(pngPath, 640, 480, ReadFrameTopDown());
    } catch (const FatalError& error) {
        std::fprintf(stderr, "lantern: %s\n", error.what());
        return 1;
    }
    return 0;
}
