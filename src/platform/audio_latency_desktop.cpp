// SDL on a desktop says nothing beyond its own buffer.
#include "platform/audio_latency.h"

int64_t SystemAudioLatencyUs()
{
    return 0;
}
