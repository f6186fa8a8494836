// The window in a browser: SDL's emscripten driver on the page's canvas, always shown.
#include "platform/window_system.h"

const char* const HeadlessVideoDriver = nullptr;
const bool DrawsOnPage = true;
