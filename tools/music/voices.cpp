// Pitched voices: bass, pad, lead, arpeggio pluck, FM bell, and the unpitched wind and
// riser textures. Each note runs its gate, then its release until the envelope is silent.
#include "music/instruments.h"

#include "music/envelopes.h"
#include "music/filters.h"
#include "music/oscillators.h"

#include <algorithm>
#include <cmath>

namespace music {
namespace {

// Filter coefficients cost a tangent; sweeps update them every few frames.
constexpr size_t kControlInterval = 16;

size_t GateFrames(const Note& note)
{
    return static_cast<size_t>(BeatToSample(note.beat + note.length) - BeatToSample(note.beat));
}

float Seconds(size_t frame) { return static_cast<float>(frame) / kSampleRate; }

// Pitch in Hz at a frame, with the note's drift spread over its gate.
float PitchHz(const Note& note, size_t frame, size_t gateFrames, float offsetSemitones = 0.0f)
{
    const float drift = note.bend * std::min(1.0f, static_cast<float>(frame) / static_cast<float>(gateFrames));
    return MidiToHz(note.pitch + drift + offsetSemitones);
}

// Runs `sample(frame)` through the gate and the release of `envelope`, adding
// gain * envelope * sample into the stem; sample returns a left/right pair.
template <typename SampleFn>
void RunVoice(const Note& note, Adsr envelope, StereoSpan out, SampleFn sample)
{
    const size_t gate = GateFrames(note);
    for (size_t i = 0; i < out.frames; ++i) {
        if (i == gate) envelope.Release();
        const float level = envelope.Next() * note.velocity;
        if (envelope.Finished()) break;
        const PanGains value = sample(i, gate);
        out.left[i] += level * value.left;
        out.right[i] += level * value.right;
    }
}

float RandomPhase(Noise& noise) { return 0.5f + 0.5f * noise.Next(); }

} // namespace

// A saw with its fundamental reinforced by a sine, through a resonant low-pass whose
// envelope and drive grow with tone.
void RenderBass(const Note& note, uint32_t seed, StereoSpan out)
{
    BlepOscillator saw;
    SineOscillator sine;
    StateVariableFilter filter;
    const float drive = 1.0f + 2.5f * note.tone;
    const float pluckFall = std::exp(-1.0f / (0.09f * kSampleRate));
    float pluck = 1.0f, hz = 0.0f;
    RunVoice(note, Adsr(0.004f, 0.3f, 0.75f, 0.06f), out, [&](size_t i, size_t gate) {
        if (i % kControlInterval == 0) {
            hz = PitchHz(note, i, gate);
            saw.SetFrequency(hz);
            filter.SetCutoff(hz * (1.5f + 5.0f * note.tone) * (1.0f + 5.0f * note.tone * pluck), 1.0f + 1.5f * note.tone);
        }
        pluck *= pluckFall;
        const float x = filter.Lowpass(0.6f * saw.Saw() + 0.5f * sine.Next(hz));
        const float y = std::tanh(drive * x) / drive * 1.4f;
        return PanGains{y, y};
    });
}

// Two detuned saws a side, each side through its own slowly breathing low-pass: a wide,
// soft chord voice. tone opens the filter.
void RenderPad(const Note& note, uint32_t seed, StereoSpan out)
{
    Noise random(seed);
    BlepOscillator leftA, leftB, rightA, rightB;
    leftA.SetPhase(RandomPhase(random));
    leftB.SetPhase(RandomPhase(random));
    rightA.SetPhase(RandomPhase(random));
    rightB.SetPhase(RandomPhase(random));
    StateVariableFilter leftFilter, rightFilter;
    const float lfoPhase = RandomPhase(random);
    const float attack = note.attack > 0.0f ? note.attack : 1.2f;
    RunVoice(note, Adsr(attack, 2.5f, 0.8f, 0.7f), out, [&](size_t i, size_t gate) {
        if (i % kControlInterval == 0) {
            const float hz = PitchHz(note, i, gate);
            leftA.SetFrequency(hz * 0.9960f);
            leftB.SetFrequency(hz * 1.0021f);
            rightA.SetFrequency(hz * 1.0040f);
            rightB.SetFrequency(hz * 0.9979f);
            const float breath = 1.0f + 0.3f * std::sin(kTwoPi * (0.11f * Seconds(i) + lfoPhase));
            const float cutoff = std::min(hz * (1.5f + 9.0f * note.tone * note.tone) * breath + 250.0f, 9000.0f);
            leftFilter.SetCutoff(cutoff, 0.9f);
            rightFilter.SetCutoff(cutoff * 1.04f, 0.9f);
        }
        return PanGains{leftFilter.Lowpass(leftA.Saw() + leftB.Saw()),
                        rightFilter.Lowpass(rightA.Saw() + rightB.Saw())};
    });
}

// A saw and a slowly moving pulse with delayed vibrato: the voice that sings the motif.
void RenderLead(const Note& note, uint32_t seed, StereoSpan out)
{
    BlepOscillator saw, pulse;
    StateVariableFilter filter;
    const PanGains gains = Pan(note.pan);
    const float brightFall = std::exp(-1.0f / (0.25f * kSampleRate));
    float bright = 1.0f;
    RunVoice(note, Adsr(note.attack > 0.0f ? note.attack : 0.012f, 0.4f, 0.7f, 0.25f), out,
             [&](size_t i, size_t gate) {
                 if (i % kControlInterval == 0) {
                     const float t = Seconds(i);
                     const float vibrato = 0.13f * std::min(1.0f, std::max(0.0f, t - 0.25f) * 3.0f) *
                                           std::sin(kTwoPi * 5.2f * t);
                     const float hz = PitchHz(note, i, gate, vibrato);
                     saw.SetFrequency(hz);
                     pulse.SetFrequency(hz * 1.003f);
                     filter.SetCutoff(std::min(hz * (2.0f + 6.0f * note.tone) * (1.0f + 1.5f * bright), 12000.0f), 1.3f);
                 }
                 bright *= brightFall;
                 const float width = 0.4f + 0.1f * SineOfCycles(0.7f * Seconds(i));
                 const float y = filter.Lowpass(0.5f * saw.Saw() + 0.4f * pulse.Pulse(width));
                 return PanGains{y * gains.left, y * gains.right};
             });
}

// A plucked pulse-and-saw with a fast filter envelope, for arpeggios.
void RenderArp(const Note& note, uint32_t seed, StereoSpan out)
{
    BlepOscillator saw, pulse;
    StateVariableFilter filter;
    const PanGains gains = Pan(note.pan);
    const float fall = std::exp(-1.0f / (0.08f * kSampleRate));
    float sweep = 1.0f;
    RunVoice(note, Adsr(0.002f, 0.2f, 0.25f, 0.12f), out, [&](size_t i, size_t gate) {
        if (i % kControlInterval == 0) {
            const float hz = PitchHz(note, i, gate);
            saw.SetFrequency(hz);
            pulse.SetFrequency(hz * 0.998f);
            filter.SetCutoff(300.0f + (900.0f + 5000.0f * note.tone) * sweep, 2.0f);
        }
        sweep *= fall;
        const float y = filter.Lowpass(0.5f * saw.Saw() + 0.5f * pulse.Pulse(0.5f));
        return PanGains{y * gains.left, y * gains.right};
    });
}

// Two-operator FM with an inharmonic modulator (ratio 3.5) whose index dies away faster
// than the tone: the strike of a small bell, then a pure ring.
void RenderBell(const Note& note, uint32_t seed, StereoSpan out)
{
    SineOscillator carrier, modulator, partial;
    const PanGains gains = Pan(note.pan);
    const float indexFall = std::exp(-1.0f / (0.35f * kSampleRate));
    float index = 0.25f + 0.35f * note.tone;
    RunVoice(note, Adsr(0.002f, 1.1f, 0.0f, 1.1f), out, [&](size_t i, size_t gate) {
        const float hz = PitchHz(note, i, gate);
        const float modulation = index * modulator.Next(hz * 3.5f);
        index *= indexFall;
        const float y = 0.8f * carrier.NextModulated(hz, modulation) + 0.2f * partial.Next(hz * 2.0f);
        return PanGains{y * gains.left, y * gains.right};
    });
}

// Noise through resonant band-passes that drift at unrelated slow rates, one per side:
// wind over a field. tone raises the whistle.
void RenderWind(const Note& note, uint32_t seed, StereoSpan out)
{
    Noise leftNoise(seed), rightNoise(seed * 7919u + 1u);
    StateVariableFilter leftFilter, rightFilter;
    const float base = 300.0f + 700.0f * note.tone;
    RunVoice(note, Adsr(note.attack > 0.0f ? note.attack : 3.0f, 1.0f, 1.0f, 3.0f), out, [&](size_t i, size_t) {
        if (i % kControlInterval == 0) {
            const float t = Seconds(i);
            const float gustLeft = 0.5f + 0.5f * std::sin(kTwoPi * t / 7.3f) * std::sin(kTwoPi * t / 3.1f + 1.0f);
            const float gustRight = 0.5f + 0.5f * std::sin(kTwoPi * t / 6.1f + 2.0f) * std::sin(kTwoPi * t / 2.7f);
            leftFilter.SetCutoff(base * (0.6f + 1.4f * gustLeft), 2.5f);
            rightFilter.SetCutoff(base * (0.6f + 1.4f * gustRight), 2.5f);
        }
        return PanGains{leftFilter.Bandpass(leftNoise.Next()), rightFilter.Bandpass(rightNoise.Next())};
    });
}

// Filtered noise sweeping over the gate: up and swelling when bend > 0 (a build-up),
// down and fading when bend < 0 (a collapse).
void RenderRiser(const Note& note, uint32_t seed, StereoSpan out)
{
    Noise leftNoise(seed), rightNoise(seed ^ 0x5bd1e995u);
    StateVariableFilter leftFilter, rightFilter;
    const bool rising = note.bend >= 0.0f;
    float shape = 0.0f;
    RunVoice(note, Adsr(0.005f, 1.0f, 1.0f, 0.08f), out, [&](size_t i, size_t gate) {
        const float x = std::min(1.0f, static_cast<float>(i) / static_cast<float>(gate));
        if (i % kControlInterval == 0) {
            const float sweep = rising ? x : 1.0f - x;
            const float hz = 180.0f * std::exp2(5.2f * sweep);
            leftFilter.SetCutoff(hz, 3.0f);
            rightFilter.SetCutoff(hz * 1.08f, 3.0f);
            shape = rising ? x * x : std::sqrt(1.0f - x) * std::min(1.0f, 20.0f * x);
        }
        return PanGains{shape * leftFilter.Bandpass(leftNoise.Next()), shape * rightFilter.Bandpass(rightNoise.Next())};
    });
}

void RenderNote(Instrument instrument, const Note& note, uint32_t seed, StereoSpan out)
{
    switch (instrument) {
    case Instrument::Kick: RenderKick(note, seed, out); break;
    case Instrument::Snare: RenderSnare(note, seed, out); break;
    case Instrument::Clap: RenderClap(note, seed, out); break;
    case Instrument::Hat: RenderHat(note, seed, out); break;
    case Instrument::Bass: RenderBass(note, seed, out); break;
    case Instrument::Pad: RenderPad(note, seed, out); break;
    case Instrument::Lead: RenderLead(note, seed, out); break;
    case Instrument::Arp: RenderArp(note, seed, out); break;
    case Instrument::Bell: RenderBell(note, seed, out); break;
    case Instrument::Wind: RenderWind(note, seed, out); break;
    case Instrument::Riser: RenderRiser(note, seed, out); break;
    case Instrument::Count: break;
    }
}

} // namespace music
