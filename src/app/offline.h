// The piece started for offline rendering: the headless window and the whole start-up
// sequence, without sound. Shots, benchmarks, captures and tests render from here.
#pragma once

// Opens the headless window, its context and the off-screen frame at the picture's size,
// loading nothing yet: a picture this driver or this machine cannot draw is refused here
// (FatalError naming the size and the limit), before a command makes any output.
void OpenOfflineFrame();
// Runs the start-up sequence in that frame (opening it first when it is not yet open);
// FatalError when it cannot.
void StartOffline();
