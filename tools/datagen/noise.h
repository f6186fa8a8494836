// Deterministic randomness for the generators: a small seeded generator, and lattice noises
// (value, Perlin gradient, cellular) with fractal sums. Every noise takes a seed and, where
// a texture must tile, a period in lattice cells (0 = no wrap). Same inputs, same numbers,
// on every machine: only integer hashing and float arithmetic in a fixed order.
#pragma once

#include <cstdint>

// xorshift-style generator for placements; one per asset, seeded by a fixed constant.
class Rng {
public:
    explicit Rng(uint64_t seed);
    uint32_t NextU32();
    float Uniform();                      // [0, 1)
    float Uniform(float low, float high); // [low, high)
    int Below(int count);                 // [0, count)

private:
    uint64_t m_state;
};

// Hash of lattice coordinates and a seed to [0, 1).
float LatticeHash(int x, int y, uint32_t seed);

// Smooth noises in [-1, 1] (about), x and y in lattice cells.
float ValueNoise(float x, float y, uint32_t seed, int periodX = 0, int periodY = 0);
float PerlinNoise(float x, float y, uint32_t seed, int periodX = 0, int periodY = 0);

// Sum of `octaves` Perlin octaves, each twice the frequency (and period) of the last, with
// amplitude multiplied by `gain`; normalised to about [-1, 1]. `detailOctaves` more octaves go
// on finer still, normalised as the first `octaves` are: a texture painted larger than it was
// made for (DetailOctaves) gains detail and keeps its tones.
float Fbm(float x, float y, uint32_t seed, int octaves, float gain = 0.5f, int periodX = 0, int periodY = 0,
          int detailOctaves = 0);
// The octaves a noise made for a texture of `madeFor` pixels gains when the texture is painted
// at `size`: one for each doubling, so that its finest detail stays about as many texels wide.
int DetailOctaves(int size, int madeFor);
// 1 - |noise| summed the same way: sharp crests, for cracks, veins and clouds' edges. [0, 1].
float RidgedFbm(float x, float y, uint32_t seed, int octaves, float gain = 0.5f, int periodX = 0, int periodY = 0);

// Distances to the nearest and second nearest feature point of a jittered grid (cellular
// noise), in cells; `cellId` receives a hash of the nearest cell in [0, 1).
struct CellularResult {
    float nearest, second, cellId;
};
CellularResult Cellular(float x, float y, uint32_t seed, int periodX = 0, int periodY = 0);

// Shaping helpers.
float Clamp01(float value);
float SmoothStep(float edge0, float edge1, float value);
float Lerp(float a, float b, float t);
