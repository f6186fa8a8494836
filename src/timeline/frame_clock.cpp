// Play-mode and offline frame times.
#include "timeline/frame_clock.h"

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

uint32_t FrameTickCount()
{
    if (g_offlineMs) return static_cast<uint32_t>(*g_offlineMs);
    return GetTickCount();
}

void SetOfflineFrameTime(std::optional<int32_t> ms)
{
    g_offlineMs = ms;
}
