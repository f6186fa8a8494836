// The platform's start-up: what the program settles with its system before anything else.
#pragma once

// Floating-point operations that never trap (a division by zero or an invalid operation gives
// an infinity or a NaN, on which the whole program relies), and standard output and error
// connected to the console the program was started from (ConnectToConsole).
void StartPlatform();
