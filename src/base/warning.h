// Warnings: damage the program can go on without (an empty texture list, a soundtrack that
// cannot be played) is still said out loud, naming the file and the fault, so nobody is left
// wondering why the picture is white or the piece silent. Where warnings go is up to the
// handler in force; without one they go to stderr as "warning: <file>: <fault>". Tests
// install their own to see every warning.
#pragma once

#include <functional>
#include <string_view>

using WarningHandler = std::function<void(std::string_view file, std::string_view fault)>;

void Warn(std::string_view file, std::string_view fault);

// Replaces the handler (an empty one restores the stderr default) and returns the previous one.
WarningHandler SetWarningHandler(WarningHandler handler);
