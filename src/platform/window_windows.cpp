// The window on Windows: there is no EGL, so a headless run takes the ordinary driver, whose
// window is never shown; its context draws into the off-screen frame all the same.
#include "platform/window_system.h"

const char* const HeadlessVideoDriver = nullptr;
