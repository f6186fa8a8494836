// ALSA's route: the default device through libasound, fed by a writer thread of our own one
// period at a time. Each period is stamped, before it is filled, with snd_pcm_delay: the
// frames still to be heard before the next one written, which counts a plugin's own
// buffering too (the PulseAudio plugin answers with the server's latency). The device buffer
// is RouteBufferUs.
#include "platform/audio_routes.h"
#include "platform/ticks.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

namespace {

snd_pcm_t* g_pcm = nullptr;
AudioFill g_fill = nullptr;
int g_rate = 0;
int g_frameBytes = 0;
snd_pcm_uframes_t g_periodFrames = 0;
std::vector<uint8_t> g_period; // one period of samples, made at open
// Made at open and ended by close; a run that ends without closing leaves it to the process's
// end (a std::thread destroyed while it runs would abort the exit).
std::thread* g_writer = nullptr;
// Held while a period is filled, and by LockAudioDevice; guards the two flags.
std::mutex g_mutex;
std::condition_variable g_wake;
bool g_paused = true;
bool g_closing = false;
bool g_dry = false; // the writer thread's: the device said it played past what it was given
char g_description[160];

// After an error of the device: an underrun is counted, and the device is made ready again.
void Recover(int error)
{
    if (error == -EPIPE) ++AudioUnderruns;
    snd_pcm_recover(g_pcm, error, 1);
}

// Room for the next write: a period once there is room for one; after 10 ms without, what
// room there is (a plugin may take less than a whole period more). Stamped with the delay as
// the route's report; 0 frames when there is no room.
snd_pcm_uframes_t WaitForRoom(AudioTiming& timing)
{
    snd_pcm_sframes_t room = snd_pcm_avail_update(g_pcm);
    if (room >= 0 && static_cast<snd_pcm_uframes_t>(room) < g_periodFrames) {
        const int waited = snd_pcm_wait(g_pcm, 10);
        room = waited < 0 ? waited : snd_pcm_avail_update(g_pcm);
    }
    if (room < 0) {
        Recover(static_cast<int>(room));
        return 0;
    }
    if (room == 0) return 0;
    timing.entryUs = SteadyMicroseconds();
    snd_pcm_sframes_t delay = 0;
    const bool answered = snd_pcm_delay(g_pcm, &delay) == 0;
    // Playing, nothing can be heard at once: the PulseAudio plugin answers 0 for a negative
    // latency, when the server played on past what it was given. The speaker ran dry, and
    // there is no delay to go by until the stream is fed again.
    const bool dry = answered && delay <= 0 && snd_pcm_state(g_pcm) == SND_PCM_STATE_RUNNING;
    if (dry && !g_dry) ++AudioUnderruns;
    g_dry = dry;
    timing.known = answered && !dry;
    timing.delayUs = static_cast<int64_t>(delay) * 1000000 / g_rate;
    return std::min(static_cast<snd_pcm_uframes_t>(room), g_periodFrames);
}

void WriteFrames(snd_pcm_uframes_t frames)
{
    const snd_pcm_sframes_t written = snd_pcm_writei(g_pcm, g_period.data(), frames);
    if (written >= 0) return;
    Recover(static_cast<int>(written));
    // The frames were not played: they go again, so that no music is skipped.
    if (snd_pcm_writei(g_pcm, g_period.data(), frames) < 0) snd_pcm_prepare(g_pcm);
}

// The writer thread. Paused, it drops what the device holds (the sound stops where the clock
// holds) and sleeps; playing, it fills a period whenever there is room for one. Only this
// thread touches the device while it runs.
void Write()
{
    RaiseAudioThreadPriority();
    std::unique_lock lock(g_mutex);
    bool holding = false; // the device holds periods written since it was last dropped
    while (!g_closing) {
        if (g_paused) {
            if (holding) {
                snd_pcm_drop(g_pcm);
                snd_pcm_prepare(g_pcm);
                holding = false;
            }
            g_wake.wait(lock);
            continue;
        }
        lock.unlock();
        AudioTiming timing;
        const snd_pcm_uframes_t frames = WaitForRoom(timing);
        lock.lock();
        if (frames == 0 || g_paused || g_closing) continue;
        g_fill(g_period.data(), static_cast<int>(frames) * g_frameBytes, timing);
        lock.unlock();
        WriteFrames(frames);
        holding = true;
        lock.lock();
    }
}

bool Configure(int rate, int channels, int blockFrames)
{
    snd_pcm_hw_params_t* hardware = nullptr;
    snd_pcm_hw_params_alloca(&hardware);
    unsigned int actualRate = static_cast<unsigned int>(rate);
    unsigned int bufferUs = static_cast<unsigned int>(RouteBufferUs);
    snd_pcm_uframes_t period = static_cast<snd_pcm_uframes_t>(blockFrames);
    snd_pcm_uframes_t buffer = 0;
    if (snd_pcm_hw_params_any(g_pcm, hardware) < 0 || snd_pcm_hw_params_set_rate_resample(g_pcm, hardware, 1) < 0 ||
        snd_pcm_hw_params_set_access(g_pcm, hardware, SND_PCM_ACCESS_RW_INTERLEAVED) < 0 ||
        snd_pcm_hw_params_set_format(g_pcm, hardware, SND_PCM_FORMAT_S16) < 0 ||
        snd_pcm_hw_params_set_channels(g_pcm, hardware, static_cast<unsigned int>(channels)) < 0 ||
        snd_pcm_hw_params_set_rate_near(g_pcm, hardware, &actualRate, nullptr) < 0 ||
        actualRate != static_cast<unsigned int>(rate) ||
        snd_pcm_hw_params_set_period_size_near(g_pcm, hardware, &period, nullptr) < 0 ||
        snd_pcm_hw_params_set_buffer_time_near(g_pcm, hardware, &bufferUs, nullptr) < 0 ||
        snd_pcm_hw_params(g_pcm, hardware) < 0 ||
        snd_pcm_hw_params_get_period_size(hardware, &g_periodFrames, nullptr) < 0 ||
        snd_pcm_hw_params_get_buffer_size(hardware, &buffer) < 0 || g_periodFrames == 0)
        return false;
    snd_pcm_sw_params_t* software = nullptr;
    snd_pcm_sw_params_alloca(&software);
    // Playback starts with the first period: the writer fills the rest at once, and a plugin
    // may take less than the buffer holds (the PulseAudio plugin takes what the server asks
    // for), so a fuller threshold might never be reached.
    if (snd_pcm_sw_params_current(g_pcm, software) < 0 ||
        snd_pcm_sw_params_set_start_threshold(g_pcm, software, g_periodFrames) < 0 ||
        snd_pcm_sw_params_set_avail_min(g_pcm, software, g_periodFrames) < 0 || snd_pcm_sw_params(g_pcm, software) < 0)
        return false;
    std::snprintf(g_description, sizeof g_description,
                  "ALSA, device %s: snd_pcm_delay (buffer of %.0f ms, periods of %lu frames)", snd_pcm_name(g_pcm),
                  static_cast<double>(buffer) * 1000.0 / rate, static_cast<unsigned long>(g_periodFrames));
    return true;
}

void Close()
{
    if (g_writer) {
        {
            std::lock_guard lock(g_mutex);
            g_closing = true;
        }
        g_wake.notify_all();
        g_writer->join();
        delete g_writer;
        g_writer = nullptr;
    }
    if (g_pcm) snd_pcm_close(g_pcm);
    g_pcm = nullptr;
}

bool Open(int rate, int channels, int blockFrames, AudioFill fill)
{
    g_fill = fill;
    g_rate = rate;
    g_frameBytes = channels * static_cast<int>(sizeof(int16_t));
    g_paused = true;
    g_closing = false;
    if (snd_pcm_open(&g_pcm, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0) {
        g_pcm = nullptr;
        return false;
    }
    if (!Configure(rate, channels, blockFrames)) {
        Close();
        return false;
    }
    g_period.assign(g_periodFrames * static_cast<size_t>(g_frameBytes), 0);
    g_writer = new std::thread(Write);
    return true;
}

const char* Describe()
{
    return g_description;
}

void Pause(bool paused)
{
    {
        std::lock_guard lock(g_mutex);
        g_paused = paused;
    }
    g_wake.notify_all();
}

void Lock()
{
    g_mutex.lock();
}

void Unlock()
{
    g_mutex.unlock();
}

} // namespace

const AudioRoute AlsaAudioRoute = {"alsa", Describe, Open, Close, Pause, Lock, Unlock};
