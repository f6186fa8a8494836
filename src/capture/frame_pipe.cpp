// The frame writer thread.
#include "capture/frame_pipe.h"

#include "platform/child_process.h"

#include <chrono>

namespace {

// How often a waiting drawing thread looks at the interruption flag.
constexpr auto kPoll = std::chrono::milliseconds(20);

} // namespace

FramePipe::FramePipe(ChildProcess& reader, size_t frameBytes, int buffers)
    : m_reader(reader), m_frameBytes(frameBytes),
      m_buffers(static_cast<size_t>(buffers), std::vector<uint8_t>(frameBytes)), m_writer([this] { WriteFrames(); })
{
}

FramePipe::~FramePipe()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_writer.join();
}

uint8_t* FramePipe::NextBuffer(const std::atomic<bool>& interrupted)
{
    const auto start = std::chrono::steady_clock::now();
    std::unique_lock<std::mutex> lock(m_mutex);
    while (m_queued == m_buffers.size() && m_failure.empty() && !interrupted) m_changed.wait_for(lock, kPoll);
    m_waitedMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (!m_failure.empty() || interrupted) return nullptr;
    return m_buffers[(m_first + m_queued) % m_buffers.size()].data();
}

void FramePipe::Submit()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        ++m_queued;
    }
    m_changed.notify_all();
}

bool FramePipe::Drain(const std::atomic<bool>& interrupted)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (m_queued > 0 && m_failure.empty() && !interrupted) m_changed.wait_for(lock, kPoll);
    return m_queued == 0 && m_failure.empty();
}

std::string FramePipe::Failure() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_failure;
}

void FramePipe::WriteFrames()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stop || m_queued > 0; });
        if (m_stop) return;
        const uint8_t* frame = m_buffers[m_first].data();
        lock.unlock();
        std::string failure;
        m_reader.WriteInput(frame, m_frameBytes, failure);
        lock.lock();
        if (!failure.empty()) {
            m_failure = failure;
            m_changed.notify_all();
            return;
        }
        m_first = (m_first + 1) % m_buffers.size();
        --m_queued;
        m_changed.notify_all();
    }
}
