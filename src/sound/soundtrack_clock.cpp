// The music clock: a steady clock slewed toward the route's reports.
#include "sound/soundtrack_clock.h"

#include <algorithm>
#include <cstdlib>

void SoundtrackClock::SetExtraDelayUs(int64_t us)
{
    std::lock_guard lock(m_mutex);
    m_extraDelayUs = us;
}

void SoundtrackClock::Start(int32_t startMs, int64_t nowUs, bool deviceDriven)
{
    std::lock_guard lock(m_mutex);
    m_paused = false;
    StartLocked(startMs * int64_t{1000}, startMs * int64_t{1000}, nowUs, deviceDriven);
}

void SoundtrackClock::StartLocked(int64_t streamUs, int64_t pictureUs, int64_t nowUs, bool deviceDriven)
{
    m_started = true;
    m_deviceDriven = deviceDriven;
    m_streamStartUs = streamUs;
    m_floorUs = pictureUs;
    m_startSteadyUs = nowUs;
    m_handedFrames = 0;
    m_anchored = false;
    m_probing = false;
    m_slewPpm = 0;
    m_reportsOff = 0;
    m_bridging = false; // a start, a seek or a resume holds for the sound as usual
}

void SoundtrackClock::BlockHanded(int64_t frames, const AudioTiming& timing)
{
    std::lock_guard lock(m_mutex);
    if (!m_started || m_paused || !m_deviceDriven || m_lost) return;
    const int64_t handedUs = m_handedFrames * 1000000 / m_rate;
    m_handedFrames += frames;
    if (timing.known) ReportLocked(m_streamStartUs + handedUs - timing.delayUs, timing.entryUs);
}

void SoundtrackClock::PositionHeard(int64_t streamUs, int64_t atUs)
{
    std::lock_guard lock(m_mutex);
    m_positionsReported = true;
    if (!m_started || m_paused || !m_deviceDriven || m_lost) return;
    ReportLocked(streamUs, atUs);
}

void SoundtrackClock::ReportLocked(int64_t reportedUs, int64_t entryUs)
{
    if (!m_anchored) {
        // The sound runs once two reports a little apart show it moving at about real time:
        // a server may start its sink a while after the first block. Until then the clock
        // holds rather than run ahead of a sound that has not started.
        const int64_t elapsedUs = entryUs - m_probeSteadyUs;
        if (m_probing && elapsedUs >= ProbeUs && (reportedUs - m_probeHeardUs) * 2 >= elapsedUs) {
            m_anchored = true;
            m_anchorSteadyUs = entryUs;
            m_anchorHeardUs = reportedUs;
            if (m_bridging) {
                // Back after a loss: the picture ran on by itself meanwhile. Taken up where it
                // is, it bends toward the sound if that came in within a jump, else jumps once.
                m_bridging = false;
                const int64_t bridgedUs = m_floorUs + (entryUs - m_startSteadyUs) + m_extraDelayUs;
                const int64_t errorUs = reportedUs - bridgedUs;
                if (std::llabs(errorUs) <= JumpUs) {
                    m_anchorHeardUs = bridgedUs;
                    m_slewPpm = std::clamp(errorUs * 1000000 / SettleUs, -MaxSlewPpm, MaxSlewPpm);
                } else {
                    ++m_jumps;
                }
            }
        } else if (!m_probing || elapsedUs >= ProbeUs) {
            m_probing = true;
            m_probeSteadyUs = entryUs;
            m_probeHeardUs = reportedUs;
        }
        return;
    }
    const int64_t estimateUs = HeardUsLocked(entryUs);
    const int64_t errorUs = reportedUs - estimateUs;
    if (std::llabs(errorUs) > JumpUs) {
        // One report so far off may be the route's own hiccup; a second is the sound.
        if (++m_reportsOff < 2) return;
        ++m_jumps;
        m_reportsOff = 0;
        m_anchorSteadyUs = entryUs;
        m_anchorHeardUs = reportedUs;
        m_slewPpm = 0;
        return;
    }
    m_reportsOff = 0;
    m_anchorSteadyUs = entryUs;
    m_anchorHeardUs = estimateUs;
    m_slewPpm = std::clamp(errorUs * 1000000 / SettleUs, -MaxSlewPpm, MaxSlewPpm);
}

void SoundtrackClock::SoundLost(int64_t nowUs)
{
    std::lock_guard lock(m_mutex);
    if (!m_started || m_lost) return;
    if (!m_paused) {
        m_floorUs = TimeUsLocked(nowUs);
        m_startSteadyUs = nowUs;
    }
    m_lost = true;
    m_bridging = false;
}

bool SoundtrackClock::SoundIsLost()
{
    std::lock_guard lock(m_mutex);
    return m_lost;
}

int64_t SoundtrackClock::SoundBack(int64_t nowUs, int64_t expectedDelayUs)
{
    std::lock_guard lock(m_mutex);
    if (!m_lost) return HeardUsLocked(nowUs);
    m_lost = false;
    if (m_paused) return m_held.streamMs * int64_t{1000};
    // What is handed from now is heard expectedDelayUs later, when the picture has moved on
    // by as much.
    const int64_t pictureUs = m_floorUs + (nowUs - m_startSteadyUs);
    const int64_t streamUs = std::max<int64_t>(0, pictureUs + m_extraDelayUs + expectedDelayUs);
    StartLocked(streamUs, pictureUs, nowUs, m_deviceDriven);
    m_bridging = true;
    return streamUs;
}

int64_t SoundtrackClock::HeardUsLocked(int64_t atUs) const
{
    const int64_t runUs = (atUs - m_anchorSteadyUs) * (1000000 + m_slewPpm) / 1000000;
    if (m_positionsReported) return m_anchorHeardUs + runUs;
    const int64_t handedUs = m_streamStartUs + m_handedFrames * 1000000 / m_rate;
    return std::min(m_anchorHeardUs + runUs, handedUs);
}

int64_t SoundtrackClock::TimeUsLocked(int64_t atUs) const
{
    if (!m_started) return 0;
    if (m_paused) return m_held.pictureMs * int64_t{1000};
    if (!m_deviceDriven || m_lost || m_bridging) return m_floorUs + std::max<int64_t>(0, atUs - m_startSteadyUs);
    if (!m_anchored) return m_floorUs;
    return std::max(m_floorUs, HeardUsLocked(atUs) - m_extraDelayUs);
}

int64_t SoundtrackClock::TimeUs(int64_t atUs)
{
    std::lock_guard lock(m_mutex);
    return TimeUsLocked(atUs);
}

int32_t SoundtrackClock::TimeMs(int64_t atUs)
{
    return static_cast<int32_t>(std::min<int64_t>(TimeUs(atUs) / 1000, INT32_MAX));
}

SoundtrackClock::Held SoundtrackClock::Pause(int64_t nowUs)
{
    std::lock_guard lock(m_mutex);
    if (!m_started || m_paused) return m_held;
    const int64_t pictureUs = TimeUsLocked(nowUs);
    // The sound heard last: the picture's time shifted by the extra delay, or where the stream
    // started when nothing of it was heard yet.
    int64_t streamUs = pictureUs;
    if (m_lost || m_bridging) streamUs = pictureUs + m_extraDelayUs;
    else if (m_deviceDriven) streamUs = m_anchored ? std::max(m_streamStartUs, HeardUsLocked(nowUs)) : m_streamStartUs;
    const auto ms = [](int64_t us) { return static_cast<int32_t>(std::clamp<int64_t>(us / 1000, 0, INT32_MAX)); };
    m_held = {ms(pictureUs), ms(streamUs)};
    m_paused = true;
    return m_held;
}

void SoundtrackClock::Resume(int64_t nowUs)
{
    std::lock_guard lock(m_mutex);
    if (!m_paused) return;
    m_paused = false;
    StartLocked(m_held.streamMs * int64_t{1000}, m_held.pictureMs * int64_t{1000}, nowUs, m_deviceDriven);
}

bool SoundtrackClock::Paused()
{
    std::lock_guard lock(m_mutex);
    return m_paused;
}

void SoundtrackClock::Seek(int32_t ms, int64_t nowUs)
{
    std::lock_guard lock(m_mutex);
    if (!m_started) return;
    if (m_paused) m_held = {ms, ms};
    else StartLocked(ms * int64_t{1000}, ms * int64_t{1000}, nowUs, m_deviceDriven);
}

int SoundtrackClock::Jumps()
{
    std::lock_guard lock(m_mutex);
    return m_jumps;
}
