// Filters of the voices and effects: a resonant state-variable filter (trapezoidal
// integration, so its response at the cutoff is exact and it stays stable under fast
// sweeps) and a one-pole smoother for tone and DC control.
#pragma once

#include "music/oscillators.h"

#include <algorithm>
#include <cmath>

namespace music {

class StateVariableFilter {
public:
    struct Outputs {
        float low, band, high;
    };

    // q = 0.7071 is maximally flat; the low- and high-pass gain at the cutoff equals q.
    void SetCutoff(float hz, float q)
    {
        const float limited = std::clamp(hz, 10.0f, 0.49f * kSampleRate);
        m_g = std::tan(3.14159265f * limited / kSampleRate);
        m_k = 1.0f / q;
        m_a1 = 1.0f / (1.0f + m_g * (m_g + m_k));
        m_a2 = m_g * m_a1;
        m_a3 = m_g * m_a2;
    }

    Outputs Process(float x)
    {
        const float v3 = x - m_ic2;
        const float v1 = m_a1 * m_ic1 + m_a2 * v3;
        const float v2 = m_ic2 + m_a2 * m_ic1 + m_a3 * v3;
        m_ic1 = 2.0f * v1 - m_ic1;
        m_ic2 = 2.0f * v2 - m_ic2;
        return {v2, v1, x - m_k * v1 - v2};
    }
    float Lowpass(float x) { return Process(x).low; }
    float Highpass(float x) { return Process(x).high; }
    // Band-pass normalised to unity gain at the centre.
    float Bandpass(float x) { return m_k * Process(x).band; }

private:
    float m_g = 0.0f, m_k = 1.4142f, m_a1 = 1.0f, m_a2 = 0.0f, m_a3 = 0.0f;
    float m_ic1 = 0.0f, m_ic2 = 0.0f;
};

class OnePole {
public:
    void SetCutoff(float hz) { m_coefficient = 1.0f - std::exp(-kTwoPi * hz / kSampleRate); }
    float Lowpass(float x)
    {
        m_state += m_coefficient * (x - m_state);
        return m_state;
    }
    float Highpass(float x) { return x - Lowpass(x); }

private:
    float m_coefficient = 1.0f;
    float m_state = 0.0f;
};

} // namespace music
