// The audio device: the route to the speaker chosen once, every call forwarded to it; and
// SDL's resampler for soundtracks of another rate.
#include "platform/audio_device.h"

#include "platform/audio_routes.h"

#include <SDL2/SDL.h>

#include <cstdlib>
#include <string_view>

std::atomic<int> AudioUnderruns{0};

namespace {

const AudioRoute* g_route = nullptr;

// This system's routes, best first: those that report the whole delay before SDL's.
const AudioRoute* const kRoutes[] = {
#ifdef __linux__
    &PulseAudioRoute,
    &AlsaAudioRoute,
#endif
    &SdlAudioRoute,
};

// The route of a driver SDL_AUDIODRIVER names: ours of that name, else SDL, which knows its
// own drivers and refuses the rest.
const AudioRoute& NamedRoute(std::string_view driver)
{
    if (driver == "pulse") driver = "pulseaudio";
    for (const AudioRoute* route : kRoutes)
        if (driver == route->name) return *route;
    return SdlAudioRoute;
}

bool OpenRoute(const AudioRoute& route, int rate, int channels, int blockFrames, AudioFill fill)
{
    AudioUnderruns = 0;
    if (!route.open(rate, channels, blockFrames, fill)) return false;
    g_route = &route;
    return true;
}

} // namespace

bool OpenAudioDevice(int rate, int channels, int blockFrames, AudioFill fill)
{
    if (g_route) return true;
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    if (driver && *driver) return OpenRoute(NamedRoute(driver), rate, channels, blockFrames, fill);
    for (const AudioRoute* route : kRoutes)
        if (OpenRoute(*route, rate, channels, blockFrames, fill)) return true;
    return false;
}

void CloseAudioDevice()
{
    if (!g_route) return;
    g_route->close();
    g_route = nullptr;
}

bool HasAudioDevice()
{
    return g_route != nullptr;
}

const char* AudioRouteDescription()
{
    return g_route ? g_route->describe() : "";
}

void PauseAudioDevice(bool paused)
{
    if (g_route) g_route->pause(paused);
}

void LockAudioDevice()
{
    if (g_route) g_route->lock();
}

void UnlockAudioDevice()
{
    if (g_route) g_route->unlock();
}

int AudioUnderrunCount()
{
    return AudioUnderruns;
}

struct RateConverter {
    SDL_AudioStream* stream;
};

RateConverter* CreateRateConverter(int fromRate, int toRate)
{
    SDL_AudioStream* stream = SDL_NewAudioStream(AUDIO_S16SYS, 2, fromRate, AUDIO_S16SYS, 2, toRate);
    return stream ? new RateConverter{stream} : nullptr;
}

void DestroyRateConverter(RateConverter* converter)
{
    if (!converter) return;
    SDL_FreeAudioStream(converter->stream);
    delete converter;
}

bool PutForConversion(RateConverter* converter, const int16_t* samples, int bytes)
{
    return SDL_AudioStreamPut(converter->stream, samples, bytes) == 0;
}

void FlushConversion(RateConverter* converter)
{
    SDL_AudioStreamFlush(converter->stream);
}

int GetConverted(RateConverter* converter, uint8_t* buffer, int bytes)
{
    const int got = SDL_AudioStreamGet(converter->stream, buffer, bytes);
    return got > 0 ? got : 0;
}

void ClearConversion(RateConverter* converter)
{
    SDL_AudioStreamClear(converter->stream);
}
