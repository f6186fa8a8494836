// The synthesiser's building blocks where a fault would hide in the finished track:
// filter response at the cutoff, aliasing of the band-limited oscillators, the true-peak
// ceiling of the master limiter, and the beat grid's sample positions.
#include "audio_analysis.h"
#include "music/filters.h"
#include "music/limiter.h"
#include "music/oscillators.h"
#include "music/score.h"

#include <ebur128.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

using music::kSampleRate;

double Db(double ratio) { return 20.0 * std::log10(ratio); }

// Steady-state gain of a filter for a sine: peak of the output over its last quarter.
template <typename FilterFn>
double SineGain(double hz, FilterFn filter)
{
    const int frames = kSampleRate;
    double peak = 0.0;
    for (int i = 0; i < frames; ++i) {
        const float y = filter(static_cast<float>(std::sin(2.0 * M_PI * hz * i / kSampleRate)));
        if (i > frames * 3 / 4) peak = std::max(peak, std::fabs(static_cast<double>(y)));
    }
    return peak;
}

TEST(StateVariableFilter, GainAtAndAboveTheCutoff)
{
    for (float q : {0.7071f, 4.0f}) {
        music::StateVariableFilter low, high;
        low.SetCutoff(1000.0f, q);
        high.SetCutoff(1000.0f, q);
        // Low- and high-pass both pass the cutoff at gain q: -3 dB when flat, +12 dB at q 4.
        EXPECT_NEAR(Db(SineGain(1000.0, [&](float x) { return low.Lowpass(x); })), Db(q), 0.1) << "q " << q;
        EXPECT_NEAR(Db(SineGain(1000.0, [&](float x) { return high.Highpass(x); })), Db(q), 0.1) << "q " << q;
    }
    // Two poles: about -12 dB an octave above the cutoff, flat an octave and more below.
    music::StateVariableFilter low;
    low.SetCutoff(1000.0f, 0.7071f);
    EXPECT_NEAR(Db(SineGain(2000.0, [&](float x) { return low.Lowpass(x); })), -12.3, 0.7);
    music::StateVariableFilter flat;
    flat.SetCutoff(1000.0f, 0.7071f);
    EXPECT_NEAR(Db(SineGain(200.0, [&](float x) { return flat.Lowpass(x); })), 0.0, 0.1);
    // The band-pass is normalised to unity at its centre.
    music::StateVariableFilter band;
    band.SetCutoff(1000.0f, 3.0f);
    EXPECT_NEAR(Db(SineGain(1000.0, [&](float x) { return band.Bandpass(x); })), 0.0, 0.1);
}

// Share of a saw's power that lies away from its harmonics (folded-back partials), dB.
double AliasedPowerDb(const std::vector<float>& wave, double hz)
{
    const std::vector<double> power = analysis::PowerSpectrum(wave.data(), wave.size());
    const double binHz = static_cast<double>(kSampleRate) / static_cast<double>(wave.size());
    double harmonic = 0.0, aliased = 0.0;
    for (size_t k = 1; k < power.size(); ++k) {
        const double f = static_cast<double>(k) * binHz;
        const double nearest = std::round(f / hz) * hz;
        (std::fabs(f - nearest) <= 6.0 * binHz && nearest > 0.0 ? harmonic : aliased) += power[k];
    }
    return 10.0 * std::log10(aliased / harmonic);
}

TEST(BlepOscillator, SawAliasingStaysLow)
{
    constexpr size_t kFrames = 16384;
    for (float hz : {440.0f, 1760.0f, 3520.0f}) {
        music::BlepOscillator saw;
        saw.SetFrequency(hz);
        std::vector<float> blep(kFrames), naive(kFrames);
        double phase = 0.0;
        for (size_t i = 0; i < kFrames; ++i) {
            blep[i] = saw.Saw();
            naive[i] = static_cast<float>(2.0 * phase - 1.0);
            phase += hz / kSampleRate;
            phase -= std::floor(phase);
        }
        const double blepDb = AliasedPowerDb(blep, hz), naiveDb = AliasedPowerDb(naive, hz);
        // A naive ramp folds far more back; the measurement must see that difference.
        std::printf("%g Hz: aliased power %.1f dB (naive saw %.1f dB)\n", hz, blepDb, naiveDb);
        EXPECT_LT(blepDb, naiveDb - 10.0) << hz << " Hz";
        EXPECT_LT(blepDb, -25.0) << hz << " Hz";
    }
}

TEST(Limiter, HoldsTheTruePeakCeilingAndLeavesQuietPartsAlone)
{
    // A quiet tone with a burst at +6 dBFS in the middle: a sine at a quarter of the
    // sample rate, phased so its samples read 3 dB below its true peak.
    constexpr size_t kFrames = 3 * kSampleRate;
    std::vector<float> left(kFrames), right(kFrames);
    for (size_t i = 0; i < kFrames; ++i) {
        const bool burst = i >= kSampleRate && i < 2 * kSampleRate;
        const double quiet = 0.1 * std::sin(2.0 * M_PI * 440.0 * i / kSampleRate);
        left[i] = static_cast<float>(burst ? 2.0 * std::sin(M_PI / 2.0 * i + M_PI / 4.0) : quiet);
        right[i] = static_cast<float>(burst ? 2.0 * std::sin(2.0 * M_PI * 5000.0 * i / kSampleRate) : quiet);
    }
    const std::vector<float> original = left;
    const float ceiling = 0.891f; // -1 dBTP
    music::LimitTruePeak(left.data(), right.data(), kFrames, ceiling);

    std::vector<float> interleaved(2 * kFrames);
    for (size_t i = 0; i < kFrames; ++i) {
        interleaved[2 * i] = left[i];
        interleaved[2 * i + 1] = right[i];
    }
    ebur128_state* meter = ebur128_init(2, kSampleRate, EBUR128_MODE_TRUE_PEAK);
    ASSERT_NE(meter, nullptr);
    ebur128_add_frames_float(meter, interleaved.data(), kFrames);
    double peakLeft = 0.0, peakRight = 0.0;
    ebur128_true_peak(meter, 0, &peakLeft);
    ebur128_true_peak(meter, 1, &peakRight);
    ebur128_destroy(&meter);
    EXPECT_LE(Db(peakLeft), Db(ceiling) + 0.1);
    EXPECT_LE(Db(peakRight), Db(ceiling) + 0.1);
    // Limited, not crushed: the burst still reaches within 1 dB of the ceiling.
    EXPECT_GE(Db(std::max(peakLeft, peakRight)), Db(ceiling) - 1.0);
    // Before the burst (beyond the 2 ms look-ahead) the quiet tone is untouched; half a
    // second after it the release has brought the gain back within 0.1 dB.
    for (size_t i = 0; i < kSampleRate - 200; ++i) ASSERT_EQ(left[i], original[i]) << i;
    for (size_t i = 2 * kSampleRate + kSampleRate / 2; i < kFrames; ++i) {
        if (std::fabs(original[i]) > 0.05f) {
            ASSERT_NEAR(Db(left[i] / original[i]), 0.0, 0.1) << i;
        }
    }
}

TEST(BeatGrid, BeatKStartsAtRoundedFrameWithoutDrift)
{
    // round(k * 566 * 44.1) in exact integers: (k * 249606 + 5) / 10.
    for (int64_t k = 0; k <= 560; ++k) EXPECT_EQ(music::BeatToSample(static_cast<double>(k)), (k * 249606 + 5) / 10) << k;
}

} // namespace
