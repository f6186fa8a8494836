// The frames in a browser: handed to its main loop, once a display refresh.
#include "platform/frame_loop.h"

#include <emscripten.h>

namespace {

bool (*g_frame)() = nullptr;
void (*g_finished)() = nullptr;

void CallFrame()
{
    if (g_frame()) return;
    emscripten_cancel_main_loop();
    g_finished();
}

} // namespace

void RunFrames(bool (*frame)(), void (*finished)())
{
    g_frame = frame;
    g_finished = finished;
    // 0 frames a second: at the display's own pace. Not simulating an endless loop, this
    // returns, and the caller's frame of the stack with it.
    emscripten_set_main_loop(CallFrame, 0, false);
}
