// Golden frames: fixed music times of the piece rendered offline as a run from 0 draws them
// (the grain fixed with them) and compared with stored pictures, so a change that alters them
// is seen. Regenerate on purpose only: LANTERN_UPDATE_GOLDEN=1 rewrites tests/golden/*.png.
#include "support/offline.h"

#include <gtest/gtest.h>

#include <string>

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

} // namespace
