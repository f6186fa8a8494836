// Play-mode and offline frame times.
#include "timeline/frame_clock.h"

#include "base/error.h"
#include "platform/ticks.h"
#include "resources/lum_log.h"
#include "sound/soundtrack.h"

#include <algorithm>
#include <cstdlib>

namespace {

std::optional<int32_t> g_offlineMs;
std::optional<uint32_t> g_heldTick; // the tick while paused

// The clock as a frame read it.
struct Reading {
    int64_t steadyUs = 0;
    int64_t musicUs = 0;
};
Reading g_reading;  // of the frame being drawn
Reading g_previous; // of the frame presented before it
// The frame before was presented since the music last started, sought or resumed, and the
// music had moved by then (it holds at first, until the sound is heard).
bool g_previousCounts = false;
bool g_moving = false;
PresentationLead g_lead;
FrameStepSpread g_steps;
int g_underrunsLogged = 0;

// A new start of the music: the steps across it are not the clock's.
void ForgetPreviousFrame()
{
    g_previousCounts = false;
    g_moving = false;
}

void LogNewUnderruns()
{
    const int underruns = SoundUnderruns();
    if (underruns == g_underrunsLogged) return;
    g_underrunsLogged = underruns;
    Log(StrFormat("sound: the speaker ran dry near %.3f s (%d times so far)", g_reading.musicUs / 1e6, underruns));
}

} // namespace

void PresentationLead::Add(int64_t tookUs)
{
    m_recent[m_next] = tookUs;
    m_next = (m_next + 1) % Frames;
    m_count = std::min(m_count + 1, Frames);
    int64_t sorted[Frames];
    std::copy(m_recent, m_recent + m_count, sorted);
    std::nth_element(sorted, sorted + m_count / 2, sorted + m_count);
    const int64_t median = sorted[m_count / 2];
    // Until the set is full the lead is the median itself: the music holds at its start then.
    m_leadUs = m_count < Frames ? median : m_leadUs + std::clamp(median - m_leadUs, -StepUs, StepUs);
}

void FrameStepSpread::Add(int64_t offUs)
{
    const int64_t off = std::llabs(offUs);
    if (off > JumpUs) {
        ++m_jumps;
        return;
    }
    ++m_steps;
    ++m_bins[off / BinUs];
    m_largestUs = std::max(m_largestUs, off);
}

int64_t FrameStepSpread::PercentileUs(int percent) const
{
    if (m_steps == 0) return 0;
    const int64_t wanted = (static_cast<int64_t>(m_steps) * percent + 99) / 100;
    int64_t seen = 0;
    for (int bin = 0; bin < kBins; ++bin) {
        seen += m_bins[bin];
        if (seen >= wanted) return bin * BinUs;
    }
    return JumpUs;
}

int32_t FrameMusicTime()
{
    if (g_offlineMs) return *g_offlineMs;
    const int64_t now = SteadyMicroseconds();
    g_reading = {now, SoundStreamTimeAt(SoundStream, now + g_lead.Us())};
    return static_cast<int32_t>(std::min<int64_t>(g_reading.musicUs / 1000, INT32_MAX));
}

uint32_t FrameTickCount()
{
    if (g_offlineMs) return static_cast<uint32_t>(*g_offlineMs);
    if (g_heldTick) return *g_heldTick;
    return GetTickCount();
}

void FramePresented()
{
    if (g_offlineMs) return;
    g_lead.Add(SteadyMicroseconds() - g_reading.steadyUs);
    if (g_previousCounts && !FrameClockPaused()) {
        const int64_t musicStepUs = g_reading.musicUs - g_previous.musicUs;
        if (g_moving) g_steps.Add(musicStepUs - (g_reading.steadyUs - g_previous.steadyUs));
        g_moving = g_moving || musicStepUs != 0;
    }
    g_previous = g_reading;
    g_previousCounts = !FrameClockPaused();
    LogNewUnderruns();
}

void LogFrameClockSummary()
{
    if (g_offlineMs) return;
    Log(StrFormat("frame clock: %d frame steps, off the time between frames by %.2f ms at the median, %.2f ms "
                  "at the 95th percentile, %.2f ms at most; %d steps off by more than %.0f ms; frames drawn %.1f "
                  "ms ahead; the music clock jumped %d times; the speaker ran dry %d times",
                  g_steps.Steps(), g_steps.PercentileUs(50) / 1000.0, g_steps.PercentileUs(95) / 1000.0,
                  g_steps.LargestUs() / 1000.0, g_steps.Jumps(), FrameStepSpread::JumpUs / 1000.0,
                  g_lead.Us() / 1000.0, SoundClockJumps(), SoundUnderruns()));
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
    ForgetPreviousFrame();
}

bool FrameClockPaused()
{
    return g_heldTick.has_value();
}

void SeekFrameClock(int32_t ms)
{
    SeekSoundStream(ms);
    ForgetPreviousFrame();
}
