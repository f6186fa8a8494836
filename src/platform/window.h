// The GL window: an SDL2 window with a compatibility-profile context, and a 640x480
// off-screen frame (colour and 24-bit depth) that stands for the window's back buffer, so
// frame-buffer copies and read-backs see exactly a 640x480 frame whatever the window size.
// PresentFrame shows it scaled at 4:3 with black bars. Headless, the SDL offscreen driver
// gives the same context with nothing to show (on Windows, a window that is never shown).
#pragma once

#include "platform/messages.h"

#include <optional>

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
void* CreatePlatformWindow(const char* title, int width, int height, bool fullScreen);
void* CreateGlContext();
bool MakeGlContextCurrent();  // also makes the off-screen frame and binds it
void ShowPlatformWindow();
bool ReleaseGlContext();      // no context current
bool DeleteGlContext();
bool DestroyPlatformWindow();
bool HasPlatformWindow();
bool HasGlContext();

// SwapBuffers: shows the off-screen frame scaled to the window at 4:3, swaps, and binds
// the off-screen frame again for the next frame.
void PresentFrame();

// Where the 4:3 frame shows on a surface of width x height: the largest 4:3 rectangle that
// fits, centred, with black bars beside or above and below it. The window shows the frame
// there, and a capture at another size does the same.
struct FrameRectangle {
    int x, y, width, height;
};
FrameRectangle LetterboxedFrame(int width, int height);

// The next window message, or false when none is pending (PeekMessage with PM_REMOVE).
bool PeekWindowMessage(WindowMessage& message);
// Queues a message, as PostQuitMessage and PostMessage do.
void PostWindowMessage(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);

void ShowMouseCursor(bool visible);
// The cursor in pixels of the off-screen frame: its place in the window's client area scaled
// as PresentFrame shows the frame there, so one frame pixel is the same turn of the view
// whatever the window's size. False, and x and y untouched, when the cursor is not over the
// window (or there is no window on screen).
bool GetCursorFramePosition(int& x, int& y);
// A point of a client area of windowWidth x windowHeight in pixels of a frameWidth x
// frameHeight frame shown in it at 4:3 with black bars (points on a bar lie outside the frame).
void WindowPointToFrame(int windowX, int windowY, int windowWidth, int windowHeight, int frameWidth,
                        int frameHeight, int& frameX, int& frameY);

void SetPlatformWindowTitle(const char* title);
