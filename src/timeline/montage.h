// The montage scenes (meat, meatmore, meatrepeat, meatkilla) draw no world of their own: they
// cut between four sub-scenes on the beat and lay a pulsing darkening and the finishing steps
// over the result. This is what the four share; each keeps its own table and numbers.
#pragma once

#include "scenes/lum_scenes.h"

#include <array>
#include <cstdint>
#include <string_view>

// How a montage gives its sub-scene a time.
enum class SubTimeRule {
    PerAppearance, // each sub-scene plays its whole span once across its appearances
    Continuous,    // every sub-scene runs on the montage's own progress
};

struct MontagePlan {
    std::array<std::string_view, 4> subScenes; // scene classes of slots 0 .. 3
    int segments;                              // n: cuts per span
    SubTimeRule rule;
    float pulseDepth;   // the darkening mid-segment: 0.6, or 0.45 with the square-root rise
    bool sharpPulse;    // depth * sqrt(|sin(n pi p)|) instead of depth * |sin(n pi p)|
    // Slots whose sub-scene reads nothing of the frame before a letterbox covers the bars
    // (no blur of its whole picture): the montage clips their drawing to the picture band.
    std::array<bool, 4> inBand;
};

// The four montages: their sub-scenes, cuts, time rule and pulse.
inline constexpr MontagePlan MeatPlan{
    {"waterover", "stair", "cup", "intro"}, 16, SubTimeRule::PerAppearance, 0.6f, false, {true, true, true, true}};
inline constexpr MontagePlan MeatMorePlan{
    {"grass", "waterunder", "waterfilled", "cuptwo"}, 16, SubTimeRule::PerAppearance, 0.6f, false,
    {true, true, false, true}};
inline constexpr MontagePlan MeatRepeatPlan{
    {"subself", "sphere", "subbaken", "sphere"}, 32, SubTimeRule::Continuous, 0.6f, false, {true, true, true, true}};
inline constexpr MontagePlan MeatKillaPlan{
    {"killme", "killself", "killfall", "killthroat"}, 32, SubTimeRule::PerAppearance, 0.45f, true,
    {true, false, true, true}};

// Sub-scenes live on the span 0 .. 100000.
constexpr int32_t SubSceneSpan = 100000;

using SubSceneTable = std::array<lum_genericscene*, 4>;

// Makes the four sub-scenes, loads them in slot order (their random draws happen here, at the
// montage's place in the start-up) and then gives each the span 0 .. 100000.
void LoadMontage(SubSceneTable& subScenes, const MontagePlan& plan);

// Which slot is shown at progress p and the time it is given.
struct MontageCut {
    int slot;
    int32_t subTime;
    bool operator==(const MontageCut&) const = default;
};
MontageCut CutAt(const MontagePlan& plan, float p);
// The darkening at progress p: 0 at every cut, greatest mid-segment.
float PulseAt(const MontagePlan& plan, float p);

// One montage frame: the chosen sub-scene draws itself at its time (clipped to the picture
// band when its slot allows: the montage's letterbox covers the bars before anything reads
// them, so that is a quarter less to draw and the same frame), then colour white, the pulse
// as a fade to black, the finishing steps and the glow (135; 1, 1, 1, 0.5). A sub-scene that
// finishes its own frame is thereby finished twice.
void RenderMontage(const SubSceneTable& subScenes, const MontagePlan& plan, float p);
