// The millisecond tick counter (GetTickCount): milliseconds since the program started.
// Offline rendering (shots, capture, tests) fixes it to the frame's music time so those
// frames are fully deterministic.
#pragma once

#include <cstdint>
#include <optional>

uint32_t GetTickCount();

// A fixed value makes GetTickCount return it until cleared with std::nullopt.
void SetFixedTickCount(std::optional<uint32_t> ticks);
