// The piece started for offline rendering: the headless window and the whole start-up
// sequence, without sound. Shots, benchmarks, captures and tests render from here.
#pragma once

// Opens the off-screen frame and runs the start-up sequence; FatalError when it cannot.
void StartOffline();
