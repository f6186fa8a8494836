// The shell: the GL window and its teardown, the window procedure, and the main loop that
// draws a frame whenever no window message is pending.
#pragma once

#include "base/picture_size.h"
#include "platform/messages.h"

#include <cstdint>
#include <string>

// The window's title (in the authoring mode the start of it).
inline constexpr const char* WindowTitle = "nrvk_dms";

// Opens the window and runs frames until Escape (pressed, or set by the outro) or close.
// Returns the quit message's parameter. A window that cannot be opened (its box shown) is a
// FatalError marked shown, carrying SurfaceFailure(): the run ends with exit code 1.
intptr_t MainLoop();

// Messages first; whenever none is pending, one frame: RenderFrame, swap, the Escape test,
// then the debug camera's step (with --dev, the authoring mode's steps around the frame).
// Returns the quit message's parameter (0 when Escape or the end of the piece).
intptr_t RunMessageLoop();

// Window, GL context, projection and the whole start-up sequence. False when a step
// failed (its message box shown) or the user declined windowed mode.
bool OpenGlWindow(const char* title, int width, int height, uint8_t bits, bool fullScreen);
// Its first steps: the window (a client area of width x height when windowed), the GL
// context made current, and the off-screen frame at the picture's size (with --size native
// first set to the window's 4:3 area). False as OpenGlWindow; FatalError naming the size and
// the limit, after the teardown, when this driver or this machine cannot draw the picture.
bool OpenGlSurface(const char* title, int width, int height, uint8_t bits, bool fullScreen);
// Why the last OpenGlSurface returned false: the message of its box and, beside it, the
// reason ("Window creation error. (<SDL's error>)").
std::string SurfaceFailure();
// Its last steps, in the surface made: SetupProjection over the picture, then the start-up
// sequence.
void StartUpInSurface();

// Releases what OpenGlWindow acquired, reporting each failure and going on.
void CloseGlWindow();

// The window procedure: keys, close, screen saver, the debug mouse messages, and a new window
// size, which the picture follows with --size native.
intptr_t WindowProc(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Draws at `picture` from the next frame on: the off-screen frame and the glow's copies made
// anew for it, once, between frames; the viewport over it. A size this driver or this machine
// cannot draw leaves the picture as it was and is told in the answer ("" when done).
std::string ChangePictureSize(PixelSize picture);

// Viewport and a 45-degree perspective (near 0.1, far 100); modelview reset.
void SetupProjection(int width, int height);
