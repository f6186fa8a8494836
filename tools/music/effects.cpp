// Delay, reverb and side-chain ducking of the soundtrack's mix (see effects.h).
#include "music/effects.h"

#include "music/oscillators.h"

#include <algorithm>
#include <cmath>

namespace music {

PingPongDelay::PingPongDelay(size_t delayFrames, float feedback, float dampingHz)
    : m_left(delayFrames, 0.0f), m_right(delayFrames, 0.0f), m_feedback(feedback),
      m_damping(1.0f - std::exp(-kTwoPi * dampingHz / kSampleRate))
{
}

void PingPongDelay::Process(const float* inLeft, const float* inRight, float* outLeft, float* outRight, size_t frames)
{
    const size_t length = m_left.size();
    for (size_t i = 0; i < frames; ++i) {
        const float echoLeft = m_left[m_position];
        const float echoRight = m_right[m_position];
        outLeft[i] += echoLeft;
        outRight[i] += echoRight;
        m_stateLeft += m_damping * (echoRight - m_stateLeft);
        m_stateRight += m_damping * (echoLeft - m_stateRight);
        // The input enters on the left only and then crosses sides on every repeat.
        m_left[m_position] = 0.5f * (inLeft[i] + inRight[i]) + m_feedback * m_stateLeft;
        m_right[m_position] = m_feedback * m_stateRight;
        if (++m_position == length) m_position = 0;
    }
}

namespace {

constexpr std::array<size_t, 8> kCombFrames{1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr std::array<size_t, 4> kAllpassFrames{556, 441, 341, 225};
constexpr size_t kStereoSpread = 23;
constexpr float kInputGain = 0.015f;
constexpr float kAllpassFeedback = 0.5f;

} // namespace

Reverb::Reverb(float roomSize, float damping) : m_feedback(0.7f + 0.28f * roomSize), m_damping(0.4f * damping)
{
    for (size_t k = 0; k < kCombFrames.size(); ++k) {
        m_left.combs[k].buffer.assign(kCombFrames[k], 0.0f);
        m_right.combs[k].buffer.assign(kCombFrames[k] + kStereoSpread, 0.0f);
    }
    for (size_t k = 0; k < kAllpassFrames.size(); ++k) {
        m_left.allpasses[k].buffer.assign(kAllpassFrames[k], 0.0f);
        m_right.allpasses[k].buffer.assign(kAllpassFrames[k] + kStereoSpread, 0.0f);
    }
}

float Reverb::ProcessSide(Side& side, float input, float feedback, float damping)
{
    float sum = 0.0f;
    for (Comb& comb : side.combs) {
        const float delayed = comb.buffer[comb.position];
        comb.store = delayed * (1.0f - damping) + comb.store * damping;
        comb.buffer[comb.position] = input + comb.store * feedback;
        if (++comb.position == comb.buffer.size()) comb.position = 0;
        sum += delayed;
    }
    for (Allpass& allpass : side.allpasses) {
        const float delayed = allpass.buffer[allpass.position];
        allpass.buffer[allpass.position] = sum + delayed * kAllpassFeedback;
        if (++allpass.position == allpass.buffer.size()) allpass.position = 0;
        sum = delayed - sum;
    }
    return sum;
}

void Reverb::Process(const float* inLeft, const float* inRight, float* outLeft, float* outRight, size_t frames)
{
    for (size_t i = 0; i < frames; ++i) {
        const float input = (inLeft[i] + inRight[i]) * kInputGain;
        outLeft[i] += ProcessSide(m_left, input, m_feedback, m_damping);
        outRight[i] += ProcessSide(m_right, input, m_feedback, m_damping);
    }
}

std::vector<float> DuckingGain(const float* keyLeft, const float* keyRight, size_t frames, float releaseSeconds)
{
    // Peak follower with instant attack; the dip is smoothed over 3 ms so it does not click.
    const float release = std::exp(-1.0f / (releaseSeconds * kSampleRate));
    const float smooth = 1.0f - std::exp(-1.0f / (0.003f * kSampleRate));
    constexpr float kFullDuckLevel = 0.35f;
    std::vector<float> duck(frames);
    float envelope = 0.0f, gain = 1.0f;
    for (size_t i = 0; i < frames; ++i) {
        const float peak = std::max(std::fabs(keyLeft[i]), std::fabs(keyRight[i]));
        envelope = std::max(peak, envelope * release);
        const float target = 1.0f - std::min(1.0f, envelope / kFullDuckLevel);
        gain += smooth * (target - gain);
        duck[i] = gain;
    }
    return duck;
}

void ApplyDucking(const std::vector<float>& duck, float depth, float* left, float* right, size_t frames)
{
    for (size_t i = 0; i < frames; ++i) {
        const float gain = 1.0f - depth * (1.0f - duck[i]);
        left[i] *= gain;
        right[i] *= gain;
    }
}

} // namespace music
