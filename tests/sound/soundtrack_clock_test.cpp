// The music clock, driven by a fake device: blocks handed at chosen steady-clock times.
#include "sound/soundtrack_clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int64_t kBlock = 1024;                  // frames a callback
constexpr int64_t kBlockUs = kBlock * 1000000 / 44100; // about 23.2 ms

TEST(SoundtrackClock, IsZeroBeforeStartAndHoldsUntilTheDeviceTakesSamples)
{
    SoundtrackClock clock;
    EXPECT_EQ(clock.TimeMs(5'000'000), 0);
    clock.Start(0, 1'000'000, true);
    EXPECT_EQ(clock.TimeMs(1'500'000), 0);
}

TEST(SoundtrackClock, FollowsTheHandedSamplesSmoothlyAndMonotonically)
{
    SoundtrackClock clock;
    clock.Start(0, 0, true);
    int64_t now = 0;
    int32_t previous = 0;
    int largestStep = 0;
    for (int block = 0; block < 400; ++block) {
        clock.FramesHanded(kBlock, now);
        // The main loop reads the clock every 4 ms between callbacks.
        for (int64_t t = now; t < now + kBlockUs; t += 4000) {
            const int32_t ms = clock.TimeMs(t);
            ASSERT_GE(ms, previous);
            largestStep = std::max(largestStep, ms - previous);
            previous = ms;
            // Within 30 ms of the samples handed to the device so far.
            const double handedMs = (block + 1) * kBlock * 1000.0 / 44100.0;
            EXPECT_LE(ms, handedMs);
            EXPECT_GE(ms, handedMs - 30.0);
        }
        now += kBlockUs;
    }
    EXPECT_LE(largestStep, 6); // no callback-sized (23 ms) jumps
    EXPECT_NEAR(previous, 400 * kBlockUs / 1000.0, 25.0);
}

TEST(SoundtrackClock, FollowsWhatIsHeardThroughTheDeviceBufferAndTheSystemsDelay)
{
    // A device that buffers one block and a mixer behind it that holds another 2048 frames
    // (46 ms): a block handed at callback k is heard from the time of callback k + 1 plus the
    // mixer's delay. The callbacks come a little early or late (up to 2 ms either way).
    constexpr int64_t kMixerFrames = 2048;
    SoundtrackClock clock;
    clock.SetOutputDelay(kBlock + kMixerFrames);
    clock.Start(60000, 0, true);
    auto heardMs = [&](int64_t nowUs) {
        const int64_t frames = nowUs * 44100 / 1000000 - kBlock - kMixerFrames;
        return 60000 + std::max<int64_t>(0, frames) * 1000.0 / 44100;
    };
    int32_t previous = 60000;
    int largestStep = 0;
    double largestError = 0;
    for (int block = 0; block < 300; ++block) {
        const int64_t due = block * kBlock * 1000000 / 44100;
        const int64_t jitter = (block * 7919 % 5 - 2) * 1000;
        clock.FramesHanded(kBlock, std::max<int64_t>(0, due + jitter));
        const int64_t next = (block + 1) * kBlock * 1000000 / 44100 + ((block + 1) * 7919 % 5 - 2) * 1000;
        for (int64_t t = std::max<int64_t>(0, due + jitter); t < next; t += 4000) {
            const int32_t ms = clock.TimeMs(t);
            ASSERT_GE(ms, previous);
            largestStep = std::max(largestStep, ms - previous);
            previous = ms;
            largestError = std::max(largestError, std::fabs(ms - heardMs(t)));
        }
    }
    // Nothing is heard for the first 70 ms (the picture holds its first frame), then the
    // clock follows the sound within the callbacks' jitter and the millisecond's rounding.
    EXPECT_LE(largestError, 4.0);
    EXPECT_LE(largestStep, 6);
    // Without a device the delay means nothing: the steady clock runs as before.
    SoundtrackClock steady;
    steady.SetOutputDelay(kBlock + kMixerFrames);
    steady.Start(1000, 0, false);
    EXPECT_EQ(steady.TimeMs(250'000), 1250);
}

TEST(SoundtrackClock, StopsAtTheHandedSamplesWhenTheDeviceStallsAndNeverGoesBack)
{
    SoundtrackClock clock;
    clock.Start(0, 0, true);
    clock.FramesHanded(kBlock, 0);
    const int32_t stalled = clock.TimeMs(10'000'000);
    EXPECT_EQ(stalled, 23); // 1024 frames
    clock.FramesHanded(kBlock, 10'000'000);
    EXPECT_EQ(clock.TimeMs(10'000'000), 23); // the new block has not played yet
    EXPECT_EQ(clock.TimeMs(5'000'000), 23);  // an earlier reading cannot go back
}

TEST(SoundtrackClock, StartsFromTheSeekPosition)
{
    SoundtrackClock clock;
    clock.Start(300000, 0, true);
    EXPECT_EQ(clock.TimeMs(0), 300000);
    clock.FramesHanded(44100, 0);
    EXPECT_EQ(clock.TimeMs(500'000), 300500);
}

TEST(SoundtrackClock, RunsOnTheSteadyClockWithoutADevice)
{
    SoundtrackClock clock;
    clock.Start(1000, 2'000'000, false);
    EXPECT_EQ(clock.TimeMs(2'000'000), 1000);
    EXPECT_EQ(clock.TimeMs(2'250'000), 1250);
    EXPECT_EQ(clock.TimeMs(7'000'000), 6000);
    EXPECT_EQ(clock.TimeMs(3'000'000), 6000); // monotonic even if asked out of order
}

TEST(SoundtrackClock, PausedItHoldsResumedOrSeekedItFollowsTheDeviceFromThere)
{
    SoundtrackClock clock;
    clock.Seek(5000, 0); // before Start there is nothing to move
    EXPECT_EQ(clock.TimeMs(0), 0);
    clock.Start(0, 0, true);
    clock.FramesHanded(44100, 0);
    const int32_t held = clock.Pause(500'000);
    EXPECT_EQ(held, 500);
    clock.FramesHanded(kBlock, 600'000); // a block taken as the device stopped does not count
    EXPECT_EQ(clock.TimeMs(9'000'000), 500);
    clock.Seek(60000, 9'000'000); // paused, a seek moves the held time only
    EXPECT_TRUE(clock.Paused());
    EXPECT_EQ(clock.TimeMs(9'500'000), 60000);
    clock.Resume(10'000'000);
    EXPECT_EQ(clock.TimeMs(10'500'000), 60000); // until the device takes the first block
    clock.FramesHanded(44100, 10'500'000);
    EXPECT_EQ(clock.TimeMs(11'000'000), 60500);
    clock.Seek(3000, 11'000'000); // back: the clock goes back with the music
    EXPECT_EQ(clock.TimeMs(11'000'000), 3000);
    clock.FramesHanded(44100, 11'010'000);
    EXPECT_EQ(clock.TimeMs(11'260'000), 3250);

    // Without a device the steady clock pauses and seeks alike.
    SoundtrackClock steady;
    steady.Start(0, 0, false);
    EXPECT_EQ(steady.Pause(1'000'000), 1000);
    EXPECT_EQ(steady.TimeMs(9'000'000), 1000);
    steady.Resume(9'000'000);
    steady.Seek(200000, 9'500'000);
    EXPECT_EQ(steady.TimeMs(10'000'000), 200500);
}

} // namespace
