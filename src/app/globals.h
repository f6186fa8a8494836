// The global state of the shell (the overlay size, OverlayWidth and OverlayHeight, lives with
// the overlay in render/lum_views.h; the music time of the frame, MusicTime, with the scene
// table that writes it in timeline/globalscenes.h).
#pragma once

#include "base/picture_size.h"

#include <cstdint>
#include <string>

extern bool FullScreen;     // full-screen mode requested / in force
extern bool Keys[256];      // by Windows virtual-key code; true between key-down and key-up
extern void* WindowHandle;  // the GL window
extern void* DeviceContext; // the window's drawing surface, used for every buffer swap
extern void* RenderContext; // the GL rendering context

// How this run was asked to play (command line).
struct RunOptions {
    bool windowed = false;  // skip full screen and its question
    bool headless = false;  // no window on screen (the SDL offscreen driver)
    bool keepLog = false;   // leave the loading log on
    bool playSound = true;  // start the soundtrack at the end of start-up
    int32_t startMs = 0;    // music position to start from
    int32_t avOffsetMs = 0; // how much later than its device buffer says the sound is heard
    bool dev = false;       // authoring mode: pause, seek and loop keys; the title shows where
    // The window's client area (windowed); the picture is drawn at its largest 4:3 area.
    PixelSize windowSize = PieceFrameSize;
    bool pictureFollowsWindow = false; // --size native: the picture is the window's 4:3 area, resized with it
    std::string pictureOption;         // the options that set the picture's size, for messages ("" for none)
};
extern RunOptions Options;
