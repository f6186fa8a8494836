// What the window (window.cpp) takes from its system's variant, window_<system>.cpp.
#pragma once

// The SDL video driver of a headless run; nullptr for the system's ordinary one.
extern const char* const HeadlessVideoDriver;
