// The shell: the GL window and its teardown, the window procedure, and the main loop that
// draws a frame whenever no window message is pending.
#pragma once

#include "platform/messages.h"

#include <cstdint>

// The window's title (in the authoring mode the start of it).
inline constexpr const char* WindowTitle = "nrvk_dms";

// Opens the window and runs frames until Escape (pressed, or set by the outro) or close.
// Returns the quit message's parameter.
intptr_t MainLoop();

// Messages first; whenever none is pending, one frame: RenderFrame, swap, the Escape test,
// then the debug camera's step (with --dev, the authoring mode's steps around the frame).
// Returns the quit message's parameter (0 when Escape or the end of the piece).
intptr_t RunMessageLoop();

// Window, GL context, projection and the whole start-up sequence. False when a step
// failed (its message box shown) or the user declined windowed mode.
bool OpenGlWindow(const char* title, int width, int height, uint8_t bits, bool fullScreen);

// Releases what OpenGlWindow acquired, reporting each failure and going on.
void CloseGlWindow();

// The window procedure: keys, close, screen saver, and the debug mouse messages.
intptr_t WindowProc(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Viewport and a 45-degree perspective (near 0.1, far 100); modelview reset.
void SetupProjection(int width, int height);
