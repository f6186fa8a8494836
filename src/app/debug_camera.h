// The debug camera: while the piece plays, the keys and the mouse push CurrentCamera around,
// and each release of the right button records it as a key of DefaultCameraPath, written to
// "default.camera" in the working folder as a path that loads back through every key.
#pragma once

#include <cstdint>

struct CursorPoint {
    int32_t x, y;
};

extern bool MouseLook;          // the left button is held over the window
extern CursorPoint LastCursor;  // the cursor in frame pixels, as the previous frame saw it
extern float MoveSpeed;         // step size of the moves (0.01 at start)

// Where the recording goes: the working folder.
inline constexpr const char* RecordingFileName = "default.camera";

// One frame's step, after the Escape test: arrows, Page Up/Down, Home/End, Shift and the
// digits, then mouse look, reading Keys and the cursor now.
void DebugCameraFrameStep();
// The same step with the cursor given: over the window or not, and where in frame pixels.
void DebugCameraStep(bool cursorOverWindow, CursorPoint cursor);

// WM_LBUTTONDOWN, WM_LBUTTONUP and WM_RBUTTONUP of the window procedure, with the cursor's
// place when the button went down or up (lParam: CursorParam, or CursorOutside).
void DebugMouseMessage(uint32_t message, intptr_t cursorParam);

// Appends CurrentCamera to DefaultCameraPath and writes the recording. A full recording
// refuses the key (a message on stderr, the file kept); a file that cannot be written is
// shown as an error naming it, the key is taken back and the piece plays on. True when the
// key was recorded and written.
bool RecordCameraKey();
