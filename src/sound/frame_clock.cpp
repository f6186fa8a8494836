// Play-mode and offline frame times.
#include "sound/frame_clock.h"

#include "platform/ticks.h"
#include "sound/soundtrack.h"

namespace {

std::optional<int32_t> g_offlineMs;

} // namespace

int32_t FrameMusicTime()
{
    if (g_offlineMs) return *g_offlineMs;
    return SoundStreamTimeMs(SoundStream);
}

void SetOfflineFrameTime(std::optional<int32_t> ms)
{
    g_offlineMs = ms;
    if (ms) SetFixedTickCount(static_cast<uint32_t>(*ms));
    else SetFixedTickCount(std::nullopt);
}
