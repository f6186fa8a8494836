// The whole piece started off-screen on the generated data set (build/Data), once per test
// program, for tests that render real frames, and the comparison with stored golden frames.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Runs the start-up sequence on the generated data the first time it is called; a test
// fails (never skips) when the data set is missing or broken. Call it from SetUp.
void EnsureOfflinePiece();

// The frame a run from 0 draws at a music time, RGB rows top first (tick counter fixed to the
// same time).
std::vector<uint8_t> RenderFrameAt(int32_t musicMs);
// One scene object alone (the object `lantern shot --scene` draws) at ms of its own span.
std::vector<uint8_t> RenderSceneAt(std::string_view scene, int32_t ms);

// Mean of the three channels over a rectangle of a top-first RGB frame.
double MeanBrightness(const std::vector<uint8_t>& frame, int x0, int y0, int x1, int y1);

// Compares a 640x480 frame with tests/golden/<name>.png, the fixed renderer's frame: small
// differences of rasterisation pass, a changed picture fails. The renderer on shaders is held
// to it within a mean of 1 level and 0.5 % of the pixels more than 16 levels off, and prints
// its figures. With LANTERN_UPDATE_GOLDEN=1 the fixed renderer rewrites the file instead
// (regenerate on purpose only, and say why in the commit).
void ExpectGoldenFrame(const std::vector<uint8_t>& frame, const std::string& name);

// How many numbers the shared random source gives out while `action` runs.
int RandomDrawsDuring(const std::function<void()>& action);
