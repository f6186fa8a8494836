// The audio device: 16-bit interleaved samples at a fixed rate, fed on an audio thread by a
// callback that fills one block at a time, and told with each block when it will be heard.
//
// On Linux the sound goes straight to the sound server (PulseAudio, or PipeWire's PulseAudio
// service) or to ALSA, because only they say how long the whole way to the speaker is: the
// server's stream latency, ALSA's delay (which holds a plugin's own buffering). SDL2 audio,
// which says nothing beyond its own buffer, is the route elsewhere (Windows' WASAPI) and for
// the drivers SDL alone has (dummy, disk). SDL_AUDIODRIVER chooses as it does for SDL:
// "pulseaudio" (or "pulse"), "alsa", or another of SDL's drivers; unset, the server first,
// then ALSA, then SDL's own choice.
#pragma once

#include <cstdint>

// When the block the callback fills will be heard, as the route says at the callback's entry.
struct AudioTiming {
    int64_t entryUs = 0; // SteadyMicroseconds() as the callback began, before any decoding
    // Microseconds from entryUs until the block's first frame is heard: what the route still
    // holds ahead of it (server, plugin and device buffers). Meaningless when !known.
    int64_t delayUs = 0;
    bool known = false; // false while the route has no report yet
};

// Fills `bytes` bytes of interleaved 16-bit samples (a whole number of frames). Runs on the
// audio thread.
using AudioFill = void (*)(uint8_t* buffer, int bytes, const AudioTiming& timing);

// Opens the default device, paused. False when there is none (sound is then silent).
// blockFrames is the block the callback fills; a route may choose another.
bool OpenAudioDevice(int rate, int channels, int blockFrames, AudioFill fill);
void CloseAudioDevice();
bool HasAudioDevice();
// The route in use, for the log: "PulseAudio (the server's stream latency)" and so on; "" when
// closed.
const char* AudioRouteDescription();
// Starts (or resumes) the callbacks, or pauses them. Pausing drops what the route still holds
// where it can (PulseAudio, ALSA), so that nothing stale plays when it resumes.
void PauseAudioDevice(bool paused);
// While locked no callback runs: the main thread may change what the callback reads.
void LockAudioDevice();
void UnlockAudioDevice();
// The times the speaker ran dry since the device opened, as the route reports them
// (PulseAudio and ALSA do; SDL does not, and counts none). Read from any thread.
int AudioUnderrunCount();

// Sample-rate conversion of 16-bit interleaved stereo with SDL's resampler, for a soundtrack
// made at another rate than the device plays. Put what was decoded, Flush at its end, Get
// what is ready (whole frames).
struct RateConverter;
// nullptr when SDL cannot convert between the two rates.
RateConverter* CreateRateConverter(int fromRate, int toRate);
void DestroyRateConverter(RateConverter* converter);
bool PutForConversion(RateConverter* converter, const int16_t* samples, int bytes);
void FlushConversion(RateConverter* converter);
// Up to `bytes` converted bytes into buffer; the count placed (0 when nothing is ready).
int GetConverted(RateConverter* converter, uint8_t* buffer, int bytes);
// Forgets everything put and not yet taken (after a seek).
void ClearConversion(RateConverter* converter);
