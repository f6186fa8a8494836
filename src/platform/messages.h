// The window messages and virtual-key codes of the original platform, which the window
// procedure and the debug controls are written against. The platform layer turns SDL
// events into these.
#pragma once

#include <cstdint>

enum : uint32_t {
    WM_SIZE = 0x0005, // lParam: the client area's new width in bits 0-15, its height in bits 16-31
    WM_ACTIVATE = 0x0006,
    WM_CLOSE = 0x0010,
    WM_QUIT = 0x0012,
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_SYSCOMMAND = 0x0112,
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    WM_RBUTTONUP = 0x0205,
};

enum : uint32_t {
    SC_SCREENSAVE = 0xF140,
    SC_MONITORPOWER = 0xF170,
};

enum : int {
    VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_SHIFT = 16, VK_CONTROL = 17, VK_MENU = 18,
    VK_PAUSE = 19, VK_CAPITAL = 20, VK_ESCAPE = 27, VK_SPACE = 32, VK_PRIOR = 33, VK_NEXT = 34,
    VK_END = 35, VK_HOME = 36, VK_LEFT = 37, VK_UP = 38, VK_RIGHT = 39, VK_DOWN = 40,
    VK_INSERT = 45, VK_DELETE = 46, VK_NUMPAD0 = 96, VK_MULTIPLY = 106, VK_ADD = 107,
    VK_SUBTRACT = 109, VK_DECIMAL = 110, VK_DIVIDE = 111, VK_F1 = 112, VK_F5 = 116, VK_F6 = 117,
    VK_F7 = 118, VK_F8 = 119, VK_F9 = 120,
};

// The cursor's place that comes with a mouse-button message (lParam), in pixels of the
// 640x480 frame of the piece, packed as Windows packs a point: x in bits 0-15 and y in bits
// 16-31, each a signed 16-bit number, so that it fits the 32-bit lParam of a 32-bit system (a
// browser's WebAssembly) too. A place beyond 32767 pixels either way (on a bar of a window
// thousands of times wider than high) is held at that bound. CursorOutside when the cursor was
// not over the window: no place packs to it, as -32768 is never packed.
constexpr intptr_t CursorOutside = INTPTR_MIN;
constexpr uint16_t CursorParamHalf(int32_t value)
{
    return static_cast<uint16_t>(value < -32767 ? -32767 : value > 32767 ? 32767 : value);
}
constexpr intptr_t CursorParam(int32_t x, int32_t y)
{
    return static_cast<intptr_t>(static_cast<int32_t>(static_cast<uint32_t>(CursorParamHalf(y)) << 16 |
                                                      CursorParamHalf(x)));
}
constexpr bool CursorFromParam(intptr_t param, int32_t& x, int32_t& y)
{
    if (param == CursorOutside) return false;
    x = static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(param) & 0xFFFF));
    y = static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(param) >> 16));
    return true;
}

struct WindowMessage {
    uint32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};
