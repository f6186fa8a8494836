// The soundtrack stream on a real (dummy) audio device, with and without a file.
#include "music/encoders.h"
#include "base/files.h"
#include "sound/soundtrack.h"
#include "support/gl_context.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>

namespace {

// A few seconds of a quiet 220 Hz tone as Ogg Vorbis.
std::string EncodeTone(int rate, int channels, double seconds)
{
    std::vector<float> samples;
    for (int i = 0; i < static_cast<int>(seconds * rate); ++i)
        for (int c = 0; c < channels; ++c)
            samples.push_back(0.2f * static_cast<float>(std::sin(2 * M_PI * 220.0 * i / rate)));
    const std::vector<uint8_t> bytes = music::EncodeOggVorbis(samples, 0.3f, [](double) {}, channels, rate);
    return std::string(bytes.begin(), bytes.end());
}

TEST(Soundtrack, OpensOggFilesOfAnyLayoutAndWarnsAboutTheRest)
{
    TempDir dir;
    dir.Write("data/soundtrack.ogg", EncodeTone(44100, 2, 1.0));
    dir.Write("data/mono.ogg", EncodeTone(44100, 1, 1.0));
    dir.Write("data/slow.ogg", EncodeTone(22050, 2, 1.0));
    dir.Write("data/broken.ogg", std::string("OggS not really"));
    SetDataRoot(dir.Path().string());
    CapturedWarnings warnings;
    for (const char* file : {"data\\SOUNDTRACK.ogg", "data\\mono.ogg", "data\\slow.ogg"}) {
        // Other rates and channel counts are converted when they play.
        SoundtrackStream* stream = OpenSoundStream(file);
        EXPECT_NE(stream, nullptr) << file;
        CloseSoundStream(stream);
    }
    EXPECT_EQ(OpenSoundStream("data\\broken.ogg"), nullptr);
    EXPECT_EQ(OpenSoundStream("data\\missing.ogg"), nullptr);
    EXPECT_NE(warnings.About("data\\broken.ogg").find("Ogg without complete Vorbis headers"), std::string::npos);
    EXPECT_NE(warnings.About("data\\missing.ogg").find("missing"), std::string::npos);
    SetDataRoot(".");
}

// One program-wide device, so both cases run in one test: start-up opens it once.
TEST(Soundtrack, PlaysOnTheDeviceAndTheClockAdvancesWithOrWithoutAFile)
{
    TempDir dir;
    dir.Write("data/soundtrack.ogg", EncodeTone(44100, 2, 3.0));
    SetDataRoot(dir.Path().string());
    ASSERT_TRUE(InitSound()) << "SDL_AUDIODRIVER=dummy gives a device";

    SoundStream = OpenSoundStream("data\\soundtrack.ogg");
    ASSERT_NE(SoundStream, nullptr);
    PlaySoundStream(0, SoundStream, 1000);
    EXPECT_GE(SoundStreamTimeMs(SoundStream), 1000);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const int32_t played = SoundStreamTimeMs(SoundStream);
    EXPECT_GT(played, 1050);
    EXPECT_LT(played, 2500);

    // --av-offset reaches the picture with its sign: +1 s holds it at the start a second
    // longer than the device's delay, -1 s sets it a second ahead of the sound.
    for (const int32_t offsetMs : {1000, -1000}) {
        CloseSound();
        ASSERT_TRUE(InitSound(offsetMs));
        const auto started = std::chrono::steady_clock::now();
        PlaySoundStream(0, SoundStream, 1000);
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        const int32_t shown = SoundStreamTimeMs(SoundStream);
        const auto elapsed = static_cast<int32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                      std::chrono::steady_clock::now() - started)
                                                      .count());
        if (offsetMs > 0) {
            EXPECT_LE(shown, 1000 + std::max(0, elapsed - 1000)) << "elapsed " << elapsed;
        } else {
            EXPECT_GE(shown, 2000 + elapsed - 300) << "elapsed " << elapsed;
            EXPECT_LE(shown, 2000 + elapsed);
        }
    }

    // No file: the same clock runs from the start position, silently.
    PlaySoundStream(0, nullptr, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const int32_t silent = SoundStreamTimeMs(nullptr);
    EXPECT_GT(silent, 100);
    EXPECT_LT(silent, 2000);
    CloseSound();
    SetDataRoot(".");
}

} // namespace
