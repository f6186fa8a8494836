// The page's side of a run, through the hooks it gives the program (Module.lanternEnded) and
// the values its scripts read.
#include "platform/page.h"

#include <emscripten.h>

void PublishFrame(int32_t musicMs)
{
    EM_ASM({
        const sound = Module.SDL2 && Module.SDL2.audioContext;
        window.lanternMusicMs = $0;
        window.lanternAudioState = sound ? sound.state : "none";
    }, musicMs);
}

void PublishRunEnd(int exitCode)
{
    EM_ASM({
        if (Module.lanternEnded) Module.lanternEnded($0);
    }, exitCode);
}
