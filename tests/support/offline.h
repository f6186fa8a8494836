// The whole piece started off-screen on the generated data set (build/Data), once per test
// program, for tests that render real frames.
#pragma once

#include <cstdint>
#include <vector>

// Runs the start-up sequence on the generated data the first time it is called; a test
// fails (never skips) when the data set is missing or broken. Call it from SetUp.
void EnsureOfflinePiece();

// The frame a run from 0 draws at a music time, RGB rows top first (tick counter fixed to the
// same time).
std::vector<uint8_t> RenderFrameAt(int32_t musicMs);

// Mean of the three channels over a rectangle of a top-first RGB frame.
double MeanBrightness(const std::vector<uint8_t>& frame, int x0, int y0, int x1, int y1);
