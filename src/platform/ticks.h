// The millisecond tick counter (GetTickCount): milliseconds since the program started, on
// the steady clock; and the processor time the process has used.
#pragma once

#include <cstdint>

uint32_t GetTickCount();
// Microseconds on the same steady clock (its start is arbitrary): the audio routes stamp their
// reports with it and the clocks that follow them read it.
int64_t SteadyMicroseconds();
// Milliseconds of processor time used by every thread of the process so far (the renderer's
// own threads included).
double ProcessCpuMilliseconds();
