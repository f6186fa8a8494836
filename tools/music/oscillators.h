// Sound sources of the soundtrack's voices: band-limited saw and pulse oscillators
// (PolyBLEP), a sine phase accumulator and white noise from a fixed-seed generator.
// Header-only: they run once per sample in every voice.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace music {

inline constexpr int kSampleRate = 44100;
inline constexpr float kTwoPi = 6.28318530717958647692f;

inline float MidiToHz(float note) { return 440.0f * std::exp2((note - 69.0f) / 12.0f); }

// sin(2 pi cycles) from a table with linear interpolation (error below 1e-6): voices and
// drums need tens of millions of sines, and the library call dominated their cost.
inline constexpr int kSineTableSize = 4096;
inline std::array<float, kSineTableSize + 1> MakeSineTable()
{
    std::array<float, kSineTableSize + 1> table{};
    for (int i = 0; i <= kSineTableSize; ++i)
        table[static_cast<size_t>(i)] = static_cast<float>(std::sin(2.0 * 3.14159265358979323846 * i / kSineTableSize));
    return table;
}
inline const std::array<float, kSineTableSize + 1> kSineTable = MakeSineTable();

inline float SineOfCycles(float cycles)
{
    const float position = (cycles - std::floor(cycles)) * kSineTableSize;
    const int index = std::min(static_cast<int>(position), kSineTableSize - 1);
    const float fraction = position - static_cast<float>(index);
    return kSineTable[static_cast<size_t>(index)] +
           fraction * (kSineTable[static_cast<size_t>(index) + 1] - kSineTable[static_cast<size_t>(index)]);
}

// Correction that turns the unit step of a naive waveform at phase 0 into a band-limited
// step: t is the phase in [0, 1), dt the phase increment per sample.
inline float PolyBlep(float t, float dt)
{
    if (t < dt) {
        const float x = t / dt;
        return x + x - x * x - 1.0f;
    }
    if (t > 1.0f - dt) {
        const float x = (t - 1.0f) / dt;
        return x * x + x + x + 1.0f;
    }
    return 0.0f;
}

// Saw and pulse waves whose steps are smoothed by PolyBLEP, so high notes do not fold
// their harmonics back into the audible band as a naive ramp would.
class BlepOscillator {
public:
    void SetFrequency(float hz) { m_increment = hz / kSampleRate; }
    void SetPhase(float phase) { m_phase = phase - std::floor(phase); }

    float Saw()
    {
        const float value = 2.0f * m_phase - 1.0f - PolyBlep(m_phase, m_increment);
        Advance();
        return value;
    }

    // width in (0, 1): the fraction of the period spent high.
    float Pulse(float width)
    {
        float value = m_phase < width ? 1.0f : -1.0f;
        value += PolyBlep(m_phase, m_increment);
        float falling = m_phase - width;
        if (falling < 0.0f) falling += 1.0f;
        value -= PolyBlep(falling, m_increment);
        Advance();
        return value;
    }

private:
    void Advance()
    {
        m_phase += m_increment;
        if (m_phase >= 1.0f) m_phase -= 1.0f;
    }

    float m_phase = 0.0f;
    float m_increment = 0.0f;
};

// A sine whose frequency may change every sample (pitch sweeps of drums, FM).
class SineOscillator {
public:
    float Next(float hz)
    {
        const float value = SineOfCycles(m_phase);
        m_phase += hz / kSampleRate;
        m_phase -= std::floor(m_phase);
        return value;
    }
    // Phase modulation input in cycles (for FM bells).
    float NextModulated(float hz, float modulationCycles)
    {
        const float value = SineOfCycles(m_phase + modulationCycles);
        m_phase += hz / kSampleRate;
        m_phase -= std::floor(m_phase);
        return value;
    }

private:
    float m_phase = 0.0f;
};

// White noise in [-1, 1) from xorshift32: the same seed gives the same hiss every run.
class Noise {
public:
    explicit Noise(uint32_t seed) : m_state(seed ? seed : 0x9E3779B9u) {}
    float Next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return static_cast<float>(static_cast<int32_t>(m_state)) * (1.0f / 2147483648.0f);
    }

private:
    uint32_t m_state;
};

} // namespace music
