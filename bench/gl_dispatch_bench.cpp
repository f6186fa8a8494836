// The fixed renderer's table against calling the driver straight: every call of gl/gl.h goes
// through GlDispatch to a forwarding function and then the driver's entry point, one indirect
// call more than before. Timed on glColor4f, whose work in the driver is least, so that the
// difference shows; `lantern bench` counts the calls a frame makes.
#include "gl_dispatch_bench.h"

#include "gl/gl.h"
#include "gl/renderer.h"
#include "platform/window.h"

#include <benchmark/benchmark.h>

void SetColoursThroughTheTable(int count)
{
    for (int i = 0; i < count; ++i) glColor4f(1.0f, 0.5f, 0.25f, static_cast<float>(i & 1));
}

namespace {

constexpr int CallsAnIteration = 1000;

// A compatibility context made current with the fixed renderer, once.
bool FixedContext()
{
    static const bool made = InitVideo(true) && CreatePlatformWindow("lantern-bench", 640, 480, false) &&
                             CreateGlContext() && MakeGlContextCurrent();
    return made;
}

void BM_DriverCallsStraight(benchmark::State& state)
{
    if (!FixedContext()) return state.SkipWithError("no GL context");
    for (auto _ : state) SetColoursDirect(CallsAnIteration);
    state.SetItemsProcessed(state.iterations() * CallsAnIteration);
}
BENCHMARK(BM_DriverCallsStraight);

void BM_DriverCallsThroughTheFixedRenderersTable(benchmark::State& state)
{
    if (!FixedContext()) return state.SkipWithError("no GL context");
    for (auto _ : state) SetColoursThroughTheTable(CallsAnIteration);
    state.SetItemsProcessed(state.iterations() * CallsAnIteration);
}
BENCHMARK(BM_DriverCallsThroughTheFixedRenderersTable);

} // namespace
