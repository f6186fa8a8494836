// Offline frames: the full start-up off-screen, then one frame at a fixed music time (the
// tick counter fixed to the same time), written as a 640x480 PNG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class ShotOf { Frame, LoaderScreen };

// Returns the exit code: 0, or 1 with a message when the PNG cannot be written.
int WriteShot(ShotOf what, int32_t musicMs, const std::string& pngPath);

// Starts the headless window and runs the start-up sequence without sound.
void StartOffline();
// Draws the frame at musicMs into the off-screen frame.
void RenderOfflineFrame(int32_t musicMs);
// The 640x480 frame as RGB rows, top row first.
std::vector<uint8_t> ReadFrameTopDown();
