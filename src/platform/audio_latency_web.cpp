// The audio context's own report (Web Audio): its processing and its output latency. A
// browser that reports neither (older ones lack outputLatency) adds nothing.
#include "platform/audio_latency.h"

#include <emscripten.h>

int64_t SystemAudioLatencyUs()
{
    const double seconds = EM_ASM_DOUBLE({
        const sound = Module.SDL2 && Module.SDL2.audioContext;
        if (!sound) return 0;
        const latency = (sound.baseLatency || 0) + (sound.outputLatency || 0);
        return isFinite(latency) && latency > 0 ? latency : 0;
    });
    return static_cast<int64_t>(seconds * 1e6);
}
