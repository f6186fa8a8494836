// The linear congruential generator.
#include "base/random.h"

namespace {

uint32_t g_randomSeed = 0;

} // namespace

void SetRandomSeed(uint32_t seed)
{
    g_randomSeed = seed;
}

uint32_t RandomSeed()
{
    return g_randomSeed;
}

uint32_t RandomBelow(uint32_t range)
{
    g_randomSeed = g_randomSeed * 134775813u + 1u;
    return static_cast<uint32_t>((static_cast<uint64_t>(g_randomSeed) * range) >> 32);
}

double Random01()
{
    return RandomBelow(1000000) / 1000000.0;
}
