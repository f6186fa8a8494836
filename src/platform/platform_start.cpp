// The platform's start-up, alike on every system.
#include "platform/platform_start.h"

#include "platform/console.h"

#include <cfenv>

void StartPlatform()
{
    // Non-stop mode: every floating-point exception masked (the x86-64 default, set here
    // because the program relies on it, whatever started it).
    std::fenv_t started;
    std::feholdexcept(&started);
    ConnectToConsole();
}
