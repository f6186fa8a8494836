// Offline piece fixture.
#include "support/offline.h"

#include "app/offline.h"
#include "base/error.h"
#include "base/files.h"
#include "base/random.h"
#include "capture/png_writer.h"
#include "capture/shot.h"
#include "timeline/globalscenes.h"
#include "timeline/scene_factory.h"

#include <gtest/gtest.h>

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
    if (std::getenv("LANTERN_UPDATE_GOLDEN")) {
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
    size_t off = 0;
    double total = 0;
    for (size_t i = 0; i < frame.size(); ++i) {
        const int difference = std::abs(int(frame[i]) - int(golden[i]));
        total += difference;
        off += difference > 12;
    }
    EXPECT_LT(total / frame.size(), 1.5) << "mean difference per channel from " << name;
    EXPECT_LT(off, frame.size() / 200) << "channels off by more than 12 from " << name;
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
