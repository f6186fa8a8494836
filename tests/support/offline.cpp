// Offline piece fixture.
#include "support/offline.h"

#include "app/offline.h"
#include "capture/shot.h"
#include "base/error.h"
#include "base/files.h"
#include "timeline/globalscenes.h"

#include <gtest/gtest.h>

void EnsureOfflinePiece()
{
    static bool started = false;
    if (started) return;
    SetDataRoot(LANTERN_BUILD_DIR);
    InitialiseSceneTable();
    try {
        StartOffline();
    } catch (const FatalError& error) {
        FAIL() << "the piece does not start on the generated data set (make data): " << error.what();
    }
    started = true;
}

std::vector<uint8_t> RenderFrameAt(int32_t musicMs)
{
    RenderOfflineFrameAsPlayed(musicMs);
    return ReadFrameTopDown();
}

double MeanBrightness(const std::vector<uint8_t>& frame, int x0, int y0, int x1, int y1)
{
    double sum = 0.0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            for (int c = 0; c < 3; ++c) sum += frame[(static_cast<size_t>(y) * 640 + x) * 3 + c];
    return sum / (3.0 * (x1 - x0) * (y1 - y0));
}
