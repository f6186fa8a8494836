// Offline frame timing, scene by scene.
#include "capture/frame_bench.h"

#include "base/gl.h"
#include "capture/shot.h"
#include "timeline/globalscenes.h"
#include "timeline/scene_factory.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct SceneTiming {
    std::string_view name;
    bool scheduled = false; // in the scene table; otherwise drawn alone, as a sub-scene
    std::vector<double> frameMs;
};

bool InTable(const lum_genericscene* scene)
{
    return std::find(std::begin(SceneTable), std::end(SceneTable), scene) != std::end(SceneTable);
}

// Frames spread evenly over the span, in time order, each timed to the end of its drawing.
void TimeScene(lum_genericscene& scene, bool scheduled, int frames, std::vector<double>& frameMs)
{
    const int64_t span = static_cast<int64_t>(scene.EndTime) - scene.StartTime;
    for (int frame = 0; frame < frames; ++frame) {
        const auto ms = static_cast<int32_t>(span * frame / frames);
        const auto begin = std::chrono::steady_clock::now();
        if (scheduled) RenderOfflineFrame(scene.StartTime + ms);
        else RenderSceneOffline(scene, ms);
        frameMs.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count());
    }
}

// The scenes asked for (all when none is named): scheduled ones in time order, then the
// sub-scenes, each class once.
std::vector<SceneTiming> ScenesToTime(const std::vector<std::string>& only)
{
    auto wanted = [&only](std::string_view name) {
        return only.empty() || std::find(only.begin(), only.end(), name) != only.end();
    };
    std::vector<SceneTiming> scenes;
    std::vector<const lum_genericscene*> scheduled;
    for (const lum_genericscene* scene : SceneTable)
        if (scene) scheduled.push_back(scene);
    std::sort(scheduled.begin(), scheduled.end(),
              [](const lum_genericscene* a, const lum_genericscene* b) { return a->StartTime < b->StartTime; });
    for (const lum_genericscene* scene : scheduled)
        if (wanted(SceneClassName(*scene))) scenes.push_back({SceneClassName(*scene), true, {}});
    for (std::string_view name : SceneClassNames) {
        const lum_genericscene* scene = FindSceneObject(name);
        if (scene && !InTable(scene) && wanted(name)) scenes.push_back({name, false, {}});
    }
    return scenes;
}

struct Summary {
    double mean = 0, p95 = 0, worst = 0;
};

Summary Summarise(std::vector<double> frameMs)
{
    Summary summary;
    if (frameMs.empty()) return summary;
    std::sort(frameMs.begin(), frameMs.end());
    for (double ms : frameMs) summary.mean += ms;
    summary.mean /= static_cast<double>(frameMs.size());
    const size_t rank = static_cast<size_t>(std::ceil(0.95 * static_cast<double>(frameMs.size())));
    summary.p95 = frameMs[std::max<size_t>(rank, 1) - 1];
    summary.worst = frameMs.back();
    return summary;
}

std::string Renderer()
{
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return renderer ? renderer : "unknown";
}

void PrintTable(const std::vector<SceneTiming>& scenes, const Summary& piece, int frames)
{
    std::printf("renderer %s, frame 640x480, %d frames a scene\n", Renderer().c_str(), frames);
    std::printf("%-12s %-10s %9s %9s %9s\n", "scene", "drawn as", "mean ms", "p95 ms", "worst ms");
    for (const SceneTiming& scene : scenes) {
        const Summary s = Summarise(scene.frameMs);
        std::printf("%-12.*s %-10s %9.2f %9.2f %9.2f%s\n", static_cast<int>(scene.name.size()), scene.name.data(),
                    scene.scheduled ? "timeline" : "sub-scene", s.mean, s.p95, s.worst,
                    s.p95 > FrameBudgetMs ? "  over budget" : "");
    }
    std::printf("%-23s %9.2f %9.2f %9.2f  (timeline scenes)\n", "whole piece", piece.mean, piece.p95, piece.worst);
}

void PrintJson(const std::vector<SceneTiming>& scenes, const Summary& piece, int frames)
{
    std::string renderer;
    for (char c : Renderer()) {
        if (c == '"' || c == '\\') renderer.push_back('\\');
        renderer.push_back(c);
    }
    std::printf("{\"renderer\": \"%s\", \"width\": 640, \"height\": 480, \"frames_per_scene\": %d, "
                "\"budget_ms\": %.1f,\n \"scenes\": [",
                renderer.c_str(), frames, FrameBudgetMs);
    for (size_t i = 0; i < scenes.size(); ++i) {
        const Summary s = Summarise(scenes[i].frameMs);
        std::printf("%s\n  {\"scene\": \"%.*s\", \"timeline\": %s, \"mean_ms\": %.3f, \"p95_ms\": %.3f, "
                    "\"worst_ms\": %.3f}",
                    i ? "," : "", static_cast<int>(scenes[i].name.size()), scenes[i].name.data(),
                    scenes[i].scheduled ? "true" : "false", s.mean, s.p95, s.worst);
    }
    std::printf("],\n \"piece\": {\"mean_ms\": %.3f, \"p95_ms\": %.3f, \"worst_ms\": %.3f}}\n", piece.mean,
                piece.p95, piece.worst);
}

} // namespace

int RunFrameBenchmark(const BenchOptions& options)
{
    std::vector<SceneTiming> scenes = ScenesToTime(options.scenes);
    if (scenes.empty()) {
        std::fprintf(stderr, "lantern bench: none of the scenes named was made\n");
        return 1;
    }
    std::vector<double> pieceMs;
    for (SceneTiming& timing : scenes) {
        lum_genericscene* scene = FindSceneObject(timing.name);
        TimeScene(*scene, timing.scheduled, options.frames, timing.frameMs);
        if (timing.scheduled) pieceMs.insert(pieceMs.end(), timing.frameMs.begin(), timing.frameMs.end());
    }
    const Summary piece = Summarise(pieceMs);
    if (options.json) PrintJson(scenes, piece, options.frames);
    else PrintTable(scenes, piece, options.frames);
    return 0;
}
