// The finished soundtrack, as the piece will play it: written by WriteSoundtrack, decoded
// with vorbisfile and measured with libebur128 and the onset and spectrum analysis of
// audio_analysis.h. The track is rendered once for all tests (and once more to show that
// a second render gives the same bytes).
#include "audio_analysis.h"
#include "music/soundtrack.h"
#include "base/error.h"
#include "base/piece_schedule.h"
#include "support/gl_context.h"

#include <ebur128.h>
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <array>
#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>

namespace {

constexpr int32_t StartOf(std::string_view scene) { return FindScheduledScene(scene)->startMs; }
constexpr int32_t EndOf(std::string_view scene) { return FindScheduledScene(scene)->endMs; }

// Spans (ms) whose every bar starts with a kick: from the sphere through smallfall, from the
// second half of giorl through baken, meatkilla and atom, and greet.
constexpr std::array<std::array<int32_t, 2>, 4> kDownbeatKickSpansMs{
    {{StartOf("sphere"), EndOf("smallfall")},
     {StartOf("giorl") + (EndOf("giorl") - StartOf("giorl")) / 2, EndOf("baken")},
     {StartOf("meatkilla"), EndOf("atom")},
     {StartOf("greet"), EndOf("greet")}}};

std::vector<uint8_t> ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Decoded {
    long rate = 0;
    int channels = 0;
    std::vector<float> interleaved;
};

Decoded DecodeFile(const std::string& path)
{
    Decoded result;
    OggVorbis_File file;
    if (ov_fopen(path.c_str(), &file) != 0) return result;
    const vorbis_info* info = ov_info(&file, -1);
    result.rate = info->rate;
    result.channels = info->channels;
    for (;;) {
        float** pcm = nullptr;
        int section = 0;
        const long count = ov_read_float(&file, &pcm, 4096, &section);
        if (count <= 0) break;
        for (long i = 0; i < count; ++i)
            for (int c = 0; c < result.channels; ++c) result.interleaved.push_back(pcm[c][i]);
    }
    ov_clear(&file);
    return result;
}

struct Track {
    std::vector<uint8_t> ogg;
    Decoded decoded;
    std::vector<float> mono;
    std::unique_ptr<analysis::Onsets> onsets;
};

// Rendered once per test program; ctest runs each test in a program of its own, so the
// tests that need the track are few and each checks a group of related properties.
const Track& TheTrack()
{
    static const Track track = [] {
        Track t;
        TempDir dir;
        const std::string path = (dir.Path() / "soundtrack.ogg").string();
        WriteSoundtrack(path, "", false);
        t.ogg = ReadAll(path);
        t.decoded = DecodeFile(path);
        if (t.decoded.channels == 2) {
            t.mono.resize(t.decoded.interleaved.size() / 2);
            for (size_t i = 0; i < t.mono.size(); ++i)
                t.mono[i] = 0.5f * (t.decoded.interleaved[2 * i] + t.decoded.interleaved[2 * i + 1]);
        }
        t.onsets = std::make_unique<analysis::Onsets>(t.mono);
        return t;
    }();
    return track;
}

size_t MsToFrame(double ms) { return static_cast<size_t>(std::llround(ms * 44.1)); }

double RmsDb(const std::vector<float>& mono, size_t first, size_t last)
{
    double sum = 1e-20;
    for (size_t i = first; i < last; ++i) sum += double(mono[i]) * mono[i];
    return 10.0 * std::log10(sum / static_cast<double>(last - first));
}

TEST(Soundtrack, DecodesToStereo44100AtLeast308Seconds)
{
    const Track& t = TheTrack();
    ASSERT_FALSE(t.ogg.empty());
    EXPECT_EQ(t.decoded.rate, 44100);
    ASSERT_EQ(t.decoded.channels, 2);
    EXPECT_GE(static_cast<double>(t.mono.size()) / 44100.0, 308.0);

    // Loudness and true peak by an independent meter, on what a player decodes.
    ebur128_state* meter = ebur128_init(2, 44100, EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK);
    ASSERT_NE(meter, nullptr);
    ebur128_add_frames_float(meter, t.decoded.interleaved.data(), t.mono.size());
    double loudness = 0.0, peakLeft = 0.0, peakRight = 0.0;
    ebur128_loudness_global(meter, &loudness);
    ebur128_true_peak(meter, 0, &peakLeft);
    ebur128_true_peak(meter, 1, &peakRight);
    ebur128_destroy(&meter);
    EXPECT_GE(loudness, -16.0);
    EXPECT_LE(loudness, -12.0);
    EXPECT_LE(20.0 * std::log10(std::max(peakLeft, peakRight)), -1.0);

    // It ends in a fade: quieter second by second over the last eight seconds, silent at
    // the very end, and still sounding where the piece stops (80 percent into the outro).
    const size_t end = t.mono.size();
    double previous = 0.0;
    for (int s = 8; s >= 1; --s) {
        const double level = RmsDb(t.mono, end - static_cast<size_t>(s) * 44100, end - static_cast<size_t>(s - 1) * 44100);
        if (s < 8) {
            EXPECT_LT(level, previous + 0.5) << "second " << s << " before the end";
        }
        previous = level;
    }
    EXPECT_LT(RmsDb(t.mono, end - 22050, end), -70.0);
    EXPECT_GT(RmsDb(t.mono, MsToFrame(303000), MsToFrame(304300)), -40.0);
}

TEST(Soundtrack, UnwritablePathFailsAtOnceNamingTheFile)
{
    const std::string path = "/nonexistent-folder/soundtrack.ogg";
    try {
        WriteSoundtrack(path, "", false);
        FAIL() << "no error for " << path;
    } catch (const FatalError& error) {
        EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
    }
}

TEST(Soundtrack, TwoRendersWriteIdenticalBytes)
{
    const Track& t = TheTrack();
    ASSERT_FALSE(t.ogg.empty());
    TempDir dir;
    const std::string ogg = (dir.Path() / "again.ogg").string(), wav = (dir.Path() / "again.wav").string();
    WriteSoundtrack(ogg, wav, false);
    EXPECT_TRUE(ReadAll(ogg) == t.ogg);

    // The WAV written beside it is the same track: 16-bit stereo at 44100 Hz, same length.
    const std::vector<uint8_t> bytes = ReadAll(wav);
    ASSERT_GE(bytes.size(), 44u);
    const auto u16 = [&](size_t at) { return bytes[at] | (bytes[at + 1] << 8); };
    const auto u32 = [&](size_t at) { return static_cast<uint32_t>(u16(at) | (u16(at + 2) << 16)); };
    EXPECT_EQ(u16(22), 2);
    EXPECT_EQ(u32(24), 44100u);
    EXPECT_EQ(u16(34), 16);
    EXPECT_EQ(u32(40), t.mono.size() * 4);
    EXPECT_EQ(bytes.size(), 44 + t.mono.size() * 4);
}

bool InDrummedSpan(double seconds)
{
    const double ms = seconds * 1000.0;
    for (const auto& span : kDownbeatKickSpansMs)
        if (ms >= span[0] && ms < span[1]) return true;
    return false;
}

// Share of the onsets in the drummed spans that lie within 5 ms of the sixteenth grid.
double ShareOnSixteenthGrid(const std::vector<double>& onsets, int& counted)
{
    int onGrid = 0;
    counted = 0;
    for (double s : onsets) {
        if (!InDrummedSpan(s)) continue;
        ++counted;
        const double sixteenth = std::round(s * 1000.0 / 141.5);
        const double gridSeconds = static_cast<double>(std::llround(sixteenth * 141.5 * 44.1)) / 44100.0;
        if (std::fabs(s - gridSeconds) <= 0.005) ++onGrid;
    }
    return counted ? static_cast<double>(onGrid) / counted : 0.0;
}

TEST(Soundtrack, BeatIs566MsAndTheDrumsSitOnItsGrid)
{
    const Track& t = TheTrack();
    const std::vector<double>& strength = t.onsets->Strength();
    ASSERT_FALSE(strength.empty());
    // Autocorrelation of the onset strength over lags of 400 to 750 ms: the only beat
    // multiple in that range is the beat itself.
    const double hopsPerSecond = 44100.0 / analysis::Onsets::kHop;
    const size_t minLag = static_cast<size_t>(0.400 * hopsPerSecond), maxLag = static_cast<size_t>(0.750 * hopsPerSecond);
    std::vector<double> correlation(maxLag + 2, 0.0);
    for (size_t lag = minLag - 1; lag <= maxLag + 1; ++lag)
        for (size_t k = 0; k + lag < strength.size(); ++k) correlation[lag] += strength[k] * strength[k + lag];
    size_t best = minLag;
    for (size_t lag = minLag; lag <= maxLag; ++lag)
        if (correlation[lag] > correlation[best]) best = lag;
    const double a = correlation[best - 1], b = correlation[best], c = correlation[best + 1];
    const double refined = static_cast<double>(best) + 0.5 * (a - c) / (a - 2 * b + c);
    EXPECT_NEAR(refined / hopsPerSecond * 1000.0, 566.0, 0.5);

    // Every bar in the spans with a kick on the one: the strongest rise within 60 ms of
    // the bar's first frame, round(k * 566 * 44.1) for beat k = 4 * bar, lies within 5 ms
    // of it. The last bars lie as close as the first: nothing drifts.
    int bars = 0, hits = 0;
    for (const auto& span : kDownbeatKickSpansMs)
        for (int ms = span[0]; ms < span[1]; ms += 2264) {
            const int beat = ms / 566;
            const double downbeat = static_cast<double>(std::llround(beat * 566 * 44.1)) / 44100.0;
            const double onset = t.onsets->StrongestNear(downbeat, 0.060, 1.5);
            ++bars;
            if (onset >= 0.0 && std::fabs(onset - downbeat) <= 0.005) ++hits;
        }
    EXPECT_GE(hits, bars * 95 / 100) << hits << " of " << bars << " downbeats found";

    // And the onsets found in those spans fall on the sixteenth-note grid.
    int counted = 0;
    const double share = ShareOnSixteenthGrid(t.onsets->Seconds(), counted);
    EXPECT_GT(counted, 300);
    EXPECT_GE(share, 0.9) << counted << " onsets";
}

TEST(Soundtrack, ArrangementChangesAtEverySceneStart)
{
    const Track& t = TheTrack();
    for (const ScheduledScene& scene : PieceSchedule) {
        if (scene.startMs == 0) continue; // nothing plays before the first scene
        const double start = scene.startMs;
        const std::vector<double> before = analysis::OctaveBandLevels(t.mono, MsToFrame(start - 4000), MsToFrame(start - 100));
        const std::vector<double> after = analysis::OctaveBandLevels(t.mono, MsToFrame(start + 100), MsToFrame(start + 4000));
        double largest = 0.0;
        for (size_t b = 0; b < before.size(); ++b) largest = std::max(largest, std::fabs(after[b] - before[b]));
        EXPECT_GE(largest, 3.0) << "no change at " << start << " ms";
    }
}

} // namespace
