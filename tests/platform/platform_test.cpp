// Path resolution, key translation and auto-repeat, the checked file readers, child
// processes and the platform's start-up.
#include "base/error.h"
#include "base/files.h"
#include "platform/child_process.h"
#include "platform/input.h"
#include "platform/platform_start.h"
#include "platform/window.h"
#include "support/gl_context.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <chrono>
#include <cmath>

namespace {

class PathResolverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir.Write("Data/Season/Geox.LIST", "a");
        m_dir.Write("Data/seasoncut/cut.geox", "b");
        m_dir.Write("data2/Exact.txt", "exact");
        m_dir.Write("data2/exact.txt", "lower");
        SetDataRoot(m_dir.Path().string());
    }
    void TearDown() override { SetDataRoot("."); }
    TempDir m_dir;
};

TEST_F(PathResolverTest, MatchesEachComponentWithoutRegardToCase)
{
    EXPECT_EQ(ResolvePath("Data\\season\\geox.list"), m_dir.Path().string() + "/Data/Season/Geox.LIST");
    EXPECT_EQ(ResolvePath("data\\SEASONCUT\\cut.geox"), m_dir.Path().string() + "/Data/seasoncut/cut.geox");
    EXPECT_TRUE(FileExists("DATA/season/GEOX.list"));
    EXPECT_FALSE(FileExists("Data\\season")); // a folder is not a file
}

TEST_F(PathResolverTest, PrefersAnExactMatch)
{
    EXPECT_EQ(ResolvePath("data2\\exact.txt"), m_dir.Path().string() + "/data2/exact.txt");
    EXPECT_EQ(ResolvePath("data2\\Exact.txt"), m_dir.Path().string() + "/data2/Exact.txt");
}

TEST_F(PathResolverTest, KeepsMissingComponentsAsWrittenAndNamesThemInErrors)
{
    EXPECT_EQ(ResolvePath("Data\\nothing\\here.geox"), m_dir.Path().string() + "/Data/nothing/here.geox");
    EXPECT_FALSE(FileExists("Data\\nothing\\here.geox"));
    try {
        ReadFileBytes("Data\\nothing\\here.geox");
        FAIL() << "no error";
    } catch (const FatalError& error) {
        EXPECT_NE(std::string(error.what()).find("Data\\nothing\\here.geox: cannot open"), std::string::npos)
            << error.what();
    }
    EXPECT_THROW(ReadFileBytes("Data\\Season"), FatalError); // a folder
    EXPECT_EQ(ReadFileBytes("data\\season\\geox.list"), std::vector<unsigned char>{'a'});
}

TEST_F(PathResolverTest, ResolvesAbsolutePathsFromTheRoot)
{
    const std::string absolute = m_dir.Path().string() + "/DATA2/EXACT.TXT";
    EXPECT_TRUE(FileExists(absolute));
}

TEST(VirtualKeys, MapTheKeysThePieceAndItsDebugControlsRead)
{
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_ESCAPE), VK_ESCAPE);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_LEFT), 37);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_UP), 38);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_RIGHT), 39);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_DOWN), 40);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_PAGEUP), 33);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_PAGEDOWN), 34);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_END), 35);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_HOME), 36);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_LSHIFT), 16);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_RSHIFT), 16);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_1), 49);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_8), 56);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_0), 48);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_A), 65);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_F1), 112);
    // The authoring keys.
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_SPACE), 32);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_F5), VK_F5);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_F6), 117);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_F7), 118);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_F8), 119);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_F9), VK_F9);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_UNKNOWN), 0);
}

TEST(KeyRepeat, RepeatsTheLastPressedKeyAfterTheDelayAtTheWindowsRate)
{
    KeyRepeater repeater;
    repeater.KeyDown(VK_HOME, 1000);
    EXPECT_EQ(repeater.NextRepeat(1000), 0);
    EXPECT_EQ(repeater.NextRepeat(1499), 0);
    EXPECT_EQ(repeater.NextRepeat(1500), VK_HOME);
    EXPECT_EQ(repeater.NextRepeat(1500), 0);
    // Holding for one second from the press gives the first repeat and then one every 33 ms.
    int repeats = 1;
    for (uint32_t now = 1501; now <= 2000; ++now)
        while (repeater.NextRepeat(now)) ++repeats;
    EXPECT_EQ(repeats, 1 + 500 / 33);
    // A second key takes the repeat over; releasing the first then changes nothing.
    repeater.KeyDown(VK_END, 2000);
    repeater.KeyUp(VK_HOME);
    EXPECT_EQ(repeater.NextRepeat(2499), 0);
    EXPECT_EQ(repeater.NextRepeat(2500), VK_END);
    repeater.KeyUp(VK_END);
    EXPECT_EQ(repeater.NextRepeat(5000), 0);
}

// The cursor in frame pixels: one frame pixel is the same turn whatever the window's size.
TEST(CursorInFramePixels, ScalesTheClientAreaAsTheFrameIsShownInIt)
{
    int x = -1, y = -1;
    WindowPointToFrame(333, 479, 640, 480, 640, 480, x, y);
    EXPECT_EQ(x, 333);
    EXPECT_EQ(y, 479);
    // Twice the size: 666 window pixels are 333 frame pixels.
    WindowPointToFrame(666, 958, 1280, 960, 640, 480, x, y);
    EXPECT_EQ(x, 333);
    EXPECT_EQ(y, 479);
    // A wide window shows the frame 1200 x 900 between bars 200 wide.
    WindowPointToFrame(200, 0, 1600, 900, 640, 480, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    WindowPointToFrame(200 + 625, 450, 1600, 900, 640, 480, x, y);
    EXPECT_EQ(x, 333);
    EXPECT_EQ(y, 240);
    WindowPointToFrame(100, 0, 1600, 900, 640, 480, x, y); // on the left bar
    EXPECT_LT(x, 0);
    // A tall window: bars above and below.
    WindowPointToFrame(0, 90, 480, 540, 640, 480, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    // A mouse-button message carries the point, negative parts included, or CursorOutside.
    int32_t px = 0, py = 0;
    ASSERT_TRUE(CursorFromParam(CursorParam(-107, 479), px, py));
    EXPECT_EQ(px, -107);
    EXPECT_EQ(py, 479);
    EXPECT_FALSE(CursorFromParam(CursorOutside, px, py));
    // A window shrunk to nothing divides by nothing.
    WindowPointToFrame(0, 0, 0, 0, 640, 480, x, y);
    EXPECT_EQ(x, 0);
}

// The arguments of a Windows child as its C run-time splits them back.
TEST(ChildProcesses, AWindowsCommandLineQuotesWhatItsRunTimeWouldSplit)
{
    EXPECT_EQ(WindowsCommandLine("C:\\Program Files\\ffmpeg.exe", {"-i", "", "a b", "say \"hi\""}),
              "\"C:\\Program Files\\ffmpeg.exe\" -i \"\" \"a b\" \"say \\\"hi\\\"\"");
    // Backslashes are literal except before a quote: a closing quote after a trailing
    // backslash, and a quote after two, double them.
    EXPECT_EQ(WindowsCommandLine("f.exe", {"trail\\", "C:\\with space\\", "two\\\\\"q", "tab\tnewline\n"}),
              "f.exe trail\\ \"C:\\with space\\\\\" \"two\\\\\\\\\\\"q\" \"tab\tnewline\n\"");
}

TEST(ChildProcesses, WaitSaysHowTheChildEndedAndKillEndsItAtOnce)
{
    {
        ChildProcess child("/bin/sh", {"-c", "read line; echo \"got $line\"; exit 3"});
        std::string failure;
        const std::string line = "frames\n";
        ASSERT_TRUE(child.WriteInput(reinterpret_cast<const uint8_t*>(line.data()), line.size(), failure)) << failure;
        EXPECT_EQ(child.Wait(nullptr), "exit status 3");
        EXPECT_EQ(child.Output(), "got frames");
        EXPECT_FALSE(child.WriteInput(reinterpret_cast<const uint8_t*>(line.data()), line.size(), failure));
    }
    const auto began = std::chrono::steady_clock::now();
    {
        ChildProcess sleeper("/bin/sleep", {"60"});
        sleeper.Kill();
        const std::atomic<bool> interrupted{true};
        ChildProcess interruptedSleeper("/bin/sleep", {"60"});
        EXPECT_EQ(interruptedSleeper.Wait(&interrupted), "killed");
        ChildProcess leftRunning("/bin/sleep", {"60"}); // its destructor kills it
    }
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(30));
    EXPECT_THROW(ChildProcess("/nonexistent/program", {}), FatalError);
}

// Divisions by zero and invalid operations give infinities and NaNs, whatever the process
// started with.
TEST(PlatformStart, FloatingPointOperationsNeverTrap)
{
    feenableexcept(FE_DIVBYZERO | FE_INVALID);
    StartPlatform();
    EXPECT_EQ(fegetexcept(), 0);
    volatile double zero = 0.0;
    EXPECT_TRUE(std::isinf(1.0 / zero));
    EXPECT_TRUE(std::isnan(zero / zero));
}

} // namespace
