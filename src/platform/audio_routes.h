// The ways to the speaker the audio device can take (private to the platform layer). Each
// route opens paused, feeds its callback on its own thread and reports with every block when
// that block will be heard; audio_device.cpp picks one and forwards the public calls to it.
#pragma once

#include "platform/audio_device.h"

#include <atomic>

struct AudioRoute {
    const char* name; // as SDL_AUDIODRIVER names it
    // For the log: the route and what its timing rests on.
    const char* (*describe)();
    bool (*open)(int rate, int channels, int blockFrames, AudioFill fill);
    void (*close)();
    void (*pause)(bool paused);
    void (*lock)();
    void (*unlock)();
};

// SDL2 audio (every system): the delay is SDL's device buffer, estimated, and what the
// system reports beyond it, which only a browser's audio context does.
extern const AudioRoute SdlAudioRoute;
#ifdef __linux__
// The sound server through libpulse: the server's own latency for the stream.
extern const AudioRoute PulseAudioRoute;
// ALSA's default device through libasound: snd_pcm_delay, a plugin's buffering included.
extern const AudioRoute AlsaAudioRoute;
#endif

#ifdef __linux__
// Asks for the calling thread to run before the drawing threads: real-time scheduling where
// the system grants it (the superuser, or a limit set for the user), else the highest
// niceness it grants, else nothing. The decoder needs little time, but it must get it.
void RaiseAudioThreadPriority();
#endif

// Counted by the routes that hear of underruns.
extern std::atomic<int> AudioUnderruns;

// The route's buffer, sized for a loaded desktop: a decoder starved this long by a busy
// machine still leaves the speaker something to play. The clock compensates for all of it,
// so its size costs no sync; only a seek or a resume waits that long to be heard.
constexpr int64_t RouteBufferUs = 200000;
