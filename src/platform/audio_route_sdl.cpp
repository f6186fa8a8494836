// SDL2 audio: SDL's own thread calls the callback for each buffer (in a browser, the page's
// audio processing does). SDL says nothing of what lies beyond its buffer (WASAPI's engine, a
// server, a plugin), so the delay is that buffer, the block SDL plays before the one being
// filled, and what the system itself reports beyond it (a browser's audio context).
#include "platform/audio_latency.h"
#include "platform/audio_routes.h"
#include "platform/ticks.h"

#include <SDL2/SDL.h>

namespace {

SDL_AudioDeviceID g_device = 0;
AudioFill g_fill = nullptr;
int64_t g_bufferUs = 0;
char g_description[160];

void FillBlock(void*, Uint8* buffer, int bytes)
{
    AudioTiming timing;
    timing.entryUs = SteadyMicroseconds();
    timing.delayUs = g_bufferUs + SystemAudioLatencyUs();
    timing.known = true;
    g_fill(buffer, bytes, timing);
}

// SDL's device buffer: half the route buffer (SDL's drivers keep about two of them), a
// power of two as some drivers want.
Uint16 DeviceBufferFrames(int rate)
{
    const int64_t wanted = RouteBufferUs / 2 * rate / 1000000;
    Uint16 frames = 256;
    while (frames * 2 <= wanted && frames < 16384) frames = static_cast<Uint16>(frames * 2);
    return frames;
}

bool Open(int rate, int channels, int, AudioFill fill)
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    g_fill = fill;
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_S16SYS;
    want.channels = static_cast<Uint8>(channels);
    want.samples = DeviceBufferFrames(rate);
    want.callback = FillBlock;
    SDL_AudioSpec have{};
    // The rate, format and channels are converted by SDL if the hardware wants others; the
    // buffer is the device's own, so that its size is known.
    g_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
    if (!g_device) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    g_bufferUs = static_cast<int64_t>(have.samples) * 1000000 / rate;
    const char* driver = SDL_GetCurrentAudioDriver();
    SDL_snprintf(g_description, sizeof g_description,
                 "SDL audio, driver %s: the delay is SDL's device buffer of %d frames, estimated",
                 driver ? driver : "unknown", have.samples);
    return true;
}

const char* Describe()
{
    return g_description;
}

void Close()
{
    SDL_CloseAudioDevice(g_device);
    g_device = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void Pause(bool paused)
{
    SDL_PauseAudioDevice(g_device, paused ? 1 : 0);
}

void Lock()
{
    SDL_LockAudioDevice(g_device);
}

void Unlock()
{
    SDL_UnlockAudioDevice(g_device);
}

} // namespace

const AudioRoute SdlAudioRoute = {"sdl", Describe, Open, Close, Pause, Lock, Unlock};
