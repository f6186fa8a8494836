// The sound server's route (PulseAudio, or PipeWire's PulseAudio service) through libpulse's
// threaded main loop. The server asks for data as it plays; each block is filled on the
// loop's thread, stamped on entry with the stream's latency as libpulse interpolates it from
// the server's timing reports: the time until a sample written now is heard, the server's
// buffer and the sink's (down to the sound card) included. The stream asks for a total
// latency of RouteBufferUs and lets the server share it out.
#include "platform/audio_routes.h"
#include "platform/ticks.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <cstdio>

namespace {

pa_threaded_mainloop* g_loop = nullptr;
pa_context* g_context = nullptr;
pa_stream* g_stream = nullptr;
AudioFill g_fill = nullptr;
size_t g_frameBytes = 0;
bool g_paused = true; // under the loop's lock: nothing is written while paused
char g_description[160];

void WakeOpener(pa_context*, void*)
{
    pa_threaded_mainloop_signal(g_loop, 0);
}

void WakeStreamOpener(pa_stream*, void*)
{
    pa_threaded_mainloop_signal(g_loop, 0);
}

// Hands the server up to `bytes` bytes, block by block, each stamped before it is filled.
void WriteBlocks(size_t bytes)
{
    while (bytes >= g_frameBytes) {
        AudioTiming timing;
        timing.entryUs = SteadyMicroseconds();
        pa_usec_t latency = 0;
        int negative = 0;
        // No answer until the server's first timing report (and after a flush, its next).
        timing.known = pa_stream_get_latency(g_stream, &latency, &negative) == 0;
        timing.delayUs = negative ? -static_cast<int64_t>(latency) : static_cast<int64_t>(latency);
        void* data = nullptr;
        size_t size = bytes;
        if (pa_stream_begin_write(g_stream, &data, &size) < 0 || !data) return;
        size = std::min(size, bytes);
        size -= size % g_frameBytes;
        if (size == 0) {
            pa_stream_cancel_write(g_stream);
            return;
        }
        g_fill(static_cast<uint8_t*>(data), static_cast<int>(size), timing);
        if (pa_stream_write(g_stream, data, size, nullptr, 0, PA_SEEK_RELATIVE) < 0) return;
        bytes -= size;
    }
}

void WriteRequested(pa_stream*, size_t bytes, void*)
{
    // The loop's thread is libpulse's own: it is raised the first time it asks.
    static bool raised = false;
    if (!raised) RaiseAudioThreadPriority();
    raised = true;
    if (!g_paused) WriteBlocks(bytes);
}

void CountUnderrun(pa_stream*, void*)
{
    ++AudioUnderruns;
}

// Waits (the loop locked) until the context is ready; false when it failed.
bool WaitForContext()
{
    for (;;) {
        const pa_context_state_t state = pa_context_get_state(g_context);
        if (state == PA_CONTEXT_READY) return true;
        if (!PA_CONTEXT_IS_GOOD(state)) return false;
        pa_threaded_mainloop_wait(g_loop);
    }
}

// Opens the playback stream, corked, and waits (the loop locked) until it is ready.
bool OpenStream(int rate, int channels, int blockFrames)
{
    pa_sample_spec sampleFormat{};
    sampleFormat.format = PA_SAMPLE_S16NE;
    sampleFormat.rate = static_cast<uint32_t>(rate);
    sampleFormat.channels = static_cast<uint8_t>(channels);
    g_stream = pa_stream_new(g_context, "soundtrack", &sampleFormat, nullptr);
    if (!g_stream) return false;
    pa_stream_set_state_callback(g_stream, WakeStreamOpener, nullptr);
    pa_stream_set_write_callback(g_stream, WriteRequested, nullptr);
    pa_stream_set_underflow_callback(g_stream, CountUnderrun, nullptr);
    pa_buffer_attr buffer{};
    buffer.maxlength = static_cast<uint32_t>(-1);
    buffer.tlength = static_cast<uint32_t>(pa_usec_to_bytes(RouteBufferUs, &sampleFormat));
    buffer.prebuf = static_cast<uint32_t>(-1);
    buffer.minreq = static_cast<uint32_t>(static_cast<size_t>(blockFrames) * g_frameBytes);
    buffer.fragsize = static_cast<uint32_t>(-1);
    const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_START_CORKED | PA_STREAM_INTERPOLATE_TIMING |
                                                      PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_ADJUST_LATENCY);
    if (pa_stream_connect_playback(g_stream, nullptr, &buffer, flags, nullptr, nullptr) < 0) return false;
    for (;;) {
        const pa_stream_state_t state = pa_stream_get_state(g_stream);
        if (state == PA_STREAM_READY) break;
        if (!PA_STREAM_IS_GOOD(state)) return false;
        pa_threaded_mainloop_wait(g_loop);
    }
    const pa_buffer_attr* granted = pa_stream_get_buffer_attr(g_stream);
    std::snprintf(g_description, sizeof g_description,
                  "PulseAudio, server %s: the server's stream latency (buffer of %.0f ms asked, %.0f ms granted)",
                  pa_context_get_server(g_context) ? pa_context_get_server(g_context) : "default",
                  RouteBufferUs / 1000.0, granted ? pa_bytes_to_usec(granted->tlength, &sampleFormat) / 1000.0 : 0.0);
    return true;
}

void Close()
{
    if (g_loop) pa_threaded_mainloop_stop(g_loop);
    if (g_stream) {
        pa_stream_disconnect(g_stream);
        pa_stream_unref(g_stream);
        g_stream = nullptr;
    }
    if (g_context) {
        pa_context_disconnect(g_context);
        pa_context_unref(g_context);
        g_context = nullptr;
    }
    if (g_loop) pa_threaded_mainloop_free(g_loop);
    g_loop = nullptr;
}

bool Open(int rate, int channels, int blockFrames, AudioFill fill)
{
    g_fill = fill;
    g_frameBytes = static_cast<size_t>(channels) * sizeof(int16_t);
    g_paused = true;
    g_loop = pa_threaded_mainloop_new();
    if (!g_loop) return false;
    g_context = pa_context_new(pa_threaded_mainloop_get_api(g_loop), "lantern");
    if (g_context) pa_context_set_state_callback(g_context, WakeOpener, nullptr);
    // No server is started for us: without one the next route is taken.
    if (!g_context || pa_context_connect(g_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        Close();
        return false;
    }
    pa_threaded_mainloop_lock(g_loop);
    const bool opened = pa_threaded_mainloop_start(g_loop) == 0 && WaitForContext() &&
                        OpenStream(rate, channels, blockFrames);
    pa_threaded_mainloop_unlock(g_loop);
    if (!opened) Close();
    return opened;
}

const char* Describe()
{
    return g_description;
}

void Forget(pa_operation* operation)
{
    if (operation) pa_operation_unref(operation);
}

// Paused, the stream is corked and what the server still holds is dropped, so the sound stops
// where the clock holds; resumed, it is filled again at once.
void Pause(bool paused)
{
    pa_threaded_mainloop_lock(g_loop);
    g_paused = paused;
    Forget(pa_stream_cork(g_stream, paused ? 1 : 0, nullptr, nullptr));
    if (paused) Forget(pa_stream_flush(g_stream, nullptr, nullptr));
    const size_t writable = pa_stream_writable_size(g_stream);
    if (!paused && writable != static_cast<size_t>(-1)) WriteBlocks(writable);
    pa_threaded_mainloop_unlock(g_loop);
}

void Lock()
{
    pa_threaded_mainloop_lock(g_loop);
}

void Unlock()
{
    pa_threaded_mainloop_unlock(g_loop);
}

} // namespace

const AudioRoute PulseAudioRoute = {"pulseaudio", Describe, Open, Close, Pause, Lock, Unlock};
