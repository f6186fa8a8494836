// True-peak look-ahead limiter (see limiter.h).
#include "music/limiter.h"

#include "music/oscillators.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace music {
namespace {

constexpr int kOversampling = 4;
constexpr int kTaps = 16; // per interpolated point: 8 samples each side
constexpr size_t kLookAheadFrames = 88;  // 2 ms: the attack
constexpr float kReleaseSeconds = 0.12f;

using Phase = std::array<float, kTaps>;

// Windowed-sinc weights for the points 1/4, 2/4 and 3/4 of the way from x[n] to x[n+1],
// applied to x[n-7] .. x[n+8].
std::array<Phase, kOversampling - 1> InterpolationPhases()
{
    std::array<Phase, kOversampling - 1> phases{};
    for (int p = 1; p < kOversampling; ++p) {
        const float fraction = static_cast<float>(p) / kOversampling;
        for (int j = 0; j < kTaps; ++j) {
            const float d = static_cast<float>(j - kTaps / 2 + 1) - fraction;
            const float sinc = std::sin(3.14159265f * d) / (3.14159265f * d);
            const float w = 0.42f + 0.5f * std::cos(3.14159265f * d / (kTaps / 2)) +
                            0.08f * std::cos(2.0f * 3.14159265f * d / (kTaps / 2));
            phases[p - 1][j] = sinc * w;
        }
    }
    return phases;
}

// Per frame: the peak of the channel at the frame and between it and its neighbours.
void AccumulatePeaks(const float* x, size_t frames, std::vector<float>& peaks)
{
    static const auto phases = InterpolationPhases();
    for (size_t n = 0; n < frames; ++n) {
        float peak = std::fabs(x[n]);
        if (n >= kTaps / 2 - 1 && n + kTaps / 2 < frames) {
            const float* window = x + n - (kTaps / 2 - 1);
            for (const Phase& phase : phases) {
                float sum = 0.0f;
                for (int j = 0; j < kTaps; ++j) sum += phase[j] * window[j];
                peak = std::max(peak, std::fabs(sum));
            }
        }
        // The points between n and n+1 belong to both frames.
        peaks[n] = std::max(peaks[n], peak);
        if (n + 1 < frames) peaks[n + 1] = std::max(peaks[n + 1], peak);
    }
}

std::vector<float> FramePeaks(const float* left, const float* right, size_t frames)
{
    std::vector<float> peaks(frames, 0.0f);
    AccumulatePeaks(left, frames, peaks);
    AccumulatePeaks(right, frames, peaks);
    return peaks;
}

// out[n] = min(in[n .. n+window-1]), in linear time from block prefix and suffix minima.
std::vector<float> ForwardMinimum(const std::vector<float>& in, size_t window)
{
    const size_t n = in.size();
    std::vector<float> prefix(n), suffix(n), out(n);
    for (size_t i = 0; i < n; ++i) prefix[i] = (i % window == 0) ? in[i] : std::min(prefix[i - 1], in[i]);
    for (size_t i = n; i-- > 0;) {
        const bool blockEnd = (i + 1) % window == 0 || i + 1 == n;
        suffix[i] = blockEnd ? in[i] : std::min(suffix[i + 1], in[i]);
    }
    for (size_t i = 0; i < n; ++i) out[i] = std::min(suffix[i], prefix[std::min(i + window - 1, n - 1)]);
    return out;
}

} // namespace

float TruePeak(const float* left, const float* right, size_t frames)
{
    const std::vector<float> peaks = FramePeaks(left, right, frames);
    return peaks.empty() ? 0.0f : *std::max_element(peaks.begin(), peaks.end());
}

void LimitTruePeak(float* left, float* right, size_t frames, float ceiling)
{
    std::vector<float> required = FramePeaks(left, right, frames);
    for (float& gain : required) gain = gain > ceiling ? ceiling / gain : 1.0f;

    // Falling ahead of each peak, then recovering no faster than the release: every value
    // stays at or under what the frames of the next look-ahead window require.
    std::vector<float> held = ForwardMinimum(required, kLookAheadFrames);
    const float recover = 1.0f - std::exp(-1.0f / (kReleaseSeconds * kSampleRate));
    for (size_t i = 1; i < frames; ++i) held[i] = std::min(held[i], held[i - 1] + recover * (1.0f - held[i - 1]));

    // A moving average over the look-ahead window of the held gain: smooth, and still no
    // more than required[n], since every value averaged for frame n looked ahead to n.
    double sum = 0.0;
    for (size_t i = 0; i < frames; ++i) {
        sum += held[i];
        if (i >= kLookAheadFrames) sum -= held[i - kLookAheadFrames];
        const size_t count = std::min(i + 1, kLookAheadFrames);
        const float gain = std::min(required[i], static_cast<float>(sum / static_cast<double>(count)));
        left[i] = std::clamp(left[i] * gain, -ceiling, ceiling);
        right[i] = std::clamp(right[i] * gain, -ceiling, ceiling);
    }
}

} // namespace music
