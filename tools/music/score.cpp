// The score: D minor at 106 BPM, one arrangement per scene of the piece. Harmony moves in
// two-bar chords through a handful of minor-key progressions, the pads are voice-led, and
// one falling motif (the "call") and its answer return in the bells and the lead.
#include "music/score.h"

#include "base/piece_schedule.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <string_view>

namespace music {
namespace {

// Pitch classes.
constexpr int C = 0, Cs = 1, D = 2, Eb = 3, E = 4, F = 5, G = 7, A = 9, Bb = 10;

// D natural minor in semitones above D, and the D the motif is written around (D4).
constexpr std::array<int, 7> kMinorScale{0, 2, 3, 5, 7, 8, 10};
constexpr int kTonicNote = 62;

struct Chord {
    int root;                // pitch class of the bass
    std::array<int, 4> tones; // pitch classes the pad voices
    int degree;              // the root's step in D minor (0 = D); melodies move from it
    int alteredFrom = -1;    // a scale tone the chord bends (semitones above D) ...
    int alteredTo = -1;      // ... and what it becomes (A7 raises C to C#)
};

const Chord kDm9{D, {D, F, A, E}, 0};
const Chord kDm7{D, {D, F, A, C}, 0};
const Chord kEbMaj7{Eb, {Eb, G, Bb, D}, 1, 2, 1};
const Chord kFAdd9{F, {F, A, C, G}, 2};
const Chord kGm7{G, {G, Bb, D, F}, 3};
const Chord kA7{A, {A, Cs, E, G}, 4, 10, 11};
const Chord kBbMaj7{Bb, {Bb, D, F, A}, 5};
const Chord kCAdd9{C, {C, E, G, D}, 6};

// Four chords; in most scenes each lasts two bars, so one pass fills a scene.
using Progression = std::array<const Chord*, 4>;
const Progression kHome{&kDm9, &kBbMaj7, &kFAdd9, &kCAdd9};       // i VI III VII
const Progression kLament{&kDm7, &kBbMaj7, &kGm7, &kA7};          // i VI iv V
const Progression kRise{&kBbMaj7, &kCAdd9, &kDm7, &kA7};          // VI VII i V
const Progression kTurn{&kGm7, &kDm7, &kBbMaj7, &kA7};            // iv i VI V
const Progression kCollapse{&kDm7, &kEbMaj7, &kGm7, &kA7};        // i bII iv V
const Progression kWarm{&kBbMaj7, &kFAdd9, &kCAdd9, &kDm9};       // VI III VII i

// The motif, in beats from the chord's start and scale steps above the chord's root.
struct MotifNote {
    double beat, length;
    int step;
};
constexpr std::array<MotifNote, 8> kCall{{{0, 1, 4}, {1, 0.5, 6}, {1.5, 0.5, 4}, {2, 1, 3},
                                          {3, 1, 2}, {4, 1.5, 1}, {5.5, 0.5, 2}, {6, 2, 0}}};
constexpr std::array<MotifNote, 5> kAnswer{{{0, 1.5, 4}, {1.5, 0.5, 6}, {2, 1, 4}, {3, 1, 2}, {4, 4, 1}}};

// The piece's schedule in bars, in time order. Every scene starts on a bar; the sphere's span,
// a millisecond short of eight bars, rounds to eight.
constexpr std::array<SceneSpan, PieceSchedule.size()> ScenesInBars()
{
    std::array<SceneSpan, PieceSchedule.size()> spans{};
    for (size_t i = 0; i < spans.size(); ++i) {
        const ScheduledScene& scene = PieceSchedule[i];
        spans[i] = {scene.name.data(), scene.startMs / PieceBarMs,
                    (scene.endMs - scene.startMs + PieceBarMs / 2) / PieceBarMs};
    }
    std::sort(spans.begin(), spans.end(),
              [](const SceneSpan& a, const SceneSpan& b) { return a.startBar < b.startBar; });
    return spans;
}
constexpr auto kScenes = ScenesInBars();

constexpr bool EveryScenesStartsOnABar()
{
    for (const ScheduledScene& scene : PieceSchedule)
        if (scene.startMs % PieceBarMs != 0) return false;
    return true;
}
static_assert(EveryScenesStartsOnABar(), "the arrangement changes on bar lines only");

double BarBeat(int bar) { return static_cast<double>(bar * kBeatsPerBar); }

// The MIDI note of a scale step above a chord's root, in the motif's register (roots from
// A upwards are taken an octave down so the line stays between A3 and C5).
float MelodyPitch(const Chord& chord, int step)
{
    const int degree = (chord.degree >= 4 ? chord.degree - 7 : chord.degree) + step;
    const int octave = degree >= 0 ? degree / 7 : -((6 - degree) / 7);
    const int index = degree - 7 * octave;
    int semitones = kMinorScale[static_cast<size_t>(index)];
    if (semitones == chord.alteredFrom) semitones = chord.alteredTo;
    return static_cast<float>(kTonicNote + 12 * octave + semitones);
}

float BassPitch(const Chord& chord)
{
    const int note = 36 + chord.root;
    return static_cast<float>(note > 44 ? note - 12 : note);
}

// Picks, for each chord, the voicing within the pad's range that moves the four voices
// least from the previous chord: common tones hold, the rest step.
class VoiceLeader {
public:
    std::array<int, 4> Voice(const Chord& chord)
    {
        constexpr int kLowest = 52, kHighest = 74;
        std::array<int, 4> best{};
        int bestCost = std::numeric_limits<int>::max();
        for (int choice = 0; choice < 16; ++choice) {
            std::array<int, 4> voicing{};
            for (size_t v = 0; v < 4; ++v) {
                int note = kLowest + (chord.tones[v] - kLowest % 12 + 12) % 12;
                if (choice & (1 << v)) note += 12;
                voicing[v] = note;
            }
            std::sort(voicing.begin(), voicing.end());
            if (voicing[3] > kHighest || std::adjacent_find(voicing.begin(), voicing.end()) != voicing.end()) continue;
            int cost = 0;
            for (size_t v = 0; v < 4; ++v) cost += std::abs(voicing[v] - m_previous[v]);
            if (cost < bestCost) {
                bestCost = cost;
                best = voicing;
            }
        }
        m_previous = best;
        return best;
    }

private:
    std::array<int, 4> m_previous{57, 62, 65, 69};
};

// Velocity of drum and bass pattern characters: x full, o medium, - ghost, . rest.
float StepVelocity(char symbol)
{
    switch (symbol) {
    case 'x': return 1.0f;
    case 'o': return 0.6f;
    case '-': return 0.3f;
    default: return 0.0f;
    }
}

struct PadStyle {
    float from, to;         // velocity
    float toneFrom, toneTo; // filter opening
    float attack;           // seconds
    int strikeBars = 0;     // 0: once per chord
    float bend = 0.0f;      // pitch sag over each chord, semitones
};

// Writes the notes of the scenes; each scene method starts at its first bar.
class Arranger {
public:
    explicit Arranger(Score& score) : m_score(score) {}

    void Add(Instrument instrument, const Note& note) { m_score.Part(instrument).push_back(note); }

    // A drum line from a pattern of sixteenths (16 characters a bar, repeated over `bars`);
    // the velocity moves from `from` to `to` across the line. `shape` gives the rest of
    // every hit (its length sets a drum's decay: a quarter beat is a closed hat).
    void Drums(Instrument instrument, int bar, int bars, std::string_view pattern, float from, float to,
               Note shape = {})
    {
        const int steps = bars * 16;
        for (int s = 0; s < steps; ++s) {
            const float level = StepVelocity(pattern[static_cast<size_t>(s) % pattern.size()]);
            if (level == 0.0f) continue;
            Note note = shape;
            note.beat = BarBeat(bar) + 0.25 * s;
            note.velocity = level * (from + (to - from) * static_cast<float>(s) / static_cast<float>(steps));
            Add(instrument, note);
        }
    }

    // Pads: one voice-led chord per `barsPerChord`, re-struck every `style.strikeBars`;
    // velocity and tone move from their first to their last value across the line.
    void Pads(const Progression& progression, int bar, int bars, int barsPerChord, const PadStyle& style)
    {
        const int strike = style.strikeBars > 0 ? style.strikeBars : barsPerChord;
        std::array<int, 4> voicing{};
        for (int b = 0; b < bars; b += strike) {
            if (b % barsPerChord == 0) voicing = m_leader.Voice(ChordAt(progression, b, barsPerChord));
            const float x = static_cast<float>(b) / static_cast<float>(bars);
            for (int pitch : voicing)
                Add(Instrument::Pad, {.beat = BarBeat(bar + b), .length = strike * 4.0 - 0.05,
                                      .pitch = static_cast<float>(pitch),
                                      .velocity = style.from + (style.to - style.from) * x,
                                      .tone = style.toneFrom + (style.toneTo - style.toneFrom) * x,
                                      .bend = style.bend, .attack = style.attack});
        }
    }

    // Bass: a pattern of sixteenths per bar (x root, o octave, 5 fifth, . rest); each
    // note lasts until the next. An empty pattern holds the root through each chord.
    void Bass(const Progression& progression, int bar, int bars, int barsPerChord, std::string_view pattern,
              float velocity, float tone, float bend = 0.0f)
    {
        if (pattern.empty()) {
            for (int b = 0; b < bars; b += barsPerChord)
                Add(Instrument::Bass, {.beat = BarBeat(bar + b), .length = barsPerChord * 4.0 - 0.1,
                                       .pitch = BassPitch(ChordAt(progression, b, barsPerChord)),
                                       .velocity = velocity, .tone = tone, .bend = bend});
            return;
        }
        const int steps = bars * 16;
        for (int s = 0; s < steps; ++s) {
            const char symbol = pattern[static_cast<size_t>(s) % pattern.size()];
            if (symbol == '.') continue;
            int held = 1;
            while (held < 16 && pattern[static_cast<size_t>(s + held) % pattern.size()] == '.' && (s + held) % 16 != 0)
                ++held;
            const float root = BassPitch(ChordAt(progression, s / 16, barsPerChord));
            const float interval = symbol == 'o' ? 12.0f : symbol == '5' ? 7.0f : 0.0f;
            Add(Instrument::Bass, {.beat = BarBeat(bar) + 0.25 * s, .length = 0.25 * held * 0.85,
                                   .pitch = root + interval, .velocity = velocity, .tone = tone});
        }
    }

    // The motif on one instrument: the call over most chords, its answer over the second
    // and fourth unless that chord is the dominant, which always gets the call's cadence.
    // `speed` 2 plays it in one bar per chord.
    void Motif(Instrument instrument, const Progression& progression, int bar, int bars, int barsPerChord,
               float velocity, float tone, int octave, float pan = 0.0f, double speed = 1.0)
    {
        for (int b = 0, index = 0; b < bars; b += barsPerChord, ++index) {
            const Chord& chord = ChordAt(progression, b, barsPerChord);
            const bool answer = (index % 2 == 1) && &chord != &kA7;
            const auto play = [&](const auto& phrase) {
                for (const MotifNote& m : phrase)
                    Add(instrument, {.beat = BarBeat(bar + b) + m.beat / speed, .length = m.length / speed * 0.95,
                                     .pitch = MelodyPitch(chord, m.step) + 12.0f * octave, .velocity = velocity,
                                     .tone = tone, .pan = pan});
            };
            if (answer) play(kAnswer);
            else play(kCall);
        }
    }

    // Arpeggio over the pad's current voicing an octave up, `step` beats a note.
    void Arpeggio(const Progression& progression, int bar, int bars, int barsPerChord, double step, float from,
                  float to, float toneFrom, float toneTo)
    {
        constexpr std::array<int, 8> kOrder{0, 2, 1, 3, 2, 4, 3, 1};
        VoiceLeader leader;
        std::array<int, 4> voicing{};
        const int notesPerBar = static_cast<int>(4.0 / step);
        for (int n = 0; n < bars * notesPerBar; ++n) {
            const int b = n / notesPerBar;
            if (n % (notesPerBar * barsPerChord) == 0) voicing = leader.Voice(ChordAt(progression, b, barsPerChord));
            const int index = kOrder[static_cast<size_t>(n) % kOrder.size()];
            const int pitch = index == 4 ? voicing[0] + 24 : voicing[static_cast<size_t>(index)] + 12;
            const float x = static_cast<float>(n) / static_cast<float>(bars * notesPerBar);
            Add(Instrument::Arp, {.beat = BarBeat(bar) + step * n, .length = step * 0.6,
                                  .pitch = static_cast<float>(pitch), .velocity = from + (to - from) * x,
                                  .tone = toneFrom + (toneTo - toneFrom) * x, .pan = (n % 2) ? 0.35f : -0.35f});
        }
    }

    void Wind(int bar, int bars, float velocity, float tone, float attack)
    {
        Add(Instrument::Wind, {.beat = BarBeat(bar), .length = bars * 4.0, .velocity = velocity, .tone = tone,
                               .attack = attack});
    }

    // A noise sweep over `beats`, rising (direction 1) or falling (-1).
    void Riser(double beat, double beats, float velocity, float direction)
    {
        Add(Instrument::Riser, {.beat = beat, .length = beats, .velocity = velocity, .bend = direction});
    }

    static const Chord& ChordAt(const Progression& progression, int barInScene, int barsPerChord)
    {
        return *progression[static_cast<size_t>(barInScene / barsPerChord) % progression.size()];
    }

private:
    Score& m_score;
    VoiceLeader m_leader;
};

// 0 - 18.1 s: out of silence, wind and a dark pad; the motif first heard on a bell.
void Title(Arranger& a, int bar)
{
    a.Wind(bar, 8, 0.55f, 0.2f, 6.0f);
    a.Pads(kHome, bar, 8, 2, {.from = 0.28f, .to = 0.45f, .toneFrom = 0.12f, .toneTo = 0.12f, .attack = 2.5f});
    a.Bass(kHome, bar, 8, 2, "", 0.32f, 0.0f);
    a.Add(Instrument::Bell, {.beat = BarBeat(bar), .length = 6.0, .pitch = 74.0f, .velocity = 0.35f, .pan = 0.2f});
    a.Motif(Instrument::Bell, kHome, bar + 2, 2, 2, 0.38f, 0.4f, 1, 0.2f);
    a.Add(Instrument::Bell, {.beat = BarBeat(bar + 6), .length = 6.0, .pitch = 69.0f, .velocity = 0.3f, .pan = -0.2f});
}

// 18.1 - 36.2 s: eight surges, one a bar: a deep boom and a re-struck chord on each
// downbeat, a soft pulse on the other beats and a swell that breaks off a sixteenth
// before the next.
void Sphere(Arranger& a, int bar)
{
    for (int b = 0; b < 8; ++b) {
        a.Add(Instrument::Kick, {.beat = BarBeat(bar + b), .length = 4.0, .velocity = 0.95f, .tone = 0.15f});
        a.Riser(BarBeat(bar + b) + 2.5, 1.25, 0.35f, 1.0f);
    }
    a.Drums(Instrument::Kick, bar, 8, "....o...o...o...", 0.8f, 0.9f, {.tone = 0.35f});
    a.Drums(Instrument::Hat, bar, 8, "..o...o...o...o.", 0.3f, 0.45f, {.length = 0.25, .pan = 0.25f});
    a.Pads(kHome, bar, 8, 2,
           {.from = 0.5f, .to = 0.6f, .toneFrom = 0.35f, .toneTo = 0.35f, .attack = 0.25f, .strikeBars = 1});
    a.Bass(kHome, bar, 8, 2, "x.......x.......", 0.5f, 0.2f);
    a.Motif(Instrument::Bell, kHome, bar, 8, 2, 0.3f, 0.5f, 1, 0.2f);
}

// 36.2 - 54.3 s: the build-up to "READY TO RUST?": four on the floor, hats and arpeggio
// opening up, a snare roll and a rising sweep into the last bar.
void Smallfall(Arranger& a, int bar)
{
    a.Drums(Instrument::Kick, bar, 8, "x...x...x...x...", 0.9f, 0.95f);
    a.Drums(Instrument::Hat, bar, 4, "-.o.-.o.-.o.-.o.", 0.35f, 0.5f, {.length = 0.25, .pan = 0.25f});
    a.Drums(Instrument::Hat, bar + 4, 4, "o-x-o-x-o-x-o-x-", 0.45f, 0.65f, {.length = 0.25, .pan = 0.25f});
    a.Drums(Instrument::Clap, bar + 2, 4, "....x.......x...", 0.75f, 0.85f, {.pan = -0.1f});
    a.Drums(Instrument::Snare, bar + 6, 1, "x.x.x.x.x.x.x.x.", 0.35f, 0.6f);
    a.Drums(Instrument::Snare, bar + 7, 1, "xxxxxxxxxxxxxxxx", 0.55f, 1.0f);
    a.Riser(BarBeat(bar + 4), 16.0, 0.55f, 1.0f);
    a.Pads(kRise, bar, 8, 2, {.from = 0.42f, .to = 0.5f, .toneFrom = 0.3f, .toneTo = 0.3f, .attack = 0.8f});
    a.Bass(kRise, bar, 8, 2, "..x...x...x...x.", 0.6f, 0.4f);
    a.Arpeggio(kRise, bar, 8, 2, 0.25, 0.3f, 0.5f, 0.1f, 0.9f);
}

// 54.3 - 90.6 s: the long lament. The lead sings the motif over the pads; halfway the
// half-time beat joins, with a snare deep in the reverb.
void Giorl(Arranger& a, int bar)
{
    a.Wind(bar, 16, 0.25f, 0.35f, 3.0f);
    a.Pads(kLament, bar, 16, 2, {.from = 0.42f, .to = 0.5f, .toneFrom = 0.3f, .toneTo = 0.3f, .attack = 1.0f});
    a.Bass(kLament, bar, 16, 2, "x.........x.....", 0.6f, 0.2f);
    a.Motif(Instrument::Lead, kLament, bar, 16, 2, 0.55f, 0.4f, 0);
    a.Motif(Instrument::Bell, kLament, bar + 8, 8, 2, 0.22f, 0.3f, 1, -0.25f);
    a.Drums(Instrument::Hat, bar, 8, "..o...o...o...o.", 0.3f, 0.35f, {.length = 0.25, .pan = 0.25f});
    a.Drums(Instrument::Hat, bar + 8, 8, "o.x.o.x.o.x.o.x.", 0.35f, 0.45f, {.length = 0.25, .pan = 0.25f});
    a.Drums(Instrument::Kick, bar + 8, 8, "x.........x.....", 0.85f, 0.9f, {.tone = 0.4f});
    a.Drums(Instrument::Snare, bar + 8, 8, "........x.......", 0.8f, 0.85f, {.tone = 0.6f});
    a.Arpeggio(kLament, bar + 8, 8, 2, 0.5, 0.25f, 0.3f, 0.3f, 0.35f);
}

// 90.6 - 108.7 s: the groove sets in under the landscape: four on the floor, pumping
// bass and the motif on the bell; hats join in the third bar, pads, arpeggio and a
// rim-like snare halfway.
void Season(Arranger& a, int bar)
{
    a.Drums(Instrument::Kick, bar, 8, "x...x...x...x...", 0.85f, 0.9f, {.tone = 0.45f});
    a.Drums(Instrument::Hat, bar + 2, 6, "-.x.-.x.-.x.-.x.", 0.45f, 0.5f, {.length = 0.25, .pan = 0.25f});
    a.Drums(Instrument::Snare, bar + 4, 4, "....x.......x...", 0.45f, 0.5f, {.tone = 0.1f});
    a.Pads(kHome, bar + 4, 4, 2, {.from = 0.45f, .to = 0.5f, .toneFrom = 0.3f, .toneTo = 0.3f, .attack = 0.8f});
    a.Bass(kHome, bar, 8, 2, "x.o.x.o.x.o.x.o.", 0.65f, 0.35f);
    a.Arpeggio(kHome, bar + 4, 4, 2, 0.5, 0.35f, 0.4f, 0.4f, 0.5f);
    a.Motif(Instrument::Bell, kHome, bar, 8, 2, 0.32f, 0.5f, 1, 0.2f);
}

// 108.7 - 126.8 s: the first montage, driving: clap backbeat, sixteenth hats and bass.
void Meat(Arranger& a, int bar)
{
    a.Drums(Instrument::Kick, bar, 8, "x...x...x...x...", 1.0f, 1.0f, {.tone = 0.6f});
    a.Drums(Instrument::Clap, bar, 8, "....x.......x...", 0.9f, 0.9f, {.pan = -0.1f});
    a.Drums(Instrument::Hat, bar, 8, "o-x-o-x-o-x-o-x-", 0.5f, 0.55f, {.length = 0.25, .pan = 0.25f});
    a.Pads(kHome, bar, 8, 2, {.from = 0.45f, .to = 0.45f, .toneFrom = 0.35f, .toneTo = 0.35f, .attack = 0.4f});
    a.Bass(kHome, bar, 8, 2, "x.xox.xox.xox.xo", 0.7f, 0.45f);
    a.Arpeggio(kHome, bar, 8, 2, 0.25, 0.38f, 0.42f, 0.45f, 0.6f);
}

// 126.8 - 144.9 s: the montage goes on in the lament's chords, the lead takes the motif,
// snare and open hats join.
void MeatMore(Arranger& a, int bar)
{
    a.Drums(Instrument::Kick, bar, 8, "x...x...x...x...", 1.0f, 1.0f, {.tone = 0.6f});
    a.Drums(Instrument::Snare, bar, 8, "....x.......x...", 0.75f, 0.8f, {.tone = 0.7f});
    a.Drums(Instrument::Clap, bar, 8, "....x.......x...", 0.6f, 0.6f, {.pan = -0.1f});
    a.Drums(Instrument::Hat, bar, 8, "o-.-o-.-o-.-o-.-", 0.5f, 0.55f, {.length = 0.25, .pan = 0.25f});
    a.Drums(Instrument::Hat, bar, 8, "..x...x...x...x.", 0.45f, 0.5f, {.length = 2.0, .tone = 0.3f, .pan = -0.2f});
    a.Pads(kLament, bar, 8, 2, {.from = 0.45f, .to = 0.45f, .toneFrom = 0.4f, .toneTo = 0.4f, .attack = 0.4f});
    a.Bass(kLament, bar, 8, 2, "xxoxx.oxxxoxx.ox", 0.7f, 0.6f);
    a.Motif(Instrument::Lead, kLament, bar, 8, 2, 0.55f, 0.55f, 0);
}

// 144.9 - 163.0 s: twice as fast: a chord a bar, the snare on every off-beat, a bright
// arpeggio, and the motif an octave up at double speed.
void MeatRepeat(Arranger& a, int bar)
{
    a.Drums(Instrument::Kick, bar, 8, "x...x...x...x...", 1.0f, 1.0f, {.tone = 0.65f});
    a.Drums(Instrument::Snare, bar, 8, "..x...x...x...x.", 0.65f, 0.75f, {.tone = 0.75f});
    a.Drums(Instrument::Hat, bar, 8, "xoxoxoxoxoxoxoxo", 0.42f, 0.5f, {.length = 0.25, .pan = 0.25f});
    a.Pads(kTurn, bar, 8, 1, {.from = 0.4f, .to = 0.4f, .toneFrom = 0.45f, .toneTo = 0.45f, .attack = 0.1f});
    a.Bass(kTurn, bar, 8, 1, "xoxoxoxoxoxoxoxo", 0.65f, 0.6f);
    a.Arpeggio(kTurn, bar, 8, 1, 0.25, 0.4f, 0.45f, 0.8f, 0.8f);
    a.Motif(Instrument::Lead, kTurn, bar, 8, 1, 0.5f, 0.6f, 1, 0.0f, 2.0);
}

// 163.0 - 181.1 s: a breather in the landscape: half-time, the motif on lead and bell.
void Baken(Arranger& a, int bar)
{
    a.Drums(Instrument::Kick, bar, 8, "x.........x.....", 0.8f, 0.85f, {.tone = 0.4f});
    a.Drums(Instrument::Snare, bar, 8, "........x.......", 0.55f, 0.6f, {.tone = 0.15f});
    a.Drums(Instrument::Hat, bar, 8, "..o...o...o...o.", 0.35f, 0.4f, {.length = 0.25, .pan = 0.25f});
    a.Pads(kHome, bar, 8, 2, {.from = 0.5f, .to = 0.5f, .toneFrom = 0.4f, .toneTo = 0.4f, .attack = 0.8f});
    a.Bass(kHome, bar, 8, 2, "", 0.55f, 0.25f);
    a.Motif(Instrument::Lead, kHome, bar, 8, 2, 0.5f, 0.35f, 0);
    a.Motif(Instrument::Bell, kHome, bar, 8, 2, 0.25f, 0.4f, 1, -0.25f);
    a.Arpeggio(kHome, bar, 8, 2, 0.5, 0.25f, 0.28f, 0.3f, 0.3f);
}

// 181.1 - 199.2 s: the picture blurs and goes to black: no beat, the pad darkens and
// fades, the bell's motif echoes away, a swell draws breath for what follows.
void Sign(Arranger& a, int bar)
{
    a.Wind(bar, 8, 0.45f, 0.25f, 2.0f);
    a.Pads(kLament, bar, 8, 2, {.from = 0.5f, .to = 0.15f, .toneFrom = 0.35f, .toneTo = 0.05f, .attack = 1.5f});
    a.Bass(kLament, bar, 4, 2, "", 0.4f, 0.1f);
    a.Motif(Instrument::Bell, kLament, bar, 4, 2, 0.35f, 0.3f, 1, 0.2f);
    a.Riser(BarBeat(bar + 7), 4.0, 0.6f, 1.0f);
}

// 199.2 - 235.5 s: the hardest passage: driven kick, snare and clap together, rolling
// bass, the motif up high over everything.
void MeatKilla(Arranger& a, int bar)
{
    for (int half = 0; half < 2; ++half) {
        const int start = bar + 8 * half;
        const Progression& chords = half == 0 ? kHome : kLament;
        a.Drums(Instrument::Kick, start, 8, "x...x...x...x...", 1.0f, 1.0f, {.tone = 1.0f});
        a.Drums(Instrument::Snare, start, 8, "....x.......x...", 0.9f, 0.9f, {.tone = 0.9f});
        a.Drums(Instrument::Clap, start, 8, "....x.......x..o", 0.75f, 0.75f, {.pan = -0.1f});
        a.Drums(Instrument::Hat, start, 8, "o-x-o-x-o-x-o-x-", 0.6f, 0.6f, {.length = 0.25, .pan = 0.25f});
        a.Drums(Instrument::Hat, start, 8, "..o...o...o...o.", 0.5f, 0.5f, {.length = 2.0, .tone = 0.3f, .pan = -0.2f});
        for (int b = 0; b < 8; b += 4)
            a.Add(Instrument::Hat, {.beat = BarBeat(start + b), .length = 8.0, .velocity = 0.6f, .tone = 0.0f});
        a.Pads(chords, start, 8, 2, {.from = 0.5f, .to = 0.5f, .toneFrom = 0.5f, .toneTo = 0.5f, .attack = 0.3f});
        a.Bass(chords, start, 8, 2, "xxoxxxoxxxoxxxox", 0.8f, 0.9f);
        a.Arpeggio(chords, start, 8, 2, 0.25, 0.35f, 0.4f, 0.8f, 0.8f);
        a.Motif(Instrument::Lead, chords, start, 8, 2, 0.6f, 0.7f, half);
    }
}

// 235.5 - 253.6 s: collapse: the beat thins out bar by bar, the bass falls an octave
// under every chord, the pads sag in pitch and a sweep falls into the white.
void Atom(Arranger& a, int bar)
{
    a.Drums(Instrument::Kick, bar, 4, "x...x...x...x...", 0.95f, 0.9f, {.tone = 0.7f});
    a.Drums(Instrument::Kick, bar + 4, 2, "x.......x.......", 0.85f, 0.8f, {.tone = 0.5f});
    a.Drums(Instrument::Kick, bar + 6, 2, "x...............", 0.8f, 0.7f, {.length = 4.0, .tone = 0.2f});
    a.Drums(Instrument::Snare, bar, 4, "............x...", 0.8f, 0.7f, {.tone = 0.5f});
    a.Pads(kCollapse, bar, 8, 2,
           {.from = 0.5f, .to = 0.4f, .toneFrom = 0.3f, .toneTo = 0.2f, .attack = 0.3f, .bend = -0.6f});
    a.Bass(kCollapse, bar, 8, 2, "", 0.7f, 0.5f, -12.0f);
    a.Arpeggio(kCollapse, bar, 4, 2, 0.25, 0.35f, 0.15f, 0.6f, 0.1f);
    a.Riser(BarBeat(bar + 4), 16.0, 0.6f, -1.0f);
    a.Wind(bar + 2, 6, 0.3f, 0.15f, 4.0f);
}

// 253.6 - 289.8 s: the greetings, warm: the relative major's colours, a soft heartbeat,
// a chime with every greeting line (one a bar) and the motif, brighter.
void Greet(Arranger& a, int bar)
{
    a.Pads(kWarm, bar, 16, 2, {.from = 0.55f, .to = 0.55f, .toneFrom = 0.45f, .toneTo = 0.45f, .attack = 0.8f});
    a.Bass(kWarm, bar, 16, 2, "x.....x...x.....", 0.55f, 0.2f);
    a.Drums(Instrument::Kick, bar, 16, "x.........x.....", 0.85f, 0.85f, {.tone = 0.35f});
    a.Drums(Instrument::Snare, bar + 4, 12, "....x.......x...", 0.4f, 0.45f, {.tone = 0.1f});
    a.Drums(Instrument::Hat, bar, 16, "o.-.o.-.o.-.o.-.", 0.3f, 0.35f, {.length = 0.25, .pan = 0.25f});
    for (int b = 1; b < 15; ++b) {
        const Chord& chord = Arranger::ChordAt(kWarm, b, 2);
        a.Add(Instrument::Bell, {.beat = BarBeat(bar + b), .length = 4.0, .pitch = MelodyPitch(chord, 7) + 12.0f,
                                 .velocity = 0.28f, .tone = 0.3f, .pan = (b % 2) ? 0.4f : -0.4f});
    }
    a.Motif(Instrument::Bell, kWarm, bar, 8, 2, 0.3f, 0.3f, 1, -0.2f);
    a.Motif(Instrument::Lead, kWarm, bar + 8, 8, 2, 0.45f, 0.3f, 0);
    a.Arpeggio(kWarm, bar + 8, 8, 2, 0.5, 0.25f, 0.28f, 0.3f, 0.35f);
}

// 289.8 s - end: the credits: the motif once more over the warm chords, home to D minor,
// and a long ring into silence.
void Outro(Arranger& a, int bar)
{
    a.Wind(bar, 9, 0.35f, 0.2f, 3.0f);
    a.Pads(kWarm, bar, 8, 2, {.from = 0.5f, .to = 0.34f, .toneFrom = 0.3f, .toneTo = 0.2f, .attack = 1.5f});
    a.Bass(kWarm, bar, 8, 2, "", 0.4f, 0.1f);
    a.Motif(Instrument::Bell, kWarm, bar, 8, 2, 0.32f, 0.35f, 1, 0.2f);
    a.Add(Instrument::Bell, {.beat = BarBeat(bar + 7), .length = 6.0, .pitch = 62.0f, .velocity = 0.3f, .pan = -0.1f});
}

} // namespace

std::span<const SceneSpan> SceneSpans() { return kScenes; }

Score ComposeScore()
{
    Score score;
    Arranger arranger(score);
    struct SceneWriter {
        std::string_view scene;
        void (*write)(Arranger&, int);
    };
    constexpr SceneWriter kWriters[] = {
        {"title", Title},   {"sphere", Sphere},         {"smallfall", Smallfall}, {"giorl", Giorl},
        {"season", Season}, {"meat", Meat},             {"meatmore", MeatMore},   {"meatrepeat", MeatRepeat},
        {"baken", Baken},   {"sign", Sign},             {"meatkilla", MeatKilla}, {"atom", Atom},
        {"greet", Greet},   {"outro", Outro}};
    static_assert(std::size(kWriters) == kScenes.size(), "every scene of the schedule has its arrangement");
    for (const SceneSpan& scene : kScenes)
        for (const SceneWriter& writer : kWriters)
            if (writer.scene == scene.name) writer.write(arranger, scene.startBar);
    return score;
}

} // namespace music
