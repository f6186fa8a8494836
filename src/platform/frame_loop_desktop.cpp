// The frames on a desktop: one after another, until the last.
#include "platform/frame_loop.h"

void RunFrames(bool (*frame)(), void (*finished)())
{
    while (frame()) {}
    finished();
}
