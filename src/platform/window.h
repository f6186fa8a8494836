// The GL window: an SDL2 window with a compatibility-profile context, and an off-screen frame
// of the picture's size (colour and 24-bit depth; 640x480 unless another size is asked for)
// that stands for the window's back buffer, so frame-buffer copies and read-backs see exactly
// the picture whatever the window size. PresentFrame shows it at 4:3 with black bars.
// Headless, the SDL offscreen driver gives the same context with nothing to show (on Windows,
// a window that is never shown).
#pragma once

#include "base/picture_size.h"
#include "platform/messages.h"

#include <cstdint>
#include <optional>
#include <string>

// Starts SDL video. Headless (asked for, or forced when no display can be opened) uses the
// offscreen driver, or on Windows keeps the window hidden. False when no video driver works
// at all.
bool InitVideo(bool headless);
bool IsHeadless();

// The stand-in for the display-mode change: true when a full-screen window can be had.
bool EnterFullScreenMode(int width, int height);
// Tests force the answer of EnterFullScreenMode; std::nullopt restores the real one.
void OverrideFullScreenSupport(std::optional<bool> supported);
void LeaveFullScreenMode();

// Each step fails with a null handle or false, in the order the window is made.
// StepFault says why.
void* CreatePlatformWindow(const char* title, int width, int height, bool fullScreen);
void* CreateGlContext();
// Also makes the off-screen frame, at the frame of the piece's 640x480, and binds it.
bool MakeGlContextCurrent();
void ShowPlatformWindow();
bool ReleaseGlContext();      // no context current
bool DeleteGlContext();
bool DestroyPlatformWindow();
bool HasPlatformWindow();
bool HasGlContext();
// Why the last step of InitVideo to MakeGlContextCurrent that failed did, in the system's own
// words (SDL's error as that step left it), to stand beside the message that names the step.
std::string StepFault();

// Why this GL driver or this machine cannot draw a picture of that size, naming the size and
// the limit ("" when it can): the largest renderbuffer, viewport and framebuffer the driver
// makes, and the memory a picture takes with its working copies and read-backs against the
// machine's. Needs the current context.
std::string PictureSizeFault(PixelSize picture);
// Makes the off-screen frame anew at PictureSize() when its size differs (the same GL
// objects, bound again), then sets the viewport to it. Returns PictureSizeFault's answer, or
// what the driver said, and then keeps the frame it had.
std::string MatchOffscreenFrameToPicture();
// The client area of the window in pixels (the drawable's, which on a dense display holds
// more pixels than the window's size says); the picture's size when there is no window.
PixelSize WindowDrawableSize();

// SwapBuffers: shows the off-screen frame at the window's 4:3 area (scaled when their sizes
// differ), swaps, and binds the off-screen frame again for the next frame.
void PresentFrame();

// The next window message, or false when none is pending (PeekMessage with PM_REMOVE).
bool PeekWindowMessage(WindowMessage& message);
// Queues a message, as PostQuitMessage and PostMessage do.
void PostWindowMessage(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);

void ShowMouseCursor(bool visible);
// The cursor in pixels of the 640x480 frame of the piece (the overlay's units): its place in
// the window's client area scaled as PresentFrame shows the picture there, so one of those
// pixels is the same turn of the view whatever the window's or the picture's size. False, and
// x and y untouched, when the cursor is not over the window (or there is no window on screen).
bool GetCursorFramePosition(int& x, int& y);
// A point of a client area of windowWidth x windowHeight in pixels of a frameWidth x
// frameHeight frame shown in it at 4:3 with black bars (points on a bar lie outside the frame).
void WindowPointToFrame(int windowX, int windowY, int windowWidth, int windowHeight, int frameWidth,
                        int frameHeight, int& frameX, int& frameY);

void SetPlatformWindowTitle(const char* title);
