// The renderer: which pipeline the calls of gl/gl.h reach. `fixed` is the driver's own
// fixed-function pipeline on a compatibility context. The renderer is started on every context
// made current.
#pragma once

#include <string>

// With a new context current: starts the renderer on it. Returns what makes the context unfit
// ("" when it serves).
std::string StartRenderer();

// The driver's renderer string: "llvmpipe (LLVM 15.0.6, 256 bits)".
std::string RendererDescription();

// Whether the driver says how large a framebuffer may be (GL_MAX_FRAMEBUFFER_WIDTH and
// _HEIGHT: OpenGL 4.3, or its extension).
bool DriverReportsFramebufferLimits();
