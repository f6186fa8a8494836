// The piece's schedule: which scene plays when, in milliseconds of music, and in which slot of
// the scene table. The scene table is built from it, the soundtrack is composed to it and the
// tests read it; it is written down nowhere else.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

struct ScheduledScene {
    int slot;              // slot of the scene table: the order of loading and dispatch
    std::string_view name; // the scene class without its "tscene_" prefix
    int32_t startMs;       // first music time of the span (inclusive)
    int32_t endMs;         // end of the span (exclusive)
};

// In slot order, which is also the order the objects are created and loaded. Most spans are
// eight bars of 2264 ms; giorl, meatkilla and greet sixteen. The sphere starts where the title
// ends and ends a millisecond before smallfall, so at 36223 no scene plays.
inline constexpr std::array<ScheduledScene, 14> PieceSchedule{{
    {0, "title", 0, 18112},
    {1, "sphere", 18112, 36223},
    {2, "smallfall", 36224, 54336},
    {5, "season", 90560, 108672},
    {6, "meat", 108672, 126784},
    {7, "meatmore", 126784, 144896},
    {8, "meatrepeat", 144896, 163008},
    {9, "baken", 163008, 181120},
    {10, "sign", 181120, 199232},
    {11, "meatkilla", 199232, 235456},
    {12, "atom", 235456, 253568},
    {13, "greet", 253568, 289792},
    {15, "giorl", 54336, 90560},
    {16, "outro", 289792, 307904},
}};

// The bar of the music the schedule is cut to: four beats of 566 ms.
inline constexpr int32_t PieceBarMs = 2264;

// The scene of the schedule with this name, or nullptr.
constexpr const ScheduledScene* FindScheduledScene(std::string_view name)
{
    for (const ScheduledScene& scene : PieceSchedule)
        if (scene.name == name) return &scene;
    return nullptr;
}

// The end of the last span: from here on no scene plays.
constexpr int32_t PieceEndMs()
{
    int32_t end = 0;
    for (const ScheduledScene& scene : PieceSchedule)
        if (scene.endMs > end) end = scene.endMs;
    return end;
}

static_assert(FindScheduledScene("sphere")->startMs == FindScheduledScene("title")->endMs,
              "the sphere starts where the title ends");
