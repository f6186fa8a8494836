// Offline frame timing, scene by scene.
#include "capture/frame_bench.h"

#include "capture/shot.h"
#include "timeline/globalscenes.h"
#include "timeline/scene_factory.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

int RunFrameBenchmark(int framesPerScene)
{
    double totalMs = 0.0;
    int totalFrames = 0;
    std::printf("%-6s %-22s %10s %10s\n", "slot", "scene", "mean ms", "worst ms");
    for (int slot = 0; slot < kSceneSlotCount; ++slot) {
        const lum_genericscene* scene = SceneTable[slot];
        if (!scene) continue;
        double sceneMs = 0.0, worstMs = 0.0;
        for (int frame = 0; frame < framesPerScene; ++frame) {
            const int64_t span = static_cast<int64_t>(scene->EndTime) - scene->StartTime;
            const auto time = static_cast<int32_t>(scene->StartTime + span * frame / framesPerScene);
            const auto begin = std::chrono::steady_clock::now();
            RenderOfflineFrame(time);
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
            sceneMs += ms;
            worstMs = std::max(worstMs, ms);
        }
        const std::string_view name = SceneClassName(*scene);
        std::printf("%-6d %-22.*s %10.2f %10.2f\n", slot, static_cast<int>(name.size()), name.data(),
                    sceneMs / framesPerScene, worstMs);
        totalMs += sceneMs;
        totalFrames += framesPerScene;
    }
    std::printf("%-29s %10.2f ms a frame, %.1f frames a second\n", "whole piece", totalMs / totalFrames,
                1000.0 * totalFrames / totalMs);
    return 0;
}
