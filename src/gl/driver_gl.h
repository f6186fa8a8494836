// The driver's own OpenGL, for the renderers' implementation files only: everything above the
// gl layer goes through gl/gl.h. The browser build has WebGL's OpenGL ES 3 header; elsewhere
// epoxy finds the entry points of whatever context is current (desktop GL or OpenGL ES).
#pragma once

#ifdef __EMSCRIPTEN__
#include <GLES3/gl3.h>
// WebGL has no fixed-function pipeline to forward to.
#define LANTERN_FIXED_FUNCTION_DRIVER 0
#else
#include <epoxy/gl.h>
#define LANTERN_FIXED_FUNCTION_DRIVER 1
#endif
