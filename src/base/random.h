// The shared random source: the run-time's linear congruential generator, seeded once by the
// start-up sequence. Every loader places things with it, and the number and order of the
// draws of each load fix every placement after it, so the same seed and the same load order
// place everything identically in every run. Depends on nothing.
#pragma once

#include <cstdint>

// The seed the start-up sequence gives the generator before anything is loaded.
constexpr uint32_t StartUpRandomSeed = 0x34873137;

// Sets the generator's state (0 until the first call).
void SetRandomSeed(uint32_t seed);
// The generator's state, for tests that count draws.
uint32_t RandomSeed();
// Advances the generator (seed := seed * 134775813 + 1 mod 2^32) and returns an integer in
// [0, range): the high 32 bits of seed * range.
uint32_t RandomBelow(uint32_t range);
// RandomBelow(1000000) / 1000000: a double in [0, 1) in steps of one millionth.
double Random01();
