// The frame benchmark: with the piece started off-screen, draws frames spread over every
// scheduled scene and reports the time each scene's frames take (`lantern bench`).
#pragma once

// Prints one line a scene (mean and worst ms a frame) and the whole piece; returns 0.
int RunFrameBenchmark(int framesPerScene);
