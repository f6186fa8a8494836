// The title, intro, greet and outro scenes on the generated data set, and the end of the run.
#include "app/glwindow.h"
#include "app/globals.h"
#include "base/piece_schedule.h"
#include "platform/messages.h"
#include "platform/window.h"
#include "render/lum_frame.h"
#include "render/lum_views.h"
#include "scenes/scene_frame.h"
#include "scenes/scene_greet.h"
#include "scenes/scene_intro.h"
#include "timeline/frame_clock.h"
#include "timeline/scene_factory.h"
#include "support/driver_gl.h"
#include "support/gl_context.h"
#include "support/offline.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr const ScheduledScene& kTitle = *FindScheduledScene("title");
constexpr const ScheduledScene& kGreet = *FindScheduledScene("greet");
constexpr int32_t kTitleStart = kTitle.startMs, kSpan = kTitle.endMs - kTitle.startMs;
constexpr int32_t kGreetStart = kGreet.startMs, kGreetSpan = kGreet.endMs - kGreet.startMs;
constexpr int32_t kOutroStart = FindScheduledScene("outro")->startMs;

class ClosingScenesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(EnsureOfflinePiece()); }
    void TearDown() override
    {
        Keys[VK_ESCAPE] = false;
        ClearPieceEnd();
    }
};

// Band rows lie between the letterbox bars (60 .. 420).
double BandBrightness(const std::vector<uint8_t>& frame)
{
    return MeanBrightness(frame, 40, 80, 600, 400);
}

TEST_F(ClosingScenesTest, TitleRisesFromBlackWithTheGrainAlreadyOver)
{
    const auto start = RenderFrameAt(kTitleStart);
    const auto middle = RenderFrameAt(kTitleStart + kSpan / 2);
    // At p = 0 the picture is faded to black, but the vignette and the moving grain are drawn
    // after the fade: the band is dark, yet not flat black.
    const double dark = BandBrightness(start);
    EXPECT_LT(dark, BandBrightness(middle) / 2.0);
    int lit = 0;
    for (int y = 80; y < 400; ++y)
        for (int x = 40; x < 600; ++x) lit += start[(static_cast<size_t>(y) * 640 + x) * 3] > 0;
    EXPECT_GT(lit, 1000) << "no grain over the black title";
    EXPECT_GT(BandBrightness(middle), dark + 30.0) << "the title picture never shows";
}

TEST_F(ClosingScenesTest, LetterboxBarsStayBlackAroundTheTitle)
{
    const auto frame = RenderFrameAt(kTitleStart + kSpan / 2);
    // The glow spills a little light into the bars; they stay far darker than the band.
    EXPECT_LT(MeanBrightness(frame, 0, 0, 640, 50), BandBrightness(frame) / 4.0);
    EXPECT_LT(MeanBrightness(frame, 0, 430, 640, 480), BandBrightness(frame) / 4.0);
}

TEST(GreetLines, EachLineOwnsASixteenthAndGrowsThroughIt)
{
    const GreetLine middle = GreetLineAt(1.5f / 16.0f);
    EXPECT_EQ(middle.text, Greetings[1]);
    EXPECT_FLOAT_EQ(middle.size, 45.0f);
    EXPECT_FLOAT_EQ(middle.advance, 37.5f);
    EXPECT_NEAR(middle.alpha, 1.0f, 1e-5f);

    const GreetLine ending = GreetLineAt(std::nextafter(2.0f / 16.0f, 0.0f));
    EXPECT_EQ(ending.text, Greetings[1]);
    EXPECT_NEAR(ending.size, 50.0f, 1e-3f);
    EXPECT_NEAR(ending.advance, 45.0f, 1e-3f);
    EXPECT_LT(ending.alpha, 1e-4f);

    EXPECT_EQ(GreetLineAt(2.0f / 16.0f).text, Greetings[2]);
    EXPECT_TRUE(GreetLineAt(0.0f).text.empty());
    EXPECT_TRUE(GreetLineAt(0.9f / 16.0f).text.empty());
    EXPECT_TRUE(GreetLineAt(15.0f / 16.0f).text.empty());
    EXPECT_TRUE(GreetLineAt(std::nextafter(1.0f, 0.0f)).text.empty());
}

TEST(GreetLines, AreFourteenShortLowerCaseNames)
{
    EXPECT_TRUE(Greetings[0].empty());
    EXPECT_TRUE(Greetings[15].empty());
    for (int line = 1; line <= 14; ++line) {
        EXPECT_GE(Greetings[line].size(), 3u) << line;
        EXPECT_LE(Greetings[line].size(), 13u) << line;
        for (char c : Greetings[line]) EXPECT_FALSE(c >= 'A' && c <= 'Z') << Greetings[line];
    }
}

TEST_F(ClosingScenesTest, WhiteFadeKeepsTheFrameByAlpha)
{
    BeginOverlay();
    glDisable(GL_TEXTURE_2D);
    glColor4f(0.2f, 0.4f, 0.6f, 1.0f);
    FillRectangle(0, 0, 640, 480);
    DrawWhiteFade(1.0f);
    EXPECT_EQ(ReadFrameRgb(320, 240, 1, 1), (std::vector<uint8_t>{51, 102, 153}));
    DrawWhiteFade(0.5f);
    const auto half = ReadFrameRgb(320, 240, 1, 1);
    EXPECT_NEAR(half[0], 153, 1);
    EXPECT_NEAR(half[2], 204, 1);
    DrawWhiteFade(0.0f);
    EXPECT_EQ(ReadFrameRgb(320, 240, 1, 1), (std::vector<uint8_t>{255, 255, 255}));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(ClosingScenesTest, GreetComesOutOfWhite)
{
    const double atStart = BandBrightness(RenderFrameAt(kGreetStart));
    const double later = BandBrightness(RenderFrameAt(kGreetStart + kGreetSpan * 3 / 4));
    EXPECT_GT(atStart, 200.0) << "greet at p = 0 is white";
    EXPECT_LT(later, 120.0) << "no white fade from p = 0.5 on";
}

TEST_F(ClosingScenesTest, OutroStartsWhiteAndShowsItsTextsWithoutWhiteAtHalfway)
{
    EXPECT_GT(BandBrightness(RenderFrameAt(kOutroStart)), 200.0);
    const auto halfway = RenderFrameAt(kOutroStart + kSpan / 2);
    EXPECT_LT(BandBrightness(halfway), 100.0);
    // "norvik" stands across the middle line at alpha cos(pi/4).
    EXPECT_GT(MeanBrightness(halfway, 180, 215, 460, 265), BandBrightness(halfway) + 10.0);
}

TEST_F(ClosingScenesTest, IntroShowsBothLinesOnlyInTheMiddleOfItsSpan)
{
    tscene_intro intro;
    intro.StartTime = 0;
    intro.EndTime = 100000;
    auto render = [&](int32_t time) {
        SetOfflineFrameTime(time);
        intro.Render(time);
        return ReadFrameRgb();
    };
    // Glyph rows of "lantern of rust" (y 219..261 top-down, GL rows 219..261 from the bottom).
    const auto start = render(0);
    const auto middle = render(50000);
    auto text = [](const std::vector<uint8_t>& frame) { return MeanBrightness(frame, 170, 219, 470, 261); };
    EXPECT_GT(text(middle), text(start) + 20.0);
}

TEST_F(ClosingScenesTest, TheRunEndsAfterTheFirstFrameWithOutroProgressAbove0_8)
{
    // 289792 + 0.8 * 18112 = 304281.6: progress at 304281 is just below 0.8.
    ClearPieceEnd();
    RenderFrameAt(304281);
    EXPECT_FALSE(PieceEndRequested());
    RenderFrameAt(304282);
    EXPECT_TRUE(PieceEndRequested());

    ClearPieceEnd();
    SetOfflineFrameTime(304282);
    EXPECT_EQ(RunMessageLoop(), 0); // returns after that one frame
    EXPECT_TRUE(PieceEndRequested());
    EXPECT_FALSE(Keys[VK_ESCAPE]); // the outro ends the piece, it does not press a key
}

TEST_F(ClosingScenesTest, AnEscapeTapBetweenTwoFramesStillEndsTheRun)
{
    Keys[VK_ESCAPE] = false;
    PostWindowMessage(WM_KEYDOWN, VK_ESCAPE);
    PostWindowMessage(WM_KEYUP, VK_ESCAPE);
    SetOfflineFrameTime(1000);
    EXPECT_EQ(RunMessageLoop(), 0); // both messages are handled before the frame
    EXPECT_FALSE(Keys[VK_ESCAPE]);
}

TEST_F(ClosingScenesTest, GreetPlacesItsFieldWithSixDrawsATuft)
{
    // Three for the place of each of the 4501 tufts, three more for its height and turn.
    EXPECT_EQ(RandomDrawsDuring([] { FindSceneObject("greet")->Load(); }), 6 * 4501);
    EXPECT_EQ(RandomDrawsDuring([] { FindSceneObject("title")->Load(); }), 0);
}

} // namespace
