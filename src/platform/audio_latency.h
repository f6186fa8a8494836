// What the system adds to the sound's way beyond SDL's device buffer, as the system itself
// reports it: a browser's audio context says how long its own processing (baseLatency) and
// the way to the speaker (outputLatency) take. A desktop's SDL reports nothing beyond its
// buffer (audio_latency_desktop.cpp).
#pragma once

#include <cstdint>

// Microseconds from a sample leaving SDL's buffer until it is heard, as reported now; 0 where
// nothing is reported.
int64_t SystemAudioLatencyUs();
