// Frames written to a child's standard input by a thread of their own, so that the next frame
// is drawn while the reader (the video encoder) takes the last one. A few frame buffers, made once, go round
// between the drawing thread, which fills them, and the writer, which empties them in order.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class ChildProcess;

class FramePipe {
public:
    // Writes frames of frameBytes bytes to the child's input (the child stays the caller's)
    // through `buffers` buffers.
    FramePipe(ChildProcess& reader, size_t frameBytes, int buffers);
    // Stops the writer; frames not yet written are dropped.
    ~FramePipe();
    FramePipe(const FramePipe&) = delete;
    FramePipe& operator=(const FramePipe&) = delete;

    // A buffer to fill with the next frame, waiting while every buffer is queued; nullptr
    // once writing failed or `interrupted` turned true.
    uint8_t* NextBuffer(const std::atomic<bool>& interrupted);
    // Queues the buffer NextBuffer returned.
    void Submit();
    // Waits until every queued frame is written. False when writing failed or `interrupted`
    // turned true first.
    bool Drain(const std::atomic<bool>& interrupted);

    // Why writing failed ("" while it has not).
    std::string Failure() const;
    // Milliseconds the drawing thread has waited in NextBuffer for a free buffer: the time
    // the reader was behind.
    double WaitedMs() const { return m_waitedMs; }

private:
    void WriteFrames();

    ChildProcess& m_reader;
    size_t m_frameBytes;
    std::vector<std::vector<uint8_t>> m_buffers;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    size_t m_first = 0;  // the oldest queued buffer
    size_t m_queued = 0; // buffers queued, not yet written
    bool m_stop = false;
    std::string m_failure;
    double m_waitedMs = 0;
    std::thread m_writer;
};
