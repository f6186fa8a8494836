// Keyboard translation: SDL scancodes to Windows virtual-key codes, and the auto-repeat
// of the original platform (the most recently pressed key repeats its key-down after a
// delay, then at a steady rate, until it is released).
#pragma once

#include "platform/messages.h"

#include <SDL2/SDL_scancode.h>
#include <cstdint>

// 0 when the key has no virtual-key code the program uses.
int VirtualKeyFromScancode(SDL_Scancode scancode);

class KeyRepeater {
public:
    static constexpr uint32_t kDelayMs = 500;   // Windows' default keyboard delay
    static constexpr uint32_t kIntervalMs = 33; // about 30 repeats a second

    void KeyDown(int virtualKey, uint32_t nowMs);
    void KeyUp(int virtualKey);
    // A repeated key-down that is due at nowMs, or 0. Call until it returns 0.
    int NextRepeat(uint32_t nowMs);

private:
    int m_key = 0;
    uint32_t m_nextMs = 0;
};
