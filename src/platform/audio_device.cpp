// SDL2 audio output.
#include "platform/audio_device.h"

#include "platform/audio_latency.h"

#include <SDL2/SDL.h>

namespace {

SDL_AudioDeviceID g_device = 0;
AudioFill g_fill = nullptr;
int g_bufferFrames = 0;
int g_rate = 0;

void FillBlock(void*, Uint8* buffer, int bytes)
{
    g_fill(buffer, bytes);
}

} // namespace

bool OpenAudioDevice(int rate, int channels, int blockFrames, AudioFill fill)
{
    if (g_device) return true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    g_fill = fill;
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_S16SYS;
    want.channels = static_cast<Uint8>(channels);
    want.samples = static_cast<Uint16>(blockFrames);
    want.callback = FillBlock;
    SDL_AudioSpec have{};
    // The rate, format and channels are converted by SDL if the hardware wants others; the
    // buffer is the device's own, so that its size is known.
    g_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
    if (!g_device) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    g_bufferFrames = have.samples;
    g_rate = have.freq;
    return true;
}

void CloseAudioDevice()
{
    if (!g_device) return;
    SDL_CloseAudioDevice(g_device);
    g_device = 0;
    g_bufferFrames = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

int AudioDeviceBufferFrames()
{
    if (!g_device) return 0;
    return g_bufferFrames + static_cast<int>(SystemAudioLatencyUs() * g_rate / 1000000);
}

bool HasAudioDevice()
{
    return g_device != 0;
}

void PauseAudioDevice(bool paused)
{
    if (g_device) SDL_PauseAudioDevice(g_device, paused ? 1 : 0);
}

void LockAudioDevice()
{
    if (g_device) SDL_LockAudioDevice(g_device);
}

void UnlockAudioDevice()
{
    if (g_device) SDL_UnlockAudioDevice(g_device);
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
