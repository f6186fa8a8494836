// Golden frames: fixed music times of the piece rendered offline as a run from 0 draws them
// (the grain fixed with them) and compared with stored pictures, so a change that alters them
// is seen. Regenerate on purpose only: LANTERN_UPDATE_GOLDEN=1 rewrites tests/golden/*.png.
// And the same frames drawn natively at three times the size: the frame, with more detail.
#include "support/offline.h"

#include "app/glwindow.h"
#include "app/startup.h"
#include "capture/frame_grabber.h"
#include "capture/shot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace {

class GoldenFrames : public ::testing::TestWithParam<int32_t> {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(EnsureOfflinePiece()); }
};

TEST_P(GoldenFrames, MatchTheStoredPicture)
{
    const int32_t ms = GetParam();
    ExpectGoldenFrame(RenderFrameAt(ms), "frame_" + std::to_string(ms));
}

// Title, greet before and during a line, outro in white and in its texts.
INSTANTIATE_TEST_SUITE_P(OpeningAndClosing, GoldenFrames,
                         ::testing::Values(2000, 9056, 260000, 271680, 278000, 290500, 298848));
// smallfall halfway, the sign at its sharpest and again half blurred.
INSTANTIATE_TEST_SUITE_P(YardScenes, GoldenFrames, ::testing::Values(45280, 190176, 194704));

// The loader screen, as `lantern shot --loader` writes it: the darkened loader picture in the
// middle of the frame with its glow.
TEST_F(GoldenFrames, TheLoaderScreenMatchesTheStoredPicture)
{
    DrawLoaderScreen();
    ExpectGoldenFrame(ReadFrameTopDown(), "loader");
}

// Sub-scenes drawn alone (as `lantern shot --scene` draws them) at a time of their own span.
class GoldenSceneFrames : public ::testing::TestWithParam<std::pair<const char*, int32_t>> {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(EnsureOfflinePiece()); }
};

TEST_P(GoldenSceneFrames, MatchTheStoredPicture)
{
    const auto [scene, ms] = GetParam();
    ExpectGoldenFrame(RenderSceneAt(scene, ms), std::string("scene_") + scene + "_" + std::to_string(ms));
}

// killme; killfall's burst from the first path and the figure on the ground from the second;
// killself's stream; killthroat's loop; the grass run early and late; the pond from above and
// from below, the yard's light sphere, both cup flights, the stair, the sphere lit, the beacon
// on blue, the killself figure in the yard.
INSTANTIATE_TEST_SUITE_P(SubScenes, GoldenSceneFrames,
                         ::testing::Values(std::pair{"killme", 50000}, std::pair{"killfall", 12500},
                                           std::pair{"killfall", 87500}, std::pair{"killself", 37500},
                                           std::pair{"killthroat", 75000}, std::pair{"grass", 30000},
                                           std::pair{"grass", 70000}, std::pair{"waterover", 30000},
                                           std::pair{"waterunder", 60000}, std::pair{"waterfilled", 50000},
                                           std::pair{"cup", 40000}, std::pair{"cuptwo", 70000},
                                           std::pair{"stair", 50000}, std::pair{"sphere", 9622},
                                           std::pair{"subbaken", 50000}, std::pair{"subself", 50000}),
                         [](const auto& test) { return std::string(test.param.first) + "_" + std::to_string(test.param.second); });

// The 640x480 frame scaled up three times on each side with a linear filter (pixel centres
// aligned, edges clamped): the most a frame drawn small can show at 1920x1440.
std::vector<uint8_t> ScaledUpThreeTimes(const std::vector<uint8_t>& frame)
{
    std::vector<uint8_t> large(static_cast<size_t>(1920) * 1440 * 3);
    auto texel = [&](int x, int y, int c) { return frame[(static_cast<size_t>(std::clamp(y, 0, 479)) * 640 + std::clamp(x, 0, 639)) * 3 + c]; };
    for (int y = 0; y < 1440; ++y)
        for (int x = 0; x < 1920; ++x) {
            const float u = (x + 0.5f) / 3 - 0.5f, v = (y + 0.5f) / 3 - 0.5f;
            const int x0 = static_cast<int>(std::floor(u)), y0 = static_cast<int>(std::floor(v));
            const float fx = u - x0, fy = v - y0;
            for (int c = 0; c < 3; ++c) {
                const float top = texel(x0, y0, c) * (1 - fx) + texel(x0 + 1, y0, c) * fx;
                const float bottom = texel(x0, y0 + 1, c) * (1 - fx) + texel(x0 + 1, y0 + 1, c) * fx;
                large[(static_cast<size_t>(y) * 1920 + x) * 3 + c] = static_cast<uint8_t>(std::lround(top * (1 - fy) + bottom * fy));
            }
        }
    return large;
}

// The share of the pixels of rows [firstRow, endRow) of two 1920-pixel-wide frames of which
// some channel differs by more than 12.
double ShareOfPixelsOff(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int firstRow, int endRow)
{
    size_t off = 0;
    for (size_t i = static_cast<size_t>(firstRow) * 1920 * 3; i < static_cast<size_t>(endRow) * 1920 * 3; i += 3)
        off += std::abs(a[i] - b[i]) > 12 || std::abs(a[i + 1] - b[i + 1]) > 12 || std::abs(a[i + 2] - b[i + 2]) > 12;
    return static_cast<double>(off) / (1920.0 * (endRow - firstRow));
}

double MeanDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    double total = 0;
    for (size_t i = 0; i < a.size(); ++i) total += std::abs(a[i] - b[i]);
    return total / static_cast<double>(a.size());
}

class LargerFrames : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(EnsureOfflinePiece()); }
};

// Captions (the intro's lines), a blurred backdrop (waterfilled) and strong glow (the stair's
// light planes), drawn at 1920x1440: each 3x3 block's mean is close to the 640x480 frame's
// pixel, yet in the rows that hold them 1 % of the pixels or more differ by over 12 levels from
// the 640x480 frame scaled up.
TEST_F(LargerFrames, DrawnThreeTimesLargerTheyAreTheFrameWithMoreDetail)
{
    struct Case {
        const char* scene;
        int32_t ms;
        int firstRow, endRow; // of the 640x480 frame
    };
    const Case cases[] = {{"intro", 50000, 170, 270}, {"waterfilled", 50000, 60, 420}, {"stair", 50000, 60, 420}};
    std::vector<std::vector<uint8_t>> frames;
    for (const Case& c : cases) frames.push_back(RenderSceneAt(c.scene, c.ms));
    ASSERT_EQ(ChangePictureSize({1920, 1440}), "");
    for (size_t i = 0; i < frames.size(); ++i) {
        const Case& c = cases[i];
        const std::vector<uint8_t> large = RenderSceneAt(c.scene, c.ms);
        ASSERT_EQ(large.size(), frames[i].size() * 9) << c.scene;
        std::vector<uint8_t> reduced(frames[i].size());
        ShrinkByBlocks(large.data(), 1920 * 3, 1920, 1440, 3, reduced.data(), 640 * 3);
        EXPECT_LT(MeanDifference(reduced, frames[i]), 5.0) << c.scene;
        EXPECT_GT(ShareOfPixelsOff(large, ScaledUpThreeTimes(frames[i]), 3 * c.firstRow, 3 * c.endRow), 0.01)
            << c.scene;
    }
    EXPECT_EQ(ChangePictureSize(PieceFrameSize), "");
}

// Giorl early and late in its swing, season before, at and after the pass through the window,
// baken before and after its leaves join, atom with the pillar and with the wide ring.
INSTANTIATE_TEST_SUITE_P(Landscapes, GoldenFrames,
                         ::testing::Values(62000, 78000, 94000, 96800, 104500, 168000, 176500, 241000, 247000));

} // namespace
