// Golden frames: fixed music times of the opening and closing scenes rendered offline (the
// grain fixed with them) and compared with stored pictures, so a change that alters them is
// seen. Regenerate on purpose only: LANTERN_UPDATE_GOLDEN=1 rewrites tests/golden/*.png.
#include "capture/png_writer.h"
#include "support/offline.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

class GoldenFrames : public ::testing::TestWithParam<int32_t> {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(EnsureOfflinePiece()); }
};

TEST_P(GoldenFrames, MatchTheStoredPicture)
{
    const int32_t ms = GetParam();
    const std::vector<uint8_t> frame = RenderFrameAt(ms);
    const std::string path = std::string(LANTERN_SOURCE_DIR) + "/tests/golden/frame_" + std::to_string(ms) + ".png";
    if (std::getenv("LANTERN_UPDATE_GOLDEN")) {
        WritePngRgb(path, 640, 480, frame);
        GTEST_SKIP() << "rewrote " << path;
    }
    ASSERT_TRUE(std::filesystem::exists(path)) << path << " is missing: run with LANTERN_UPDATE_GOLDEN=1";
    int width = 0, height = 0;
    const std::vector<uint8_t> golden = ReadPngRgb(path, width, height);
    ASSERT_EQ(width, 640);
    ASSERT_EQ(height, 480);
    // Small differences of rasterisation are tolerated; a changed picture is not.
    size_t off = 0;
    double total = 0;
    for (size_t i = 0; i < frame.size(); ++i) {
        const int difference = std::abs(int(frame[i]) - int(golden[i]));
        total += difference;
        off += difference > 12;
    }
    EXPECT_LT(total / frame.size(), 1.5) << "mean difference per channel at " << ms << " ms";
    EXPECT_LT(off, frame.size() / 200) << "channels off by more than 12 at " << ms << " ms";
}

// Title, greet before and during a line, outro in white and in its texts.
INSTANTIATE_TEST_SUITE_P(OpeningAndClosing, GoldenFrames,
                         ::testing::Values(2000, 9056, 260000, 271680, 278000, 290500, 298848));

} // namespace
