// The window on Linux: a headless run draws through SDL's offscreen driver (EGL on Mesa).
#include "platform/window_system.h"

const char* const HeadlessVideoDriver = "offscreen";
