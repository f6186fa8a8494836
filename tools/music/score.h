// The score of the soundtrack: the beat grid, the instruments, the notes each scene of the
// piece plays, and the scene spans the arrangement follows. The music is the clock of the
// pictures, so every event sits on an exact sample of the 566 ms beat grid.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

namespace music {

// 106 BPM: beat k starts at sample round(k * 566 ms * 44.1 samples/ms), with no drift.
inline constexpr double kSamplesPerBeat = 566.0 * 44.1;
inline constexpr float kSecondsPerBeat = 0.566f;
inline constexpr int kBeatsPerBar = 4;
inline int64_t BeatToSample(double beat) { return std::llround(beat * kSamplesPerBeat); }

// Length of the rendered track: the last scene ends at 307.904 s, the tail rings to 310 s.
inline constexpr int64_t kTrackFrames = 310 * 44100;

enum class Instrument : int { Kick, Snare, Clap, Hat, Bass, Pad, Lead, Arp, Bell, Wind, Riser, Count };
inline constexpr int kInstrumentCount = static_cast<int>(Instrument::Count);

struct Note {
    double beat = 0.0;     // start, in beats from the start of the piece
    double length = 1.0;   // gate length in beats (drums: sets the decay)
    float pitch = 60.0f;   // MIDI note number (unused by unpitched drums)
    float velocity = 1.0f; // 0..1
    float tone = 0.5f;     // brightness / hardness, 0..1, as each instrument reads it
    float bend = 0.0f;     // pitch drift in semitones over the gate (risers: sweep direction)
    float pan = 0.0f;      // -1 left .. 1 right (mono voices)
    float attack = 0.0f;   // attack in seconds; 0 keeps the instrument's own
};

struct Score {
    std::array<std::vector<Note>, kInstrumentCount> parts;
    std::vector<Note>& Part(Instrument instrument) { return parts[static_cast<int>(instrument)]; }
    const std::vector<Note>& Part(Instrument instrument) const { return parts[static_cast<int>(instrument)]; }
};

// The scenes the arrangement follows, in bars of 2264 ms from the start of the piece.
struct SceneSpan {
    const char* name;
    int startBar;
    int bars;
};
std::span<const SceneSpan> SceneSpans();

Score ComposeScore();

} // namespace music
