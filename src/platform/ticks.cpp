// Tick counter on the steady clock.
#include "platform/ticks.h"

#include <chrono>

namespace {

const auto g_start = std::chrono::steady_clock::now();

} // namespace

uint32_t GetTickCount()
{
    const auto elapsed = std::chrono::steady_clock::now() - g_start;
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}
