// Play-mode and offline frame times.
#include "timeline/frame_clock.h"

#include "platform/ticks.h"
#include "sound/soundtrack.h"

namespace {

std::optional<int32_t> g_offlineMs;
std::optional<uint32_t> g_heldTick; // the tick while paused

} // namespace

int32_t FrameMusicTime()
{
    if (g_offlineMs) return *g_offlineMs;
    return SoundStreamTimeMs(SoundStream);
}

uint32_t FrameTickCount()
{
    if (g_offlineMs) return static_cast<uint32_t>(*g_offlineMs);
    if (g_heldTick) return *g_heldTick;
    return GetTickCount();
}

void SetOfflineFrameTime(std::optional<int32_t> ms)
{
    g_offlineMs = ms;
}

void PauseFrameClock(bool paused)
{
    if (paused == FrameClockPaused()) return;
    g_heldTick = paused ? std::optional<uint32_t>(GetTickCount()) : std::nullopt;
    PauseSoundStream(paused);
}

bool FrameClockPaused()
{
    return g_heldTick.has_value();
}

void SeekFrameClock(int32_t ms)
{
    SeekSoundStream(ms);
}
