// The instruments of the soundtrack: synthesised drums (drums.cpp) and pitched voices
// (voices.cpp). Each renders one note on its own, adding it into a stereo stem from the
// note's first frame; notes never share state, so stems can be rendered in any order.
#pragma once

#include "music/score.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace music {

// The frames of a stem from a note's start to the end of the track.
struct StereoSpan {
    float* left;
    float* right;
    size_t frames;
};

struct PanGains {
    float left, right;
};
// Equal-power pan law: the same loudness anywhere between the speakers.
inline PanGains Pan(float pan)
{
    const float angle = (pan + 1.0f) * 0.78539816f;
    return {std::cos(angle), std::sin(angle)};
}


void RenderKick(const Note& note, uint32_t seed, StereoSpan out);
void RenderSnare(const Note& note, uint32_t seed, StereoSpan out);
void RenderClap(const Note& note, uint32_t seed, StereoSpan out);
void RenderHat(const Note& note, uint32_t seed, StereoSpan out);

void RenderBass(const Note& note, uint32_t seed, StereoSpan out);
void RenderPad(const Note& note, uint32_t seed, StereoSpan out);
void RenderLead(const Note& note, uint32_t seed, StereoSpan out);
void RenderArp(const Note& note, uint32_t seed, StereoSpan out);
void RenderBell(const Note& note, uint32_t seed, StereoSpan out);
void RenderWind(const Note& note, uint32_t seed, StereoSpan out);
void RenderRiser(const Note& note, uint32_t seed, StereoSpan out);

// Dispatches to the instrument's renderer.
void RenderNote(Instrument instrument, const Note& note, uint32_t seed, StereoSpan out);

} // namespace music
