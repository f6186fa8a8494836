// Offline frame timing, scene by scene.
#include "capture/frame_bench.h"

#include "base/picture_size.h"
#include "capture/shot.h"
#include "gl/renderer.h"
#include "platform/ticks.h"
#include "timeline/globalscenes.h"
#include "timeline/scene_factory.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// The renderers a run times: the one started, or both in turn on every frame.
struct TimedRenderers {
    Renderer renderers[2];
    int count;
};

TimedRenderers RenderersToTime()
{
    if (BothRenderersChosen()) return {{Renderer::Fixed, Renderer::Shaders}, 2};
    return {{CurrentRenderer(), CurrentRenderer()}, 1};
}

struct SceneTiming {
    std::string_view name;
    bool scheduled = false; // in the scene table; otherwise drawn alone, as a sub-scene
    std::vector<TimedFrame> frames[2]; // by renderer, in the order RenderersToTime gives
    bool referenceOnly = false; // timed for the ratios, not asked for: left out of the piece
};

bool InTable(const lum_genericscene* scene)
{
    return std::find(std::begin(SceneTable), std::end(SceneTable), scene) != std::end(SceneTable);
}

// Frames spread evenly over the span, in time order, each timed to the end of its drawing; with
// two renderers each frame is drawn by one and then the other, so that both meet the machine
// in the same moment.
void TimeScene(lum_genericscene& scene, bool scheduled, int frames, const TimedRenderers& renderers,
               std::vector<TimedFrame> (&timed)[2])
{
    const int64_t span = static_cast<int64_t>(scene.EndTime) - scene.StartTime;
    const double weight = static_cast<double>(span) / frames;
    for (int frame = 0; frame < frames; ++frame) {
        const auto ms = static_cast<int32_t>(span * frame / frames);
        for (int r = 0; r < renderers.count; ++r) {
            UseRenderer(renderers.renderers[r]);
            const auto begin = std::chrono::steady_clock::now();
            const double cpuBegin = ProcessCpuMilliseconds();
            if (scheduled) RenderOfflineFrame(scene.StartTime + ms);
            else RenderSceneOffline(scene, ms);
            timed[r].push_back(
                {std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count(), weight,
                 ProcessCpuMilliseconds() - cpuBegin});
        }
    }
}

// The scenes asked for (all when none is named) and the reference scene: scheduled ones in
// time order, then the sub-scenes, each class once.
std::vector<SceneTiming> ScenesToTime(const std::vector<std::string>& only)
{
    auto asked = [&only](std::string_view name) {
        return only.empty() || std::find(only.begin(), only.end(), name) != only.end();
    };
    auto wanted = [&asked](std::string_view name) { return asked(name) || name == BenchReferenceScene; };
    std::vector<SceneTiming> scenes;
    std::vector<const lum_genericscene*> scheduled;
    for (const lum_genericscene* scene : SceneTable)
        if (scene) scheduled.push_back(scene);
    std::sort(scheduled.begin(), scheduled.end(),
              [](const lum_genericscene* a, const lum_genericscene* b) { return a->StartTime < b->StartTime; });
    for (const lum_genericscene* scene : scheduled) {
        const std::string_view name = SceneClassName(*scene);
        if (wanted(name)) scenes.push_back({name, true, {}, !asked(name)});
    }
    for (std::string_view name : SceneClassNames) {
        const lum_genericscene* scene = FindSceneObject(name);
        if (scene && !InTable(scene) && wanted(name)) scenes.push_back({name, false, {}, !asked(name)});
    }
    return scenes;
}

// The reference scene's mean frame time in this run, with renderer r.
double ReferenceMean(const std::vector<SceneTiming>& scenes, int r)
{
    for (const SceneTiming& scene : scenes)
        if (scene.name == BenchReferenceScene) return SummariseFrames(scene.frames[r]).mean;
    return 0;
}

double RatioTo(double ms, double reference)
{
    return reference > 0 ? ms / reference : 0;
}

// The whole piece with renderer r: the timeline scenes' frames together.
FrameTimeSummary PieceSummary(const std::vector<SceneTiming>& scenes, int r)
{
    std::vector<TimedFrame> pieceFrames;
    for (const SceneTiming& timing : scenes)
        if (timing.scheduled && !timing.referenceOnly)
            pieceFrames.insert(pieceFrames.end(), timing.frames[r].begin(), timing.frames[r].end());
    return SummariseFrames(std::move(pieceFrames));
}

void PrintTable(const std::vector<SceneTiming>& scenes, Renderer renderer, int r, const BenchOptions& options)
{
    const double reference = ReferenceMean(scenes, r);
    const FrameTimeSummary piece = PieceSummary(scenes, r);
    const PixelSize picture = PictureSize();
    std::printf("renderer %s, frame %dx%d, %d frames a scene", RendererDescription(renderer).c_str(), picture.width,
                picture.height, options.frames);
    if (options.passes > 1) std::printf(", each the fastest of %d passes", options.passes);
    std::printf("\n");
    std::printf("%-12s %-10s %9s %9s %9s %9s %9s\n", "scene", "drawn as", "mean ms", "p95 ms", "worst ms",
                "p95/title", "cpu ms");
    for (const SceneTiming& scene : scenes) {
        const FrameTimeSummary s = SummariseFrames(scene.frames[r]);
        std::printf("%-12.*s %-10s %9.2f %9.2f %9.2f %9.2f %9.2f%s\n", static_cast<int>(scene.name.size()),
                    scene.name.data(), scene.scheduled ? "timeline" : "sub-scene", s.mean, s.p95, s.worst,
                    RatioTo(s.p95, reference), s.cpuMean,
                    scene.referenceOnly ? "  (reference)" : s.p95 > FrameBudgetMs ? "  over budget" : "");
    }
    std::printf("%-23s %9.2f %9.2f %9.2f %9.2f %9.2f  (timeline scenes, by playing time)\n", "whole piece",
                piece.mean, piece.p95, piece.worst, RatioTo(piece.p95, reference), piece.cpuMean);
}

// The second renderer's times over the first's, scene by scene: both drew every frame in turn.
void PrintComparison(const std::vector<SceneTiming>& scenes, const TimedRenderers& renderers)
{
    std::printf("%s against %s, every frame drawn by both in turn\n", RendererName(renderers.renderers[1]),
                RendererName(renderers.renderers[0]));
    std::printf("%-23s %10s %10s\n", "scene", "mean ratio", "p95 ratio");
    auto line = [](std::string_view name, const FrameTimeSummary& first, const FrameTimeSummary& second) {
        std::printf("%-23.*s %10.3f %10.3f\n", static_cast<int>(name.size()), name.data(),
                    RatioTo(second.mean, first.mean), RatioTo(second.p95, first.p95));
    };
    for (const SceneTiming& scene : scenes)
        line(scene.name, SummariseFrames(scene.frames[0]), SummariseFrames(scene.frames[1]));
    line("whole piece", PieceSummary(scenes, 0), PieceSummary(scenes, 1));
}

void PrintJson(const std::vector<SceneTiming>& scenes, Renderer renderer, int r, const BenchOptions& options)
{
    const double reference = ReferenceMean(scenes, r);
    const FrameTimeSummary piece = PieceSummary(scenes, r);
    std::string description;
    for (char c : RendererDescription(renderer)) {
        if (c == '"' || c == '\\') description.push_back('\\');
        description.push_back(c);
    }
    const PixelSize picture = PictureSize();
    std::printf("{\"renderer\": \"%s\", \"width\": %d, \"height\": %d, \"frames_per_scene\": %d, "
                "\"passes\": %d, \"budget_ms\": %.1f, \"reference\": \"%s\", \"reference_mean_ms\": %.3f,\n "
                "\"scenes\": [",
                description.c_str(), picture.width, picture.height, options.frames, options.passes, FrameBudgetMs,
                BenchReferenceScene, reference);
    for (size_t i = 0; i < scenes.size(); ++i) {
        const FrameTimeSummary s = SummariseFrames(scenes[i].frames[r]);
        std::printf("%s\n  {\"scene\": \"%.*s\", \"timeline\": %s, \"mean_ms\": %.3f, \"p95_ms\": %.3f, "
                    "\"worst_ms\": %.3f, \"p95_ratio\": %.3f, \"cpu_ms\": %.3f}",
                    i ? "," : "", static_cast<int>(scenes[i].name.size()), scenes[i].name.data(),
                    scenes[i].scheduled ? "true" : "false", s.mean, s.p95, s.worst, RatioTo(s.p95, reference),
                    s.cpuMean);
    }
    std::printf("],\n \"piece\": {\"mean_ms\": %.3f, \"p95_ms\": %.3f, \"worst_ms\": %.3f, \"p95_ratio\": %.3f, "
                "\"cpu_ms\": %.3f}}",
                piece.mean, piece.p95, piece.worst, RatioTo(piece.p95, reference), piece.cpuMean);
}

// Both renderers: each one's object under its name, and the second's ratios to the first.
void PrintJsonComparison(const std::vector<SceneTiming>& scenes, const TimedRenderers& renderers,
                         const BenchOptions& options)
{
    std::printf("{\"renderers\": {");
    for (int r = 0; r < renderers.count; ++r) {
        std::printf("%s\"%s\": ", r ? ",\n" : "", RendererName(renderers.renderers[r]));
        PrintJson(scenes, renderers.renderers[r], r, options);
    }
    std::printf("},\n \"%s_to_%s\": [", RendererName(renderers.renderers[1]), RendererName(renderers.renderers[0]));
    auto ratios = [](const char* separator, std::string_view name, const FrameTimeSummary& first,
                     const FrameTimeSummary& second) {
        std::printf("%s\n  {\"scene\": \"%.*s\", \"mean_ratio\": %.3f, \"p95_ratio\": %.3f}", separator,
                    static_cast<int>(name.size()), name.data(), RatioTo(second.mean, first.mean),
                    RatioTo(second.p95, first.p95));
    };
    for (size_t i = 0; i < scenes.size(); ++i)
        ratios(i ? "," : "", scenes[i].name, SummariseFrames(scenes[i].frames[0]),
               SummariseFrames(scenes[i].frames[1]));
    ratios(",", "whole piece", PieceSummary(scenes, 0), PieceSummary(scenes, 1));
    std::printf("]}\n");
}

} // namespace

FrameTimeSummary SummariseFrames(std::vector<TimedFrame> frames)
{
    FrameTimeSummary summary;
    double total = 0;
    for (const TimedFrame& frame : frames) {
        summary.mean += frame.ms * frame.weight;
        summary.cpuMean += frame.cpuMs * frame.weight;
        total += frame.weight;
        summary.worst = std::max(summary.worst, frame.ms);
    }
    if (frames.empty() || total <= 0) return summary;
    summary.mean /= total;
    summary.cpuMean /= total;
    // The shortest frame time under which 95 % of the weight lies.
    std::sort(frames.begin(), frames.end(), [](const TimedFrame& a, const TimedFrame& b) { return a.ms < b.ms; });
    double below = 0;
    for (const TimedFrame& frame : frames) {
        below += frame.weight;
        summary.p95 = frame.ms;
        if (below >= 0.95 * total * (1 - 1e-12)) break;
    }
    return summary;
}

int RunFrameBenchmark(const BenchOptions& options)
{
    std::vector<SceneTiming> scenes = ScenesToTime(options.scenes);
    if (scenes.empty()) {
        std::fprintf(stderr, "lantern bench: none of the scenes named was made\n");
        return 1;
    }
    const TimedRenderers renderers = RenderersToTime();
    // Every pass draws every scene once more, so a frame's passes lie seconds or minutes apart:
    // a stretch of time in which the machine runs slow for reasons of its own (other guests of a
    // virtual machine, a frequency step) rarely covers the same frame in all of them.
    std::vector<TimedFrame> again[2];
    for (int pass = 0; pass < options.passes; ++pass) {
        for (SceneTiming& timing : scenes) {
            lum_genericscene* scene = FindSceneObject(timing.name);
            if (pass == 0) {
                TimeScene(*scene, timing.scheduled, options.frames, renderers, timing.frames);
                continue;
            }
            for (std::vector<TimedFrame>& frames : again) frames.clear();
            TimeScene(*scene, timing.scheduled, options.frames, renderers, again);
            // A frame counts its fastest pass, with that pass's processor time.
            for (int r = 0; r < renderers.count; ++r)
                for (size_t i = 0; i < again[r].size(); ++i)
                    if (again[r][i].ms < timing.frames[r][i].ms) timing.frames[r][i] = again[r][i];
        }
    }
    if (renderers.count == 1) {
        if (options.json) {
            PrintJson(scenes, renderers.renderers[0], 0, options);
            std::printf("\n");
        } else {
            PrintTable(scenes, renderers.renderers[0], 0, options);
        }
        return 0;
    }
    if (options.json) {
        PrintJsonComparison(scenes, renderers, options);
        return 0;
    }
    for (int r = 0; r < renderers.count; ++r) {
        PrintTable(scenes, renderers.renderers[r], r, options);
        std::printf("\n");
    }
    PrintComparison(scenes, renderers);
    return 0;
}
