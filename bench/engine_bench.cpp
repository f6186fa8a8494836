// Micro-benchmarks of the per-frame processor work and of the packed-file decoder:
// `make bench` (or build/lantern-bench) runs them; `lantern bench` times whole frames.
#include "base/files.h"
#include "render/lum_camera.h"
#include "render/lum_frame.h"
#include "resources/norvikpack.h"
#include "scenes/scene_killthroat.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// The glow's four integer passes over the 128 x 128 corner, once a frame.
void BM_BlurCornerPixels(benchmark::State& state)
{
    static unsigned char pixels[BlurImageBytes];
    for (int i = 0; i < BlurImageBytes; ++i) pixels[i] = static_cast<unsigned char>(i * 37);
    for (auto _ : state) {
        BlurCornerPixels(pixels, 135);
        benchmark::DoNotOptimize(pixels);
    }
    state.SetBytesProcessed(state.iterations() * BlurImageBytes);
}
BENCHMARK(BM_BlurCornerPixels);

// A scene's camera, once a frame.
void BM_EvaluateCameraPath(benchmark::State& state)
{
    static CameraPath path{};
    path.count = 49;
    for (int k = 0; k < 49; ++k) {
        float* fields = &path.keys[k].fov;
        for (int f = 0; f < 10; ++f) fields[f] = std::sin(0.1f * static_cast<float>(k * 10 + f));
    }
    CameraRecord camera{};
    float x = 0.0f;
    for (auto _ : state) {
        EvaluateCameraPath(camera, path, x);
        benchmark::DoNotOptimize(camera);
        x = x > 0.99f ? 0.0f : x + 0.001f;
    }
}
BENCHMARK(BM_EvaluateCameraPath);

// killthroat's 6501 leaf positions on its 96-key throat curve, once a frame: the eye alone
// with the segments worked out once, against a whole evaluation per leaf.
CameraPath& ThroatLikePath()
{
    static CameraPath path{};
    path.count = 97;
    for (int k = 1; k < 97; ++k) path.keys[k] = {60, 5.0f * k, 100 + std::sin(0.2f * k) * 50, -3.0f * k, 0, 0, 0, 0, 1, 0};
    return path;
}

void BM_ThroatLeafPositions(benchmark::State& state)
{
    const CameraPath& path = ThroatLikePath();
    static ThroatLeaf leaves[ThroatLeafCount];
    for (int i = 0; i < ThroatLeafCount; ++i) leaves[i] = {std::fmod(i * 0.618034f, 1.0f), {10, -20, 30}};
    static float positions[ThroatLeafCount][3];
    float p = 0;
    for (auto _ : state) {
        const PathSegments throat(path);
        for (int i = 0; i < ThroatLeafCount; ++i) ThroatLeafPosition(throat, leaves[i], p, positions[i]);
        benchmark::DoNotOptimize(positions);
        p = p > 0.99f ? 0.0f : p + 0.01f;
    }
}
BENCHMARK(BM_ThroatLeafPositions);

void BM_ThroatLeafPositionsWholeRecords(benchmark::State& state)
{
    const CameraPath& path = ThroatLikePath();
    CameraRecord camera{};
    float p = 0;
    for (auto _ : state) {
        for (int i = 0; i < ThroatLeafCount; ++i) {
            const float v = p / 5 + std::fmod(i * 0.618034f, 1.0f);
            const float f = v - std::floor(v);
            EvaluateCameraPath(camera, path, f * f);
            benchmark::DoNotOptimize(camera);
        }
        p = p > 0.99f ? 0.0f : p + 0.01f;
    }
}
BENCHMARK(BM_ThroatLeafPositionsWholeRecords);

// Unpacking the font atlas, the largest packed picture of the data set (build/Data).
void BM_UnpackFontAtlas(benchmark::State& state)
{
    SetDataRoot(LANTERN_BUILD_DIR);
    if (!FileExists("data\\font.jpg.packed")) {
        state.SkipWithError("no data set in " LANTERN_BUILD_DIR " (make data)");
        return;
    }
    const std::vector<unsigned char> packed = ReadFileBytes("data\\font.jpg.packed");
    int64_t produced = 0;
    for (auto _ : state) produced += UnpackMemory(packed.data(), packed.size(), "font.jpg.packed");
    state.SetBytesProcessed(produced);
}
BENCHMARK(BM_UnpackFontAtlas)->Unit(benchmark::kMillisecond);

} // namespace
