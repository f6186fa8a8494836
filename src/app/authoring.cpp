// Authoring mode: the keys that pause, seek and loop, and the window title that shows where
// the piece is.
#include "app/authoring.h"

#include "app/glwindow.h"
#include "platform/messages.h"
#include "platform/ticks.h"
#include "platform/window.h"
#include "scenes/lum_scenes.h"
#include "timeline/frame_clock.h"
#include "timeline/globalscenes.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace {

constexpr int32_t kSeekStepMs = 5000;

// The schedule in order of time (its table is in slot order, and slot 15 plays third).
const std::array<const ScheduledScene*, PieceSchedule.size()>& SlotsInTimeOrder()
{
    static const auto slots = [] {
        std::array<const ScheduledScene*, PieceSchedule.size()> sorted{};
        for (size_t i = 0; i < PieceSchedule.size(); ++i) sorted[i] = &PieceSchedule[i];
        std::sort(sorted.begin(), sorted.end(),
                  [](const ScheduledScene* a, const ScheduledScene* b) { return a->startMs < b->startMs; });
        return sorted;
    }();
    return slots;
}

// Index in time order of the slot the keys count from at ms.
size_t CurrentSlotIndex(int32_t ms)
{
    const auto& slots = SlotsInTimeOrder();
    size_t index = 0;
    for (size_t i = 0; i < slots.size(); ++i)
        if (slots[i]->startMs <= ms) index = i;
    return index;
}

} // namespace

const ScheduledScene* ScheduledSceneAt(int32_t ms)
{
    for (const ScheduledScene& scene : PieceSchedule)
        if (scene.startMs <= ms && ms < scene.endMs) return &scene;
    return nullptr;
}

const ScheduledScene* CurrentSlot(int32_t ms)
{
    return SlotsInTimeOrder()[CurrentSlotIndex(ms)];
}

int32_t PreviousSlotStart(int32_t ms)
{
    const size_t index = CurrentSlotIndex(ms);
    return SlotsInTimeOrder()[index == 0 ? 0 : index - 1]->startMs;
}

int32_t NextSlotStart(int32_t ms)
{
    const size_t index = CurrentSlotIndex(ms) + 1;
    return index < SlotsInTimeOrder().size() ? SlotsInTimeOrder()[index]->startMs : -1;
}

bool AuthoringControl::KeyDown(int virtualKey, int32_t ms)
{
    switch (virtualKey) {
    case VK_SPACE:
        m_clock.SetPaused(!m_clock.Paused());
        return true;
    case VK_F5:
        Seek(std::max(0, ms - kSeekStepMs));
        return true;
    case VK_F6:
        Seek(ms + kSeekStepMs);
        return true;
    case VK_F7:
        Seek(PreviousSlotStart(ms));
        return true;
    case VK_F8:
        // From the last slot there is no next one; ending the run on a stray key would be worse.
        if (const int32_t next = NextSlotStart(ms); next >= 0) Seek(next);
        return true;
    case VK_F9:
        m_loop = m_loop ? nullptr : CurrentSlot(ms);
        return true;
    default:
        return false;
    }
}

void AuthoringControl::Seek(int32_t ms)
{
    if (ms >= PieceEndMs()) {
        m_endAsked = true;
        EndPiece();
        return;
    }
    m_clock.SeekTo(ms);
    // A loop follows the seek: the slot looped is the one the seek lands in.
    if (m_loop) m_loop = CurrentSlot(ms);
}

void AuthoringControl::BeforeFrame(int32_t clockMs)
{
    if (m_loop && clockMs >= m_loop->endMs) m_clock.SeekTo(m_loop->startMs);
}

void AuthoringControl::AfterFrame()
{
    // Only the outro asks to end the piece, before its span is over; looped, it plays again.
    if (m_loop && !m_endAsked && PieceEndRequested()) {
        ClearPieceEnd();
        m_clock.SeekTo(m_loop->startMs);
    }
}

void FrameRateMeter::FramePresented(uint32_t nowMs)
{
    if (!m_started) {
        m_started = true;
        m_windowStartMs = nowMs;
        m_frames = 0;
        return;
    }
    ++m_frames;
    const uint32_t elapsed = nowMs - m_windowStartMs;
    if (elapsed < 1000) return;
    m_rate = m_frames * 1000.0 / elapsed;
    m_windowStartMs = nowMs;
    m_frames = 0;
}

void FormatAuthoringTitle(char* out, size_t size, const char* baseTitle, int32_t ms, double fps, bool paused,
                          bool looping)
{
    const int32_t shown = std::max(ms, 0);
    int used = std::snprintf(out, size, "%s  %d:%02d.%03d", baseTitle, shown / 60000, shown / 1000 % 60,
                             shown % 1000);
    const auto append = [&](const char* format, auto... values) {
        if (used < 0 || static_cast<size_t>(used) >= size) return;
        used += std::snprintf(out + used, size - used, format, values...);
    };
    if (const ScheduledScene* scene = ScheduledSceneAt(shown)) {
        const int64_t elapsed = static_cast<int64_t>(shown) - scene->startMs;
        const int percent = static_cast<int>(elapsed * 100 / (scene->endMs - scene->startMs));
        append("  %.*s %d%%", static_cast<int>(scene->name.size()), scene->name.data(), percent);
    } else {
        append("  -");
    }
    if (fps >= 0.0) append("  %.1f fps", fps);
    else append("  -- fps");
    if (paused) append("  paused");
    if (looping) append("  loop");
    const PixelSize picture = PictureSize();
    if (picture != PieceFrameSize) append("  %dx%d", picture.width, picture.height);
}

namespace {

// The run's clock: the frame clock moves the music and the picture together.
class FrameClockControl : public AuthoringClock {
public:
    bool Paused() override { return FrameClockPaused(); }
    void SetPaused(bool paused) override { PauseFrameClock(paused); }
    void SeekTo(int32_t ms) override { SeekFrameClock(ms); }
};

FrameClockControl g_frameClock;
AuthoringControl g_authoring(g_frameClock);
FrameRateMeter g_frameRate;
char g_title[160];

} // namespace

void AuthoringKeyDown(int virtualKey)
{
    g_authoring.KeyDown(virtualKey, MusicTime);
}

void AuthoringBeforeFrame()
{
    g_authoring.BeforeFrame(FrameMusicTime());
}

void AuthoringAfterFrame()
{
    g_authoring.AfterFrame();
    g_frameRate.FramePresented(GetTickCount());
    char title[sizeof g_title];
    FormatAuthoringTitle(title, sizeof title, WindowTitle, MusicTime, g_frameRate.FramesPerSecond(),
                         g_authoring.Paused(), g_authoring.Looping());
    if (std::strcmp(title, g_title) == 0) return;
    std::memcpy(g_title, title, sizeof title);
    SetPlatformWindowTitle(g_title);
}
