// The millisecond tick counter (GetTickCount): milliseconds since the program started, on
// the steady clock.
#pragma once

#include <cstdint>

uint32_t GetTickCount();
