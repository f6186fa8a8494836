// The music clock, driven by a simulated route: blocks handed at chosen steady-clock times,
// each with the delay the route reports, read by frames as the main loop reads it.
#include "sound/soundtrack_clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

constexpr int64_t kBlock = 1024;                       // frames a callback
constexpr int64_t kBlockUs = kBlock * 1000000 / 44100; // about 23.2 ms
constexpr int64_t kFrameUs = 16667;                    // frames drawn at 60 Hz

// The largest step off the frame interval that a slewed clock makes.
constexpr int64_t kSlewedStepUs = kFrameUs * SoundtrackClock::MaxSlewPpm / 1000000 + 2;

int64_t Off(int64_t us)
{
    return us < 0 ? -us : us;
}

// Music time in microseconds of `frames` frames at 44100 Hz.
int64_t FramesUs(int64_t frames)
{
    return frames * 1000000 / 44100;
}

// A route whose sound card plays a little fast against the steady clock, from startUs on,
// latencyUs behind what it was handed; its callbacks come up to 2 ms late and its delay
// reports are up to 1 ms off either way. heardUs is the true position of the sound, in music
// time from the stream's start at streamUs.
struct SimulatedRoute {
    int64_t startUs = 0;
    int64_t streamUs = 0;
    int64_t latencyUs = 100000;
    int64_t cardPpm = 300;
    int64_t block = 0; // the next block to hand
    std::function<int64_t(int64_t)> heardUs = [this](int64_t t) {
        return streamUs + (t - startUs) * (1000000 + cardPpm) / 1000000 - latencyUs;
    };

    // When block k is due: as the one before it is heard.
    int64_t DueUs(int64_t k) const { return startUs + FramesUs(k * kBlock) * 1000000 / (1000000 + cardPpm); }
    // What the route says at `entryUs` of the next block: how long until it is heard.
    int64_t DelayUs(int64_t entryUs) const { return streamUs + FramesUs(block * kBlock) - heardUs(entryUs); }
    // Hands every block due by `untilUs`.
    void RunTo(SoundtrackClock& clock, int64_t untilUs)
    {
        for (; DueUs(block) <= untilUs; ++block) {
            const int64_t entry = DueUs(block) + (block * 7919 % 5) * 500;
            const int64_t noise = (block * 104729 % 5 - 2) * 500;
            clock.BlockHanded(kBlock, AudioTiming{entry, DelayUs(entry) + noise, true});
        }
    }
};

// Frames every kFrameUs from `fromUs` to `toUs`: checks each step once the picture moves
// against the frame interval and, from settledUs on, the picture against the sound; returns
// the largest of each.
struct Played {
    int64_t largestStepOffUs = 0;
    int64_t largestErrorUs = 0;
};
Played PlayFrames(SoundtrackClock& clock, SimulatedRoute& route, int64_t fromUs, int64_t toUs, int64_t settledUs)
{
    Played run;
    int64_t previous = -1;
    bool moving = false;
    for (int64_t t = fromUs; t <= toUs; t += kFrameUs) {
        route.RunTo(clock, t);
        const int64_t shown = clock.TimeUs(t);
        if (moving) run.largestStepOffUs = std::max(run.largestStepOffUs, Off(shown - previous - kFrameUs));
        moving = moving || (previous >= 0 && shown != previous);
        if (t >= settledUs) run.largestErrorUs = std::max(run.largestErrorUs, Off(shown - route.heardUs(t)));
        previous = shown;
    }
    return run;
}

TEST(SoundtrackClock, HoldsAtTheStartUntilTheSoundIsHeardThenFollowsItSmoothly)
{
    SoundtrackClock clock;
    EXPECT_EQ(clock.TimeUs(5'000'000), 0);
    SimulatedRoute route;
    route.startUs = 1'000'000;
    clock.Start(0, route.startUs, true);
    route.RunTo(clock, 1'050'000);
    EXPECT_EQ(clock.TimeUs(1'050'000), 0) << "nothing is heard for the route's 100 ms";
    EXPECT_EQ(clock.TimeUs(1'099'000), 0);
    EXPECT_GT(clock.TimeUs(1'110'000), 5'000);

    // The callbacks' jitter and the reports' noise never show as a step, and the card's own
    // rate is followed: the picture stays within a millisecond and a half of the sound.
    const Played run = PlayFrames(clock, route, 1'110'000, 21'000'000, 2'000'000);
    EXPECT_LE(run.largestStepOffUs, kSlewedStepUs);
    EXPECT_LE(run.largestErrorUs, 1500);
    EXPECT_EQ(clock.Jumps(), 0);

    // A server that starts its sink 200 ms after taking the first blocks: the reports show
    // nothing moving, and the clock holds until they do rather than run ahead.
    SoundtrackClock late;
    late.Start(0, 0, true);
    for (int64_t k = 0; k < 5; ++k) late.BlockHanded(kBlock, AudioTiming{k * 100, FramesUs(k * kBlock), true});
    late.BlockHanded(0, AudioTiming{100'000, FramesUs(5 * kBlock), true});
    EXPECT_EQ(late.TimeUs(190'000), 0);
    for (const int64_t entry : {210'000, 233'000}) {
        const int64_t handed = FramesUs((entry == 210'000 ? 5 : 6) * kBlock);
        late.BlockHanded(kBlock, AudioTiming{entry, handed - (entry - 200'000), true});
    }
    EXPECT_NEAR(late.TimeUs(300'000), 100'000, 500);
}

TEST(SoundtrackClock, SlewsTowardAChangedDelayAndJumpsOnlyWhenTheSoundDid)
{
    SoundtrackClock clock;
    SimulatedRoute route;
    clock.Start(0, 0, true);
    PlayFrames(clock, route, 0, 2'000'000, 0);

    // The route's delay grows by 15 ms (less than a frame's jump): the clock bends its rate
    // toward it, no step beyond the slew, and is there within a second and a half.
    route.latencyUs += 15000;
    Played run = PlayFrames(clock, route, 2'000'000 + kFrameUs, 4'000'000, 3'500'000);
    EXPECT_LE(run.largestStepOffUs, kSlewedStepUs);
    EXPECT_LE(run.largestErrorUs, 1500);

    // One report 60 ms off, alone, is the route's hiccup: nothing moves.
    const int64_t t = 4'000'000 + kFrameUs;
    const int64_t before = clock.TimeUs(t);
    clock.BlockHanded(0, AudioTiming{t, route.DelayUs(t) + 60000, true});
    EXPECT_EQ(clock.TimeUs(t), before);

    // The sound stood still for 300 ms while the route went on reporting (its server was
    // starved): the clock jumps back to it at the second report, once, and follows it again.
    const int64_t stoodUs = 4'500'000;
    const auto playing = route.heardUs;
    route.heardUs = [playing, stoodUs](int64_t at) { return playing(at < stoodUs ? at : at - 300000); };
    run = PlayFrames(clock, route, t + kFrameUs, 6'000'000, 4'600'000);
    EXPECT_EQ(clock.Jumps(), 1);
    EXPECT_LE(run.largestErrorUs, 1500);
}

TEST(SoundtrackClock, RunsOnWhileTheCallbacksStarveButNeverPastTheFramesHanded)
{
    SoundtrackClock clock;
    clock.Start(0, 0, true);
    clock.BlockHanded(kBlock, AudioTiming{0, 0, true});
    clock.BlockHanded(kBlock, AudioTiming{kBlockUs, 0, true});
    // No callback for a long while: the picture runs on the steady clock through what was
    // handed, then stops there, since nothing later can be heard.
    EXPECT_EQ(clock.TimeUs(kBlockUs + 10000), kBlockUs + 10000);
    EXPECT_EQ(clock.TimeUs(10'000'000), 2 * kBlock * 1000000 / 44100);
}

TEST(SoundtrackClock, TheExtraDelayMovesThePictureOnlyAndAPauseResumesTheSoundWhereItStopped)
{
    for (const int64_t extraUs : {int64_t{100000}, int64_t{-100000}}) {
        SCOPED_TRACE(extraUs);
        SoundtrackClock clock;
        clock.SetExtraDelayUs(extraUs);
        SimulatedRoute route;
        route.cardPpm = 0;
        clock.Start(60000, 0, true);
        route.streamUs = 60'000'000;
        route.RunTo(clock, 3'000'000);
        // The picture waits for the extra delay, or goes ahead by it.
        EXPECT_NEAR(clock.TimeUs(3'000'000), route.heardUs(3'000'000) - extraUs, 1500);

        // Paused, the stream goes back to the sound heard last, not to the picture's time: a
        // negative delay would skip music at every pause, a positive one repeat it.
        const SoundtrackClock::Held held = clock.Pause(3'000'000);
        EXPECT_NEAR(held.pictureMs, clock.TimeUs(3'000'000) / 1000, 1);
        EXPECT_NEAR(held.streamMs, held.pictureMs + extraUs / 1000, 2);
        EXPECT_EQ(clock.TimeUs(9'000'000), held.pictureMs * int64_t{1000});

        // Resumed, the device takes the stream from there again; the picture holds until that
        // sound is heard and then goes on from where it stood, without a jump.
        clock.Resume(10'000'000);
        SimulatedRoute resumed;
        resumed.cardPpm = 0;
        resumed.startUs = 10'000'000;
        resumed.streamUs = held.streamMs * int64_t{1000};
        resumed.RunTo(clock, 10'050'000);
        EXPECT_EQ(clock.TimeUs(10'050'000), held.pictureMs * int64_t{1000});
        resumed.RunTo(clock, 10'300'000);
        EXPECT_NEAR(clock.TimeUs(10'300'000), held.pictureMs * int64_t{1000} + 200000, 1500);
    }
}

TEST(SoundtrackClock, ALostSoundLeavesThePictureRunningAndComesBackInStepWithIt)
{
    SoundtrackClock clock;
    clock.SetExtraDelayUs(30000);
    SimulatedRoute route;
    clock.Start(0, 0, true);
    PlayFrames(clock, route, 0, 3'000'000, 0);

    // The route fails: no more blocks. The picture runs on from where it stood, frame by
    // frame, past everything that was handed, instead of stopping there.
    const int64_t lostUs = 3'000'000 + kFrameUs;
    const int64_t before = clock.TimeUs(lostUs);
    clock.SoundLost(lostUs);
    EXPECT_TRUE(clock.SoundIsLost());
    EXPECT_EQ(clock.TimeUs(lostUs), before);
    EXPECT_EQ(clock.TimeUs(lostUs + 6'000'000), before + 6'000'000);
    clock.BlockHanded(kBlock, AudioTiming{lostUs + 100, 0, true}); // a late block of the dead route
    EXPECT_EQ(clock.TimeUs(lostUs + 6'000'000), before + 6'000'000);

    // The route opens again 6 s later with 200 ms of buffer: the stream resumes where the
    // picture will be when its first block is heard, and the picture neither holds nor jumps
    // while the sound comes in, then follows it.
    const int64_t backUs = lostUs + 6'000'000;
    const int64_t streamUs = clock.SoundBack(backUs, 200000);
    EXPECT_FALSE(clock.SoundIsLost());
    EXPECT_EQ(streamUs, before + 6'000'000 + 30000 + 200000);
    SimulatedRoute back;
    back.startUs = backUs;
    back.streamUs = streamUs;
    back.latencyUs = 190000; // its first report says a little less than expected
    const Played run = PlayFrames(clock, back, backUs, backUs + 3'000'000, backUs + 2'000'000);
    EXPECT_LE(run.largestStepOffUs, kSlewedStepUs);
    EXPECT_NEAR(run.largestErrorUs, 30000, 1500); // the picture waits the extra delay
    EXPECT_EQ(clock.Jumps(), 0);

    // A player that reports what it plays has no ceiling of frames handed: it runs on between
    // reports as far as they say.
    SoundtrackClock reported;
    reported.Start(10000, 0, true);
    for (int64_t t = 100'000; t <= 1'000'000; t += 100'000) reported.PositionHeard(10'000'000 + t - 100'000, t);
    EXPECT_NEAR(reported.TimeUs(3'000'000), 10'000'000 + 2'900'000, 1000);
    // Lost while paused, it comes back to resume from the held place.
    reported.Pause(3'000'000);
    reported.SoundLost(3'500'000);
    EXPECT_NEAR(reported.SoundBack(4'000'000, 200000), 12'900'000, 1000);
    EXPECT_TRUE(reported.Paused());
}

// A device without a buffer: a block every block's time from fromUs to toUs, each heard as
// it is handed.
void HandBlocks(SoundtrackClock& clock, int64_t fromUs, int64_t toUs)
{
    for (int64_t k = 0; fromUs + FramesUs(k * kBlock) <= toUs; ++k)
        clock.BlockHanded(kBlock, AudioTiming{fromUs + FramesUs(k * kBlock), 0, true});
}

TEST(SoundtrackClock, SeeksMoveTheClockAnywherePausedOrPlaying)
{
    SoundtrackClock clock;
    clock.Seek(5000, 0); // before Start there is nothing to move
    EXPECT_EQ(clock.TimeMs(0), 0);
    clock.Start(0, 0, true);
    HandBlocks(clock, 0, 500'000);
    const int32_t paused = clock.Pause(500'000).pictureMs;
    EXPECT_NEAR(paused, 500, 1);
    clock.BlockHanded(kBlock, AudioTiming{600'000, 0, true}); // taken as the device stopped: not counted
    EXPECT_EQ(clock.TimeMs(9'000'000), paused);
    clock.Seek(60000, 9'000'000); // paused, a seek moves the held time only
    EXPECT_TRUE(clock.Paused());
    EXPECT_EQ(clock.TimeMs(9'500'000), 60000);
    clock.Resume(10'000'000);
    EXPECT_EQ(clock.TimeMs(10'500'000), 60000); // until the device takes the first blocks
    HandBlocks(clock, 10'500'000, 11'000'000);
    EXPECT_NEAR(clock.TimeMs(11'000'000), 60500, 1);
    clock.Seek(3000, 11'000'000); // back: the clock goes back with the music
    EXPECT_EQ(clock.TimeMs(11'000'000), 3000);
    HandBlocks(clock, 11'010'000, 11'260'000);
    EXPECT_NEAR(clock.TimeMs(11'260'000), 3250, 1);
    EXPECT_EQ(clock.Jumps(), 0);

    // Without a device the steady clock runs, pauses and seeks alike, and ignores the delay.
    SoundtrackClock steady;
    steady.SetExtraDelayUs(300000);
    steady.Start(1000, 2'000'000, false);
    EXPECT_EQ(steady.TimeMs(2'250'000), 1250);
    const SoundtrackClock::Held held = steady.Pause(3'000'000);
    EXPECT_EQ(held.pictureMs, 2000);
    EXPECT_EQ(held.streamMs, 2000);
    EXPECT_EQ(steady.TimeMs(9'000'000), 2000);
    steady.Resume(9'000'000);
    steady.Seek(200000, 9'500'000);
    EXPECT_EQ(steady.TimeMs(10'000'000), 200500);
}

} // namespace
