// Synthesised drums: a kick from a pitch-swept sine with a click, a snare from two
// tuned sines and filtered noise, a clap from stuttered noise bursts, and hats from
// metallic square clusters and noise. Every hit starts on its exact frame.
#include "music/instruments.h"

#include "music/filters.h"
#include "music/oscillators.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace music {
namespace {

// Frames until an exponential decay of `seconds` falls to -60 dB.
size_t DecayFrames(float seconds, size_t available)
{
    return std::min(available, static_cast<size_t>(seconds * 6.9f * kSampleRate) + 1);
}

float DecayFactor(float seconds) { return std::exp(-1.0f / (seconds * kSampleRate)); }

// Writes a mono hit into the stem with the note's pan.
void AddPanned(StereoSpan out, size_t frame, float value, PanGains gains)
{
    out.left[frame] += value * gains.left;
    out.right[frame] += value * gains.right;
}

} // namespace

// tone 0 is a soft round thump, 1 a hard driven punch; the gate length sets the decay, so
// a long note is the boom of a surge.
void RenderKick(const Note& note, uint32_t seed, StereoSpan out)
{
    const float decay = std::clamp(static_cast<float>(note.length) * kSecondsPerBeat * 0.32f, 0.1f, 0.9f);
    const float startHz = 140.0f + 90.0f * note.tone;
    const float endHz = 44.0f + 6.0f * note.tone;
    const float drive = 1.2f + 4.0f * note.tone;
    const float normalise = 1.0f / std::tanh(drive);
    const float pitchFall = DecayFactor(0.032f);
    const float ampFall = DecayFactor(decay);
    const float clickFall = DecayFactor(0.004f);
    const PanGains gains = Pan(note.pan);

    SineOscillator body;
    Noise noise(seed);
    StateVariableFilter clickTone;
    clickTone.SetCutoff(3200.0f, 0.6f);
    float sweep = 1.0f, amp = 1.0f, click = 0.6f + 0.5f * note.tone; // the beater
    const size_t frames = DecayFrames(decay, out.frames);
    for (size_t i = 0; i < frames; ++i) {
        const float hz = endHz + (startHz - endHz) * sweep;
        const float x = body.Next(hz) * amp + clickTone.Bandpass(noise.Next()) * click;
        AddPanned(out, i, note.velocity * normalise * std::tanh(drive * x), gains);
        sweep *= pitchFall;
        amp *= ampFall;
        click *= clickFall;
    }
}

// tone darkens (0, a rim-like knock) or brightens (1, a crack) the noise.
void RenderSnare(const Note& note, uint32_t seed, StereoSpan out)
{
    const float noiseDecay = 0.08f + 0.08f * note.tone;
    const float bodyFall = DecayFactor(0.055f);
    const float noiseFall = DecayFactor(noiseDecay);
    const float sweepFall = DecayFactor(0.012f);
    const PanGains gains = Pan(note.pan);

    SineOscillator low, high;
    Noise noise(seed);
    StateVariableFilter crack, air;
    crack.SetCutoff(1200.0f + 1200.0f * note.tone, 0.8f);
    air.SetCutoff(5000.0f + 4000.0f * note.tone, 0.7f);
    float bodyAmp = 1.0f, noiseAmp = 1.0f, sweep = 1.0f;
    const size_t frames = DecayFrames(noiseDecay, out.frames);
    for (size_t i = 0; i < frames; ++i) {
        const float body = 0.6f * low.Next(185.0f + 90.0f * sweep) + 0.35f * high.Next(330.0f + 120.0f * sweep);
        const float hiss = air.Lowpass(crack.Highpass(noise.Next()));
        const float x = body * bodyAmp * (1.1f - 0.5f * note.tone) + hiss * noiseAmp * (0.5f + 0.5f * note.tone);
        AddPanned(out, i, note.velocity * std::tanh(1.5f * x), gains);
        bodyAmp *= bodyFall;
        noiseAmp *= noiseFall;
        sweep *= sweepFall;
    }
}

// Three quick bursts and a tail, like several hands not quite together.
void RenderClap(const Note& note, uint32_t seed, StereoSpan out)
{
    constexpr std::array<float, 4> kBurstStarts{0.0f, 0.009f, 0.019f, 0.030f};
    const float burstFall = DecayFactor(0.005f);
    const float tailFall = DecayFactor(0.13f);
    const PanGains gains = Pan(note.pan);

    Noise noise(seed);
    StateVariableFilter band;
    band.SetCutoff(1000.0f + 700.0f * note.tone, 1.6f);
    const size_t frames = DecayFrames(0.13f, out.frames) + static_cast<size_t>(0.03f * kSampleRate);
    float amp = 0.0f;
    size_t nextBurst = 0;
    for (size_t i = 0; i < std::min(frames, out.frames); ++i) {
        if (nextBurst < kBurstStarts.size() && i == static_cast<size_t>(kBurstStarts[nextBurst] * kSampleRate)) {
            amp = 1.0f;
            ++nextBurst;
        }
        const float x = band.Bandpass(noise.Next()) * amp;
        AddPanned(out, i, note.velocity * 1.6f * x, gains);
        amp *= nextBurst < kBurstStarts.size() ? burstFall : tailFall;
    }
}

// Six detuned squares (a metallic cluster) and noise, high-passed and with the top octave
// softened; the gate length sets the decay, from a closed tick (a sixteenth) to a crash.
void RenderHat(const Note& note, uint32_t seed, StereoSpan out)
{
    constexpr std::array<float, 6> kMetalHz{205.3f, 304.4f, 369.6f, 522.7f, 540.0f, 800.0f};
    const float decay = std::clamp(0.16f * static_cast<float>(note.length), 0.025f, 1.8f);
    const float fall = DecayFactor(decay);
    const PanGains gains = Pan(note.pan);

    std::array<BlepOscillator, 6> metal;
    for (size_t k = 0; k < metal.size(); ++k) metal[k].SetFrequency(kMetalHz[k] * (1.6f + 0.4f * note.tone));
    Noise noise(seed);
    StateVariableFilter highpass, sheen;
    OnePole soften;
    highpass.SetCutoff(6500.0f + 2000.0f * note.tone, 0.9f);
    sheen.SetCutoff(10500.0f, 1.2f);
    soften.SetCutoff(13000.0f);
    float amp = 1.0f;
    const size_t frames = DecayFrames(decay, out.frames);
    for (size_t i = 0; i < frames; ++i) {
        float cluster = 0.0f;
        for (BlepOscillator& oscillator : metal) cluster += oscillator.Pulse(0.5f);
        const float x = highpass.Highpass(0.12f * cluster + 0.7f * noise.Next());
        AddPanned(out, i, note.velocity * amp * soften.Lowpass(x + 0.5f * sheen.Bandpass(x)), gains);
        amp *= fall;
    }
}

} // namespace music
