// Seeded generator and lattice noises for the procedural textures and placements.
#include "datagen/noise.h"

#include <cmath>

Rng::Rng(uint64_t seed) : m_state(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull)
{
    if (m_state == 0) m_state = 1;
}

uint32_t Rng::NextU32()
{
    // xorshift64*: good enough spread for placements, and trivially reproducible.
    m_state ^= m_state >> 12;
    m_state ^= m_state << 25;
    m_state ^= m_state >> 27;
    return static_cast<uint32_t>((m_state * 0x2545F4914F6CDD1Dull) >> 32);
}

float Rng::Uniform() { return static_cast<float>(NextU32() >> 8) * (1.0f / 16777216.0f); }

float Rng::Uniform(float low, float high) { return low + (high - low) * Uniform(); }

int Rng::Below(int count) { return static_cast<int>((static_cast<uint64_t>(NextU32()) * count) >> 32); }

namespace {

uint32_t Hash(int x, int y, uint32_t seed)
{
    uint32_t h = static_cast<uint32_t>(x) * 0x8DA6B343u ^ static_cast<uint32_t>(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

int Wrap(int value, int period)
{
    if (period <= 0) return value;
    const int r = value % period;
    return r < 0 ? r + period : r;
}

float Fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

float Gradient(int x, int y, uint32_t seed, float dx, float dy)
{
    // Eight directions of equal length: no axis bias, exact integer-derived choice.
    static const float kDirections[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1},
                                            {0.70710678f, 0.70710678f}, {-0.70710678f, 0.70710678f},
                                            {0.70710678f, -0.70710678f}, {-0.70710678f, -0.70710678f}};
    const float* g = kDirections[Hash(x, y, seed) >> 29];
    return g[0] * dx + g[1] * dy;
}

} // namespace

float LatticeHash(int x, int y, uint32_t seed) { return static_cast<float>(Hash(x, y, seed) >> 8) * (1.0f / 16777216.0f); }

float ValueNoise(float x, float y, uint32_t seed, int periodX, int periodY)
{
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    const float tx = Fade(x - fx), ty = Fade(y - fy);
    const int x0 = Wrap(ix, periodX), x1 = Wrap(ix + 1, periodX);
    const int y0 = Wrap(iy, periodY), y1 = Wrap(iy + 1, periodY);
    const float a = LatticeHash(x0, y0, seed), b = LatticeHash(x1, y0, seed);
    const float c = LatticeHash(x0, y1, seed), d = LatticeHash(x1, y1, seed);
    return 2.0f * Lerp(Lerp(a, b, tx), Lerp(c, d, tx), ty) - 1.0f;
}

float PerlinNoise(float x, float y, uint32_t seed, int periodX, int periodY)
{
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    const float dx = x - fx, dy = y - fy;
    const int x0 = Wrap(ix, periodX), x1 = Wrap(ix + 1, periodX);
    const int y0 = Wrap(iy, periodY), y1 = Wrap(iy + 1, periodY);
    const float a = Gradient(x0, y0, seed, dx, dy), b = Gradient(x1, y0, seed, dx - 1, dy);
    const float c = Gradient(x0, y1, seed, dx, dy - 1), d = Gradient(x1, y1, seed, dx - 1, dy - 1);
    const float tx = Fade(dx), ty = Fade(dy);
    return 1.4142f * Lerp(Lerp(a, b, tx), Lerp(c, d, tx), ty);
}

float Fbm(float x, float y, uint32_t seed, int octaves, float gain, int periodX, int periodY, int detailOctaves)
{
    float sum = 0, amplitude = 1, norm = 0;
    for (int i = 0; i < octaves + detailOctaves; ++i) {
        sum += amplitude * PerlinNoise(x, y, seed + 101u * i, periodX, periodY);
        if (i < octaves) norm += amplitude;
        amplitude *= gain;
        x *= 2;
        y *= 2;
        periodX *= 2;
        periodY *= 2;
    }
    return sum / norm;
}

int DetailOctaves(int size, int madeFor)
{
    int octaves = 0;
    for (int larger = madeFor * 2; larger <= size; larger *= 2) ++octaves;
    return octaves;
}

float RidgedFbm(float x, float y, uint32_t seed, int octaves, float gain, int periodX, int periodY)
{
    float sum = 0, amplitude = 1, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        const float n = 1.0f - std::fabs(PerlinNoise(x, y, seed + 131u * i, periodX, periodY));
        sum += amplitude * n * n;
        norm += amplitude;
        amplitude *= gain;
        x *= 2;
        y *= 2;
        periodX *= 2;
        periodY *= 2;
    }
    return sum / norm;
}

CellularResult Cellular(float x, float y, uint32_t seed, int periodX, int periodY)
{
    const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    CellularResult result{1e9f, 1e9f, 0};
    for (int j = -1; j <= 1; ++j) {
        for (int i = -1; i <= 1; ++i) {
            const int cx = ix + i, cy = iy + j;
            const int hx = Wrap(cx, periodX), hy = Wrap(cy, periodY);
            const float px = cx + LatticeHash(hx, hy, seed);
            const float py = cy + LatticeHash(hx, hy, seed ^ 0x5bd1e995u);
            const float d = std::sqrt((px - x) * (px - x) + (py - y) * (py - y));
            if (d < result.nearest) {
                result.second = result.nearest;
                result.nearest = d;
                result.cellId = LatticeHash(hx, hy, seed ^ 0x1b873593u);
            } else if (d < result.second) {
                result.second = d;
            }
        }
    }
    return result;
}

float Clamp01(float value) { return value < 0 ? 0 : (value > 1 ? 1 : value); }

float SmoothStep(float edge0, float edge1, float value)
{
    const float t = Clamp01((value - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

float Lerp(float a, float b, float t) { return a + (b - a) * t; }
