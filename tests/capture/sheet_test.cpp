// Contact sheets: each thumbnail is the frame of a run at its time, shrunk, and its caption
// says when and what plays; the command writes the layout it promises.
#include "capture/contact_sheet.h"
#include "capture/png_writer.h"
#include "run_program.h"
#include "support/gl_context.h"
#include "support/offline.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

namespace {

class SheetTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(EnsureOfflinePiece()); }
    TempDir m_folder;
};

// A 640x480 frame's 4x4 blocks averaged, as a thumbnail is made.
std::vector<uint8_t> Shrunk(const std::vector<uint8_t>& frame)
{
    std::vector<uint8_t> small(160 * 120 * 3);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int j = 0; j < 4; ++j)
                    for (int i = 0; i < 4; ++i) sum += frame[((y * 4 + j) * 640 + x * 4 + i) * 3 + c];
                small[(y * 160 + x) * 3 + c] = static_cast<uint8_t>((sum + 8) / 16);
            }
    return small;
}

std::vector<uint8_t> Crop(const std::vector<uint8_t>& image, int imageWidth, int x0, int y0, int width, int height)
{
    std::vector<uint8_t> part;
    for (int y = y0; y < y0 + height; ++y)
        part.insert(part.end(), image.begin() + ((y * imageWidth + x0) * 3), image.begin() + ((y * imageWidth + x0 + width) * 3));
    return part;
}

double MeanDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    double total = 0;
    for (size_t i = 0; i < a.size(); ++i) total += std::abs(int(a[i]) - int(b[i]));
    return total / static_cast<double>(a.size());
}

// The thumbnails of the 640x480 frame.
constexpr int kThumbnailWidth = 160, kThumbnailHeight = 120;

int BrightPixels(const std::vector<uint8_t>& rgb)
{
    int bright = 0;
    for (size_t i = 0; i < rgb.size(); i += 3) bright += rgb[i] > 150;
    return bright;
}

TEST_F(SheetTest, ThumbnailsAreTheFramesOfARunWithTheirTimeAndScene)
{
    SheetOptions options;
    options.output = (m_folder.Path() / "sheet.png").string();
    options.everyMs = 2264;
    options.columns = 2;
    options.fromSeconds = 4.528;
    options.toSeconds = 9.1;
    ContactSheet sheet(options);
    EXPECT_EQ(sheet.Times(), (std::vector<int32_t>{4528, 6792, 9056}));
    int width = 0, height = 0;
    const std::vector<uint8_t> image = sheet.Render(width, height);
    ASSERT_EQ(width, SheetGap + 2 * (kThumbnailWidth + SheetGap));
    ASSERT_EQ(height, SheetGap + 2 * (kThumbnailHeight + SheetCaptionHeight + SheetGap));

    std::vector<std::vector<uint8_t>> captions;
    for (int i = 0; i < 3; ++i) {
        int x = 0, y = 0;
        SheetThumbnailOrigin(i, 2, SheetThumbnailSize(PieceFrameSize), x, y);
        const std::vector<uint8_t> thumbnail = Crop(image, width, x, y, kThumbnailWidth, kThumbnailHeight);
        EXPECT_LT(MeanDifference(thumbnail, Shrunk(RenderFrameAt(sheet.Times()[i]))), 1.0) << "thumbnail " << i;
        captions.push_back(Crop(image, width, x, y + kThumbnailHeight, kThumbnailWidth, SheetCaptionHeight));
        EXPECT_GT(BrightPixels(captions.back()), 60) << "caption " << i << " has its text";
    }
    EXPECT_NE(captions[0], captions[1]);
    EXPECT_NE(captions[1], captions[2]);
    // A thumbnail of another time would not pass for this one.
    int x = 0, y = 0;
    SheetThumbnailOrigin(0, 2, SheetThumbnailSize(PieceFrameSize), x, y);
    EXPECT_GT(MeanDifference(Crop(image, width, x, y, kThumbnailWidth, kThumbnailHeight),
                             Shrunk(RenderFrameAt(1000))),
              10.0);
}

TEST_F(SheetTest, TheCommandWritesTheWholeLayout)
{
    const std::string out = (m_folder.Path() / "whole.png").string();
    const ProgramRun run =
        RunProgram(LanternPath(), {"sheet", out, "--every", "60000", "--columns", "3", "--data", LANTERN_BUILD_DIR});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("6 thumbnails from 0:00.000 to 5:00.000"), std::string::npos) << run.err;
    int width = 0, height = 0;
    ReadPngRgb(out, width, height);
    EXPECT_EQ(width, SheetGap + 3 * (kThumbnailWidth + SheetGap));
    EXPECT_EQ(height, SheetGap + 2 * (kThumbnailHeight + SheetCaptionHeight + SheetGap));

    const ProgramRun late = RunProgram(LanternPath(), {"sheet", out, "--from", "310", "--data", LANTERN_BUILD_DIR});
    EXPECT_EQ(late.exitCode, 1);
    EXPECT_NE(late.err.find("no thumbnail"), std::string::npos) << late.err;
    const ProgramRun dense = RunProgram(LanternPath(), {"sheet", out, "--every", "10", "--data", LANTERN_BUILD_DIR});
    EXPECT_EQ(dense.exitCode, 1);
    EXPECT_NE(dense.err.find("--every 10: 30429 thumbnails; a sheet holds at most 2000"), std::string::npos)
        << dense.err;
}

TEST_F(SheetTest, CtrlCLeavesNothingBehind)
{
    const std::filesystem::path folder = m_folder.Path() / "out";
    std::filesystem::create_directory(folder);
    const pid_t lantern = StartProgram(LanternPath(), {"sheet", (folder / "sheet.png").string(), "--every", "1000",
                                                       "--data", LANTERN_BUILD_DIR},
                                       (m_folder.Path() / "log.txt").string());
    ASSERT_GT(lantern, 0);
    // Stopped once the hidden file exists: in the start-up or among the thumbnails.
    for (int i = 0; i < 600 && std::filesystem::is_empty(folder); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(std::filesystem::is_empty(folder));
    ::kill(lantern, SIGINT);
    EXPECT_EQ(WaitProgram(lantern), 128 + SIGINT);
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

} // namespace
