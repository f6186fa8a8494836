// Tick counter on the steady clock.
#include "platform/ticks.h"

#include <chrono>
#include <ctime>

namespace {

const auto g_start = std::chrono::steady_clock::now();

} // namespace

uint32_t GetTickCount()
{
    const auto elapsed = std::chrono::steady_clock::now() - g_start;
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

int64_t SteadyMicroseconds()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::microseconds>(now).count();
}

double ProcessCpuMilliseconds()
{
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) * 1000.0 + static_cast<double>(used.tv_nsec) / 1e6;
}
