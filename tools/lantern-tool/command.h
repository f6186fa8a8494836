// Sub-commands of lantern-tool register themselves here, one file each, so adding a
// command touches nothing but its own file.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>

// Declares the command's options on `command` and sets `run` to the action, which returns
// the exit code. A FatalError thrown by the action is printed and ends with exit code 1.
using CommandSetup = void (*)(CLI::App& command, std::function<int()>& run);

bool RegisterCommand(const char* name, const char* description, CommandSetup setup);
