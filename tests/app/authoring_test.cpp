// The authoring keys on a music clock fed by a fake audio device: pause, seeks, slot jumps
// and the loop, frame by frame as the main loop drives them; the window title and frame rate.
#include "app/authoring.h"
#include "base/picture_size.h"
#include "platform/messages.h"
#include "scenes/lum_scenes.h"
#include "sound/soundtrack_clock.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

constexpr int64_t kBlock = 1024;
constexpr int64_t kBlockUs = kBlock * 1000000 / 44100;
constexpr int64_t kFrameUs = 10'000; // frames drawn every 10 ms

int32_t Start(std::string_view scene)
{
    return FindScheduledScene(scene)->startMs;
}

// The run's clock as the soundtrack makes it, with a fake device: the stream follows every
// seek, stops with the pause and goes back to the held time, and the device takes a block
// whenever the one before has played.
class FakeDeviceClock : public AuthoringClock {
public:
    explicit FakeDeviceClock(int32_t startMs)
    {
        clock.Start(startMs, 0, true);
        streamFrame = static_cast<int64_t>(startMs) * 44100 / 1000;
    }
    bool Paused() override { return clock.Paused(); }
    void SetPaused(bool paused) override
    {
        if (!paused) {
            clock.Resume(now);
            nextBlockUs = now;
            return;
        }
        streamFrame = static_cast<int64_t>(clock.Pause(now).streamMs) * 44100 / 1000;
    }
    void SeekTo(int32_t ms) override
    {
        clock.Seek(ms, now);
        streamFrame = static_cast<int64_t>(ms) * 44100 / 1000;
        ++seeks;
    }
    // Time passes to `untilUs`, the device taking its blocks.
    void AdvanceTo(int64_t untilUs)
    {
        while (!clock.Paused() && nextBlockUs <= untilUs) {
            now = nextBlockUs;
            // Heard as soon as it is handed: a device with no buffer.
            clock.BlockHanded(kBlock, AudioTiming{now, 0, true});
            streamFrame += kBlock;
            nextBlockUs += kBlockUs;
        }
        now = untilUs;
        if (clock.Paused()) nextBlockUs = untilUs;
    }
    double StreamMs() const { return streamFrame * 1000.0 / 44100.0; }

    SoundtrackClock clock;
    int64_t now = 0;
    int64_t nextBlockUs = 0;
    int64_t streamFrame = 0;
    int seeks = 0;
};

// The main loop around the keys: before the frame, the frame (the outro asking to end the
// piece late in its span, as it does), after the frame. Every frame the picture's time is
// checked against the samples the device has taken.
class AuthoringTest : public ::testing::Test {
protected:
    void SetUp() override { ClearPieceEnd(); }
    void TearDown() override { ClearPieceEnd(); }

    void Begin(int32_t startMs)
    {
        m_device.emplace(startMs);
        m_control.emplace(*m_device);
        m_shown = startMs;
    }
    // Frames for `us` of wall time; the time of the last frame drawn.
    int32_t Run(int64_t us)
    {
        const int64_t end = m_device->now + us;
        while (m_device->now + kFrameUs <= end) {
            m_device->AdvanceTo(m_device->now + kFrameUs);
            m_control->BeforeFrame(m_device->clock.TimeMs(m_device->now));
            m_shown = m_device->clock.TimeMs(m_device->now);
            if (m_stayIn) {
                EXPECT_GE(m_shown, m_stayIn->startMs);
                EXPECT_LT(m_shown, m_stayIn->endMs);
            }
            const ScheduledScene* outro = FindScheduledScene("outro");
            if (m_shown >= outro->startMs && m_shown < outro->endMs &&
                (m_shown - outro->startMs) > 0.8 * (outro->endMs - outro->startMs))
                EndPiece();
            EXPECT_LE(m_shown, m_device->StreamMs() + 1);
            if (!m_device->Paused()) {
                EXPECT_GE(m_shown, m_device->StreamMs() - 30.0) << "drift";
            }
            m_control->AfterFrame();
            if (PieceEndRequested()) break;
        }
        return m_shown;
    }
    void Press(int key) { EXPECT_TRUE(m_control->KeyDown(key, m_shown)); }

    std::optional<FakeDeviceClock> m_device;
    std::optional<AuthoringControl> m_control;
    int32_t m_shown = 0;
    const ScheduledScene* m_stayIn = nullptr; // every frame must lie in this span
};

TEST(TimelineSlots, CountInTheOrderTheyPlayNotTheOrderOfTheTable)
{
    EXPECT_EQ(ScheduledSceneAt(36223), nullptr); // the one millisecond between sphere and smallfall
    EXPECT_EQ(CurrentSlot(36223)->name, "sphere");
    EXPECT_EQ(ScheduledSceneAt(60000)->name, "giorl");
    // smallfall, then giorl (slot 15), then season (slot 5)
    EXPECT_EQ(NextSlotStart(Start("smallfall") + 100), Start("giorl"));
    EXPECT_EQ(NextSlotStart(Start("giorl")), Start("season"));
    EXPECT_EQ(PreviousSlotStart(Start("season") + 5000), Start("giorl"));
    EXPECT_EQ(PreviousSlotStart(Start("giorl")), Start("smallfall"));
    EXPECT_EQ(PreviousSlotStart(500), 0);
    EXPECT_EQ(NextSlotStart(Start("outro") + 10), -1);
    EXPECT_EQ(NextSlotStart(0), Start("sphere"));
}

TEST_F(AuthoringTest, SpacePausesAndResumesMusicAndPictureTogether)
{
    Begin(0);
    const int32_t before = Run(1'000'000);
    Press(VK_SPACE);
    EXPECT_TRUE(m_control->Paused());
    const int32_t held = Run(3'000'000);
    EXPECT_NEAR(held, before, 20);
    EXPECT_EQ(Run(1'000'000), held);
    Press(VK_SPACE);
    EXPECT_FALSE(m_control->Paused());
    EXPECT_NEAR(Run(2'000'000), held + 2000, 30);
}

TEST_F(AuthoringTest, FunctionKeysSeekFiveSecondsAndJumpBetweenSlots)
{
    Begin(Start("greet") + 1000);
    Run(500'000);
    int32_t from = m_shown;
    Press(VK_F6);
    EXPECT_NEAR(Run(1'000'000), from + 5000 + 1000, 30);
    from = m_shown;
    Press(VK_F5);
    Press(VK_F5); // both from the frame on screen: one step back
    EXPECT_NEAR(Run(1'000'000), from - 5000 + 1000, 30);
    Press(VK_F8);
    Run(100'000);
    EXPECT_EQ(ScheduledSceneAt(m_shown)->name, "outro");
    Press(VK_F7);
    Run(100'000);
    EXPECT_EQ(ScheduledSceneAt(m_shown)->name, "greet");
    EXPECT_LT(m_shown, Start("greet") + 200);
    Press(VK_F7);
    Run(100'000);
    EXPECT_EQ(ScheduledSceneAt(m_shown)->name, "atom");

    // F5 near the start stops at 0; F8 in the last slot goes nowhere; Paused, seeks hold.
    Begin(2000);
    Press(VK_F5);
    EXPECT_LE(Run(100'000), 150);
    Press(VK_SPACE);
    from = m_shown;
    Press(VK_F6);
    EXPECT_EQ(Run(1'000'000), from + 5000);
    EXPECT_TRUE(m_control->Paused());
    EXPECT_FALSE(m_control->KeyDown('A', m_shown));

    Begin(Start("outro") + 100);
    const int seeks = m_device->seeks;
    Press(VK_F8);
    EXPECT_EQ(m_device->seeks, seeks);
    EXPECT_FALSE(PieceEndRequested());
}

TEST_F(AuthoringTest, F9LoopsTheSlotAndTheLoopFollowsAJump)
{
    const ScheduledScene* atom = FindScheduledScene("atom");
    Begin(atom->endMs - 1500);
    Press(VK_F9);
    EXPECT_TRUE(m_control->Looping());
    m_stayIn = atom;
    Run(40'000'000);
    // 40 s from 1.5 s before the end of an 18.1 s slot: it started again three times, each
    // restart costing at most a frame and a device block.
    EXPECT_NEAR(m_shown, atom->startMs + (40000 - 1500) - 2 * (atom->endMs - atom->startMs), 120);

    const ScheduledScene* greet = FindScheduledScene("greet");
    Press(VK_F8); // to greet, which is now the slot looped
    m_stayIn = greet;
    Run(200'000);
    Press(VK_F5); // back into atom: the loop follows again
    m_stayIn = atom;
    Run(7'000'000);

    Press(VK_F9);
    EXPECT_FALSE(m_control->Looping());
    m_stayIn = nullptr;
    Run(static_cast<int64_t>(atom->endMs - m_shown) * 1000 + 500'000);
    EXPECT_EQ(ScheduledSceneAt(m_shown)->name, "greet");
    EXPECT_LT(m_shown, greet->startMs + 600);
}

TEST_F(AuthoringTest, TheLastSlotLoopsInsteadOfEndingButASeekPastTheEndEndsTheRun)
{
    const ScheduledScene* outro = FindScheduledScene("outro");
    Begin(outro->startMs + 14000);
    Press(VK_F9);
    Run(10'000'000); // past 80 percent the outro asks to end; looped, it plays again
    EXPECT_FALSE(PieceEndRequested());
    EXPECT_GE(m_shown, outro->startMs);
    EXPECT_LT(m_shown, outro->startMs + 14000);

    Press(VK_F6);
    Press(VK_F6);
    Press(VK_F6);
    Press(VK_F6); // +5 s from the frame on screen: still inside
    EXPECT_FALSE(PieceEndRequested());
    Begin(outro->endMs - 3000);
    Press(VK_F9);
    Press(VK_F6);
    EXPECT_TRUE(PieceEndRequested());
    Run(100'000);
    EXPECT_TRUE(PieceEndRequested()); // not taken back by the loop

    // Without a loop a seek past the end ends the run the same way.
    ClearPieceEnd();
    Begin(FindScheduledScene("greet")->endMs - 1000);
    Press(VK_F8);
    Press(VK_F6);
    EXPECT_FALSE(PieceEndRequested()); // F8 landed in the outro, F6 counts from the frame on screen
    m_shown = outro->endMs - 10;
    Press(VK_F6);
    EXPECT_TRUE(PieceEndRequested());
}

TEST(AuthoringTitle, ShowsTimeSceneProgressRateAndState)
{
    char title[160];
    FormatAuthoringTitle(title, sizeof title, "nrvk_dms", FindScheduledScene("greet")->startMs + 18112, 59.94,
                         false, false);
    EXPECT_STREQ(title, "nrvk_dms  4:31.680  greet 50%  59.9 fps");
    FormatAuthoringTitle(title, sizeof title, "nrvk_dms", 36223, -1.0, true, true);
    EXPECT_STREQ(title, "nrvk_dms  0:36.223  -  -- fps  paused  loop");
    FormatAuthoringTitle(title, sizeof title, "nrvk_dms", 7, 1000.0, false, true);
    EXPECT_STREQ(title, "nrvk_dms  0:00.007  title 0%  1000.0 fps  loop");
    char tiny[12];
    FormatAuthoringTitle(tiny, sizeof tiny, "nrvk_dms", 600000, 60.0, true, true);
    EXPECT_STREQ(tiny, "nrvk_dms  1");
    SetPictureSize({1440, 1080});
    FormatAuthoringTitle(title, sizeof title, "nrvk_dms", 7, 1000.0, false, false);
    SetPictureSize(PieceFrameSize);
    EXPECT_STREQ(title, "nrvk_dms  0:00.007  title 0%  1000.0 fps  1440x1080");
}

TEST(FrameRate, CountsTheFramesOfEachWholeSecond)
{
    FrameRateMeter meter;
    EXPECT_LT(meter.FramesPerSecond(), 0.0);
    uint32_t now = 5000;
    for (int frame = 0; frame < 60; ++frame, now += 16) meter.FramePresented(now);
    EXPECT_LT(meter.FramesPerSecond(), 0.0); // 944 ms so far
    for (int frame = 0; frame < 4; ++frame, now += 16) meter.FramePresented(now);
    EXPECT_NEAR(meter.FramesPerSecond(), 62.5, 1e-9); // 63 frames in 1008 ms

    FrameRateMeter slow;
    now = 0;
    for (int frame = 0; frame <= 10; ++frame, now += 100) slow.FramePresented(now);
    EXPECT_NEAR(slow.FramesPerSecond(), 10.0, 1e-9);
    slow.FramePresented(now + 2900); // a long stall counts as one slow second
    EXPECT_NEAR(slow.FramesPerSecond(), 1000.0 / 3000.0, 1e-9);
}

} // namespace
