// GL calls made straight to the driver through epoxy, as the piece made them before the gl
// layer: the yardstick of gl_dispatch_bench.cpp.
#include "gl_dispatch_bench.h"

#include <epoxy/gl.h>

void SetColoursDirect(int count)
{
    for (int i = 0; i < count; ++i) glColor4f(1.0f, 0.5f, 0.25f, static_cast<float>(i & 1));
}
