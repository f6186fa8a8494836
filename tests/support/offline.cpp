// Offline piece fixture.
#include "support/offline.h"

#include "app/offline.h"
#include "base/error.h"
#include "base/files.h"
#include "base/random.h"
#include "capture/png_writer.h"
#include "capture/shot.h"
#include "gl/renderer.h"
#include "timeline/globalscenes.h"
#include "timeline/scene_factory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

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

std::vector<uint8_t> RenderSceneAt(std::string_view scene, int32_t ms)
{
    lum_genericscene* object = FindSceneObjectSpanning(scene, ms);
    EXPECT_NE(object, nullptr) << "no " << scene << " scene was made";
    if (!object) return std::vector<uint8_t>(640 * 480 * 3);
    RenderSceneOffline(*object, ms);
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

void ExpectGoldenFrame(const std::vector<uint8_t>& frame, const std::string& name)
{
    const std::string path = std::string(LANTERN_SOURCE_DIR) + "/tests/golden/" + name + ".png";
    // The stored frames are the fixed renderer's; the renderer on shaders is held to them.
    const bool fixed = CurrentRenderer() == Renderer::Fixed;
    if (std::getenv("LANTERN_UPDATE_GOLDEN") && fixed) {
        WritePngRgb(path, 640, 480, frame);
        std::printf("rewrote %s\n", path.c_str());
        return;
    }
    ASSERT_TRUE(std::filesystem::exists(path)) << path << " is missing: run with LANTERN_UPDATE_GOLDEN=1";
    int width = 0, height = 0;
    const std::vector<uint8_t> golden = ReadPngRgb(path, width, height);
    ASSERT_EQ(width, 640);
    ASSERT_EQ(height, 480);
    ASSERT_EQ(frame.size(), golden.size());
    size_t channelsOver12 = 0, pixelsOver16 = 0;
    double total = 0;
    for (size_t i = 0; i < frame.size(); i += 3) {
        int most = 0;
        for (size_t c = i; c < i + 3; ++c) {
            const int difference = std::abs(int(frame[c]) - int(golden[c]));
            total += difference;
            channelsOver12 += difference > 12;
            most = std::max(most, difference);
        }
        pixelsOver16 += most > 16;
    }
    const double mean = total / static_cast<double>(frame.size());
    if (fixed) {
        EXPECT_LT(mean, 1.5) << "mean difference per channel from " << name;
        EXPECT_LT(channelsOver12, frame.size() / 200) << "channels off by more than 12 from " << name;
        return;
    }
    // The renderers agree to within a level on average, and at most 0.5 % of the pixels (an
    // edge rasterised a little apart) differ by more than 16 levels.
    const double shareOver16 = static_cast<double>(pixelsOver16) / static_cast<double>(frame.size() / 3);
    std::printf("%s against the fixed renderer: mean %.3f levels, %.4f %% of pixels more than 16 off\n",
                name.c_str(), mean, 100 * shareOver16);
    EXPECT_LE(mean, 1.0) << "mean difference per channel from " << name;
    EXPECT_LE(shareOver16, 0.005) << "share of pixels more than 16 off " << name;
}

int RandomDrawsDuring(const std::function<void()>& action)
{
    // The generator is a pure function of its state: step a copy of the state until it
    // matches where the action left it.
    const uint32_t before = RandomSeed();
    action();
    const uint32_t after = RandomSeed();
    uint32_t state = before;
    for (int draws = 0; draws < 50'000'000; ++draws) {
        if (state == after) return draws;
        state = state * 134775813u + 1u;
    }
    ADD_FAILURE() << "the random source moved by more than 50 million draws";
    return -1;
}
