// The soundtrack in a copy of the generated data, missing, not a file, not Vorbis, cut short
// or damaged while it plays: a warning names the file and the fault and the piece goes on,
// never waiting on a FIFO. Files of other rates and channel counts play converted, at their
// own speed, which is what the device clock counts.
#include "support/commands.h"
#include "support/gl_context.h"

#include "base/files.h"
#include "music/encoders.h"
#include "sound/soundtrack.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <fcntl.h>
#include <future>
#include <thread>
#include <unistd.h>

namespace {

const std::string kSoundtrack = "data\\soundtrack.ogg";

// `seconds` of a tone of frequencies[c] on channel c (0 Hz: silence) at `rate`, as Ogg Vorbis.
std::vector<uint8_t> EncodeTones(int rate, const std::vector<double>& frequencies, double seconds)
{
    const int channels = static_cast<int>(frequencies.size());
    std::vector<float> samples;
    for (int i = 0; i < static_cast<int>(seconds * rate); ++i)
        for (int c = 0; c < channels; ++c)
            samples.push_back(0.3f * static_cast<float>(std::sin(2 * M_PI * frequencies[c] * i / rate)));
    return music::EncodeOggVorbis(samples, 0.4f, [](double) {}, channels, rate);
}

// The Ogg pages of a stream moved to another serial number (each page's checksum made anew),
// so that it can follow another stream as the next link of a chained file.
std::vector<uint8_t> WithSerial(std::vector<uint8_t> ogg, uint32_t serial)
{
    auto crc = [](const uint8_t* data, size_t size) {
        uint32_t value = 0;
        for (size_t i = 0; i < size; ++i) {
            value ^= static_cast<uint32_t>(data[i]) << 24;
            for (int bit = 0; bit < 8; ++bit) value = value & 0x80000000u ? (value << 1) ^ 0x04C11DB7u : value << 1;
        }
        return value;
    };
    for (size_t page = 0; page + 27 <= ogg.size();) {
        const size_t segments = ogg[page + 26];
        size_t size = 27 + segments;
        for (size_t i = 0; i < segments; ++i) size += ogg[page + 27 + i];
        for (int i = 0; i < 4; ++i) ogg[page + 14 + i] = static_cast<uint8_t>(serial >> (8 * i));
        for (int i = 0; i < 4; ++i) ogg[page + 22 + i] = 0;
        const uint32_t sum = crc(ogg.data() + page, size);
        for (int i = 0; i < 4; ++i) ogg[page + 22 + i] = static_cast<uint8_t>(sum >> (8 * i));
        page += size;
    }
    return ogg;
}

struct DeviceSound {
    std::vector<int16_t> left, right;
};

// Everything the device would be handed from the stream, split into its two channels.
DeviceSound DecodeAll(SoundtrackStream* stream)
{
    DeviceSound sound;
    int16_t block[2 * 1024];
    for (int frames; (frames = DecodeDeviceFrames(stream, block, 1024)) > 0;) {
        for (int f = 0; f < frames; ++f) {
            sound.left.push_back(block[2 * f]);
            sound.right.push_back(block[2 * f + 1]);
        }
    }
    return sound;
}

// Rising zero crossings a second over the middle half of the samples (44100 a second).
double Frequency(const std::vector<int16_t>& samples)
{
    const size_t begin = samples.size() / 4, end = samples.size() * 3 / 4;
    int rising = 0;
    for (size_t i = begin + 1; i < end; ++i)
        if (samples[i - 1] < 0 && samples[i] >= 0) ++rising;
    return rising * 44100.0 / static_cast<double>(end - begin);
}

double Loudness(const std::vector<int16_t>& samples)
{
    double sum = 0;
    for (const int16_t sample : samples) sum += static_cast<double>(sample) * sample;
    return samples.empty() ? 0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

class DamagedSoundtrack : public ::testing::Test {
protected:
    void SetUp() override { SetDataRoot(m_data.Root().string()); }
    void TearDown() override { SetDataRoot("."); }
    // Opens the soundtrack as the start-up does, giving up (and failing) after five seconds.
    SoundtrackStream* OpenWithin5Seconds()
    {
        auto opening = std::async(std::launch::async, [] { return OpenSoundStream(kSoundtrack); });
        if (opening.wait_for(std::chrono::seconds(5)) == std::future_status::ready) return opening.get();
        ADD_FAILURE() << "opening the soundtrack waits on it";
        // Let a reader blocked on a FIFO go, so the test can end.
        const int writer = ::open(m_data.Path("Data/soundtrack.ogg").c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) ::close(writer);
        return opening.get();
    }
    DataCopy m_data;
    CapturedWarnings m_warnings;
};

TEST_F(DamagedSoundtrack, WhatCannotBePlayedIsNamedAndThePieceGoesOnSilently)
{
    const std::vector<uint8_t> geox = m_data.Original("Data/plane.geox");
    const struct {
        const char* damage;
        std::function<void()> apply;
        const char* fault;
    } cases[] = {
        {"a FIFO", [&] { m_data.ReplaceWithFifo("Data/soundtrack.ogg"); }, "cannot open (not a regular file)"},
        {"a folder", [&] { m_data.ReplaceWithFolder("Data/soundtrack.ogg"); }, "cannot open (it is a directory)"},
        {"missing", [&] { m_data.Remove("Data/soundtrack.ogg"); }, "missing"},
        {"not Vorbis", [&] { m_data.Replace("Data/soundtrack.ogg", geox); }, "not an Ogg Vorbis file"},
        {"only its first page", [&] {
             const std::vector<uint8_t> ogg = m_data.Original("Data/soundtrack.ogg");
             m_data.Replace("Data/soundtrack.ogg", std::vector<uint8_t>(ogg.begin(), ogg.begin() + 58));
         }, "Ogg without complete Vorbis headers (damaged or cut short)"},
    };
    for (const auto& test : cases) {
        test.apply();
        m_warnings.warnings.clear();
        EXPECT_EQ(OpenWithin5Seconds(), nullptr) << test.damage;
        EXPECT_EQ(m_warnings.About(kSoundtrack), kSoundtrack + ": " + test.fault +
                                                     "; the piece plays silently on the same clock")
            << test.damage;
    }
}

TEST_F(DamagedSoundtrack, ACutShortFilePlaysWhatItHasAndSaysItIsShort)
{
    const std::vector<uint8_t> ogg = m_data.Original("Data/soundtrack.ogg");
    m_data.Replace("Data/soundtrack.ogg", std::vector<uint8_t>(ogg.begin(), ogg.begin() + 200000));
    SoundtrackStream* stream = OpenWithin5Seconds();
    ASSERT_NE(stream, nullptr);
    const std::string warning = m_warnings.About(kSoundtrack);
    EXPECT_EQ(warning.rfind(kSoundtrack + ": lasts ", 0), 0u) << warning;
    EXPECT_NE(warning.find(", the piece 307.9 s (cut short?); the rest plays silently"), std::string::npos) << warning;
    EXPECT_GT(DecodeAll(stream).left.size(), 44100u) << "what is there still plays";
    CloseSoundStream(stream);
}

TEST_F(DamagedSoundtrack, OtherRatesAndChannelCountsPlayAtTheirOwnSpeed)
{
    const struct {
        int rate;
        std::vector<double> tones; // by channel, in the file's layout
        double left, right;        // the tones heard on each side
    } cases[] = {
        {22050, {440}, 440, 440},
        {48000, {440, 660}, 440, 660},
        {44100, {0, 0, 0, 550}, 0, 550},             // quad: rear right only, mixed but not resampled
        {22050, {550, 0, 0, 0, 0, 0}, 550, 0},       // 5.1: front left only
        {32000, {0, 0, 330, 0, 0, 0, 0, 0}, 0, 330}, // 7.1: front right only
    };
    for (const auto& test : cases) {
        const std::string name = std::to_string(test.rate) + " Hz, " + std::to_string(test.tones.size()) + " channels";
        m_data.Replace("Data/soundtrack.ogg", EncodeTones(test.rate, test.tones, 2.0));
        SoundtrackStream* stream = OpenSoundStream(kSoundtrack);
        ASSERT_NE(stream, nullptr) << name;
        const DeviceSound sound = DecodeAll(stream);
        // Two seconds of music are two seconds of device frames, which is what the clock counts.
        EXPECT_NEAR(static_cast<double>(sound.left.size()), 2.0 * 44100, 0.01 * 2 * 44100) << name;
        for (const auto& [samples, tone, side] :
             {std::tuple{&sound.left, test.left, "left"}, std::tuple{&sound.right, test.right, "right"}}) {
            if (tone == 0) {
                EXPECT_LT(Loudness(*samples), 100) << name << ": the " << side << " side is silent";
            } else {
                EXPECT_NEAR(Frequency(*samples), tone, 0.02 * tone) << name << ", " << side;
                EXPECT_GT(Loudness(*samples), 2000) << name << ", " << side;
            }
        }
        CloseSoundStream(stream);
    }
}

TEST_F(DamagedSoundtrack, AChainedFileThatChangesItsLayoutPartWayStopsThere)
{
    std::vector<uint8_t> chained = EncodeTones(44100, {440, 440}, 1.0);
    const std::vector<uint8_t> mono = WithSerial(EncodeTones(22050, {440}, 1.0), 0x600D);
    chained.insert(chained.end(), mono.begin(), mono.end());
    m_data.Replace("Data/soundtrack.ogg", chained);
    SoundtrackStream* stream = OpenSoundStream(kSoundtrack);
    ASSERT_NE(stream, nullptr);
    // The mono second would otherwise be taken for stereo and play half as long, an octave up.
    EXPECT_NEAR(static_cast<double>(DecodeAll(stream).left.size()), 44100, 0.01 * 44100);
    CloseSoundStream(stream);
}

TEST_F(DamagedSoundtrack, DamageMetWhilePlayingIsSkippedAndSaidOnce)
{
    std::vector<uint8_t> ogg = EncodeTones(44100, {440, 440}, 8.0);
    // Garbage in a page in the middle (its sound starts 1.6 s in) breaks that page; the pages
    // around it stay whole.
    for (size_t i = ogg.size() * 4 / 10; i < ogg.size() * 4 / 10 + 40; ++i) ogg[i] ^= 0x55;
    m_data.Replace("Data/soundtrack.ogg", ogg);
    ASSERT_TRUE(InitSound()) << "SDL_AUDIODRIVER=dummy gives a device";
    SoundStream = OpenSoundStream(kSoundtrack);
    ASSERT_NE(SoundStream, nullptr);
    PlaySoundStream(0, SoundStream, 0);
    int32_t ms = 0;
    for (int wait = 0; wait < 80 && m_warnings.About(kSoundtrack).find("damaged data") == std::string::npos; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ms = SoundStreamTimeMs(SoundStream);
    }
    EXPECT_NE(m_warnings.About(kSoundtrack).find("damaged data near "), std::string::npos) << m_warnings.About(kSoundtrack);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_GT(SoundStreamTimeMs(SoundStream), ms) << "the clock runs on";
    const size_t count = m_warnings.warnings.size();
    SoundStreamTimeMs(SoundStream);
    EXPECT_EQ(m_warnings.warnings.size(), count) << "said once";
    PlaySoundStream(0, nullptr, 0);
    CloseSoundStream(SoundStream);
    CloseSound();
}

} // namespace
