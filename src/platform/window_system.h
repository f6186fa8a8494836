// What the window (window.cpp) takes from its system's variant, window_<system>.cpp.
#pragma once

// The SDL video driver of a headless run; nullptr for the system's ordinary one.
extern const char* const HeadlessVideoDriver;
// True in a browser: every run draws on the page's canvas and shows what it drew there (a run
// asked to be headless, a shot or a benchmark, too), and the browser paces the frames itself
// (no swap interval is asked for).
extern const bool DrawsOnPage;
