// The ADSR envelope of every pitched voice: linear attack, exponential decay to the
// sustain level, exponential release after the gate closes.
#pragma once

#include "music/oscillators.h"

#include <algorithm>
#include <cmath>

namespace music {

class Adsr {
public:
    Adsr(float attackSeconds, float decaySeconds, float sustain, float releaseSeconds)
        : m_attackStep(1.0f / std::max(1.0f, attackSeconds * kSampleRate)),
          m_decayCoefficient(TimeConstant(decaySeconds)), m_sustain(sustain),
          m_releaseCoefficient(TimeConstant(releaseSeconds))
    {
    }

    void Release() { m_stage = Stage::Release; }
    // True once the release has faded to -60 dB, where the mix buries it.
    bool Finished() const { return m_stage == Stage::Release && m_level < 1e-3f; }

    float Next()
    {
        switch (m_stage) {
        case Stage::Attack:
            m_level += m_attackStep;
            if (m_level >= 1.0f) {
                m_level = 1.0f;
                m_stage = Stage::Decay;
            }
            break;
        case Stage::Decay:
            m_level = m_sustain + (m_level - m_sustain) * m_decayCoefficient;
            break;
        case Stage::Release:
            m_level *= m_releaseCoefficient;
            break;
        }
        return m_level;
    }

private:
    enum class Stage { Attack, Decay, Release };
    // Per-sample factor that shrinks a distance to 1/e after `seconds`.
    static float TimeConstant(float seconds) { return std::exp(-1.0f / std::max(1.0f, seconds * kSampleRate)); }

    float m_attackStep;
    float m_decayCoefficient;
    float m_sustain;
    float m_releaseCoefficient;
    Stage m_stage = Stage::Attack;
    float m_level = 0.0f;
};

} // namespace music
