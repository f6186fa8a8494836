// The debug camera's keys, mouse look and key recording.
#include "app/debug_camera.h"

#include "app/globals.h"
#include "base/error.h"
#include "base/files.h"
#include "base/message_box.h"
#include "platform/messages.h"
#include "platform/window.h"
#include "render/lum_camera.h"
#include "render/lum_globals.h"

#include <cstdio>

bool MouseLook = false;
CursorPoint LastCursor = {0, 0};
float MoveSpeed = 0.01f;

namespace {

// Field of view with Shift and MoveSpeed without it, for the digits 1 to 8.
constexpr float kDigitFov[8] = {10.0f, 30.0f, 50.0f, 70.0f, 90.0f, 110.0f, 130.0f, 150.0f};
constexpr float kDigitSpeed[8] = {0.0001f, 0.001f, 0.01f, 0.1f, 1.0f, 10.0f, 100.0f, 1000.0f};

// Whether the previous frame saw the cursor over the window. A cursor coming back turns
// nothing in its first frame, so leaving and re-entering elsewhere never jumps the view.
bool g_cursorWasOver = false;

// A key of the kind that acts once per key-down: clears its entry and says whether it was set.
bool TakeKey(int key)
{
    if (!Keys[key]) return false;
    Keys[key] = false;
    return true;
}

// Mouse look: 333 frame pixels of cursor travel turn the view one radian. The position is
// tracked whether or not the button is held, so pressing it never starts with a jump.
void LookWithCursor(bool cursorOverWindow, CursorPoint cursor)
{
    if (!cursorOverWindow) {
        g_cursorWasOver = false;
        return;
    }
    if (MouseLook && g_cursorWasOver) {
        const int32_t dx = cursor.x - LastCursor.x, dy = cursor.y - LastCursor.y;
        RotateCamera(CurrentCamera, static_cast<float>(dy) / 333.0f, static_cast<float>(dx) / 333.0f, 0.0f);
    }
    LastCursor = cursor;
    g_cursorWasOver = true;
}

} // namespace

void DebugCameraFrameStep()
{
    CursorPoint cursor = LastCursor;
    const bool over = GetCursorFramePosition(cursor.x, cursor.y);
    DebugCameraStep(over, cursor);
}

void DebugCameraStep(bool cursorOverWindow, CursorPoint cursor)
{
    CameraRecord& camera = CurrentCamera;
    if (Keys[VK_LEFT]) StrafeCamera(camera, MoveSpeed / 3);
    if (Keys[VK_RIGHT]) StrafeCamera(camera, -MoveSpeed / 3);
    if (Keys[VK_UP]) MoveCamera(camera, MoveSpeed * 3);
    if (Keys[VK_DOWN]) MoveCamera(camera, -MoveSpeed * 3);
    if (Keys[VK_PRIOR]) RiseCamera(camera, MoveSpeed * 45);
    if (Keys[VK_NEXT]) RiseCamera(camera, -MoveSpeed * 45);
    // Cleared when taken: each key-down (auto-repeat included) widens or narrows once.
    if (TakeKey(VK_HOME)) camera.fov += 5.0f;
    if (TakeKey(VK_END)) camera.fov -= 5.0f;

    // Ascending, so the highest digit held wins.
    const bool shift = Keys[VK_SHIFT];
    for (int digit = 0; digit < 8; ++digit) {
        if (!Keys['1' + digit]) continue;
        if (shift) camera.fov = kDigitFov[digit];
        else MoveSpeed = kDigitSpeed[digit];
    }

    LookWithCursor(cursorOverWindow, cursor);
}

void DebugMouseMessage(uint32_t message, intptr_t cursorParam)
{
    // Frames may be slow: the drag is counted from where the button went down to where it
    // came up, whatever the frames saw in between.
    CursorPoint cursor{};
    const bool over = CursorFromParam(cursorParam, cursor.x, cursor.y);
    switch (message) {
    case WM_LBUTTONDOWN:
        if (over) {
            LastCursor = cursor;
            g_cursorWasOver = true;
        }
        MouseLook = true;
        break;
    case WM_LBUTTONUP:
        LookWithCursor(over, cursor);
        MouseLook = false;
        break;
    case WM_RBUTTONUP: RecordCameraKey(); break;
    default: break;
    }
}

bool RecordCameraKey()
{
    if (DefaultCameraPath.count >= MaxRecordedKeys) {
        std::fprintf(stderr,
                     "lantern: %s already holds %d keys, the most a camera file loads back; this key was "
                     "not recorded\n",
                     RecordingFileName, MaxRecordedKeys);
        return false;
    }
    AppendCameraKey(CurrentCamera, DefaultCameraPath);
    try {
        // Named by its whole path, so a refusal says which working folder would not take it.
        SaveRecordedCameraPath(DefaultCameraPath, WorkingFolderPath(RecordingFileName));
    } catch (const FatalError& error) {
        // The file keeps the keys before this one; so does the path, and the next click
        // writes them all again.
        --DefaultCameraPath.count;
        ShowMessageBox(StrFormat("%s\nThe camera key was not recorded.", error.what()), "Error",
                       BoxButtons::Ok, BoxIcon::Error);
        return false;
    }
    return true;
}
