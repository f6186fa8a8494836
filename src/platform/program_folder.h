// The folder that holds the running executable, found the way the operating system knows it
// (the process image on Linux, the module file on Windows), whatever the working folder.
#pragma once

#include <string>

// The folder without a trailing separator; empty when the system cannot tell.
std::string ProgramFolder();
