// Golden frames: fixed music times of the piece rendered offline as a run from 0 draws them
// (the grain fixed with them) and compared with stored pictures, so a change that alters them
// is seen. Regenerate on purpose only: LANTERN_UPDATE_GOLDEN=1 rewrites tests/golden/*.png.
#include "support/offline.h"

#include "app/startup.h"
#include "capture/shot.h"

#include <gtest/gtest.h>

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

// Giorl early and late in its swing, season before, at and after the pass through the window,
// baken before and after its leaves join, atom with the pillar and with the wide ring.
INSTANTIATE_TEST_SUITE_P(Landscapes, GoldenFrames,
                         ::testing::Values(62000, 78000, 94000, 96800, 104500, 168000, 176500, 241000, 247000));

} // namespace
