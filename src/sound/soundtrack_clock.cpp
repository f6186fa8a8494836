// Interpolated, monotonic music clock.
#include "sound/soundtrack_clock.h"

#include <algorithm>

void SoundtrackClock::SetOutputDelay(int64_t frames)
{
    std::lock_guard lock(m_mutex);
    m_outputDelay = frames;
}

void SoundtrackClock::Start(int32_t startMs, int64_t nowUs, bool deviceDriven)
{
    std::lock_guard lock(m_mutex);
    m_paused = false;
    StartLocked(startMs, nowUs, deviceDriven);
}

void SoundtrackClock::StartLocked(int32_t startMs, int64_t nowUs, bool deviceDriven)
{
    m_started = true;
    m_deviceDriven = deviceDriven;
    m_startFrame = static_cast<int64_t>(startMs) * m_rate / 1000;
    m_startUs = nowUs;
    m_blockStartFrame = -1;
    m_handedFrames = 0;
    m_lastMs = startMs;
}

void SoundtrackClock::FramesHanded(int64_t frames, int64_t nowUs)
{
    std::lock_guard lock(m_mutex);
    m_blockStartFrame = m_handedFrames;
    m_handedFrames += frames;
    m_blockUs = nowUs;
}

int32_t SoundtrackClock::TimeMs(int64_t nowUs)
{
    std::lock_guard lock(m_mutex);
    return TimeMsLocked(nowUs);
}

int32_t SoundtrackClock::TimeMsLocked(int64_t nowUs)
{
    if (!m_started) return 0;
    if (m_paused) return m_lastMs;
    int64_t played = 0;
    if (!m_deviceDriven) {
        played = std::max<int64_t>(0, nowUs - m_startUs) * m_rate / 1000000;
    } else if (m_blockStartFrame >= 0) {
        const int64_t sinceBlock = std::max<int64_t>(0, nowUs - m_blockUs) * m_rate / 1000000;
        played = std::max<int64_t>(0, std::min(m_blockStartFrame + sinceBlock, m_handedFrames) - m_outputDelay);
    }
    const int64_t ms = (m_startFrame + played) * 1000 / m_rate;
    m_lastMs = std::max(m_lastMs, static_cast<int32_t>(std::min<int64_t>(ms, INT32_MAX)));
    return m_lastMs;
}

int32_t SoundtrackClock::Pause(int64_t nowUs)
{
    std::lock_guard lock(m_mutex);
    if (m_started && !m_paused) {
        TimeMsLocked(nowUs);
        m_paused = true;
    }
    return m_lastMs;
}

void SoundtrackClock::Resume(int64_t nowUs)
{
    std::lock_guard lock(m_mutex);
    if (!m_paused) return;
    m_paused = false;
    StartLocked(m_lastMs, nowUs, m_deviceDriven);
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
    if (m_paused) m_lastMs = ms;
    else StartLocked(ms, nowUs, m_deviceDriven);
}
