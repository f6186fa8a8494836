// lum_globals: the one current camera, the path the debug recorder appends to, and the
// shared random source that every loader places things with. Depends on lum_camera.
//
// At program start (static initialisation) floating-point exceptions are masked, so a
// division by zero or an invalid operation gives an infinity or a NaN and never traps,
// CurrentCamera holds DefaultCamera() and DefaultCameraPath is empty.
#pragma once

#include "render/lum_camera.h"

#include <cstdint>

// The camera scenes evaluate into and apply, and the debug moves change.
extern CameraRecord CurrentCamera;
// The recording path: each recorded key is appended and the path saved to "default.camera".
extern CameraPath DefaultCameraPath;

// Eye (0, 0, -10) looking at (0, 0, 10), up (0, 10, 0), fov 70.
CameraRecord DefaultCamera();

// The seed the start-up sequence gives the generator before anything is loaded.
constexpr uint32_t StartUpRandomSeed = 0x34873137;

// Sets the generator's state (0 until the first call).
void SetRandomSeed(uint32_t seed);
// Advances the generator (seed := seed * 134775813 + 1 mod 2^32) and returns an integer in
// [0, range): the high 32 bits of seed * range.
uint32_t RandomBelow(uint32_t range);
// RandomBelow(1000000) / 1000000: a double in [0, 1) in steps of one millionth.
double Random01();
