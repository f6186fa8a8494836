// Send effects and bus processing of the mix: a tempo-synced ping-pong delay, a
// comb-and-allpass reverb, and side-chain ducking keyed from the kick.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace music {

// Echoes alternate between the sides; the feedback path is darkened a little each pass,
// like tape. Process adds only the wet signal into the outputs.
class PingPongDelay {
public:
    PingPongDelay(size_t delayFrames, float feedback, float dampingHz);
    void Process(const float* inLeft, const float* inRight, float* outLeft, float* outRight, size_t frames);

private:
    std::vector<float> m_left, m_right;
    size_t m_position = 0;
    float m_feedback;
    float m_damping;
    float m_stateLeft = 0.0f, m_stateRight = 0.0f;
};

// Eight damped feedback combs in parallel and four allpasses in series per side, the
// right side's delays slightly longer so the tail is wide. Process adds the wet signal.
class Reverb {
public:
    Reverb(float roomSize, float damping);
    void Process(const float* inLeft, const float* inRight, float* outLeft, float* outRight, size_t frames);

private:
    struct Comb {
        std::vector<float> buffer;
        size_t position = 0;
        float store = 0.0f;
    };
    struct Allpass {
        std::vector<float> buffer;
        size_t position = 0;
    };
    struct Side {
        std::array<Comb, 8> combs;
        std::array<Allpass, 4> allpasses;
    };
    static float ProcessSide(Side& side, float input, float feedback, float damping);

    Side m_left, m_right;
    float m_feedback;
    float m_damping;
};

// Gain curve that dips under every kick and recovers over `releaseSeconds`: the pumping
// that makes room for the kick in the pads and the bass. depth 0 leaves the bus alone.
std::vector<float> DuckingGain(const float* keyLeft, const float* keyRight, size_t frames, float releaseSeconds);
// Applies gain = 1 - depth * (1 - duck) to a stereo bus.
void ApplyDucking(const std::vector<float>& duck, float depth, float* left, float* right, size_t frames);

} // namespace music
