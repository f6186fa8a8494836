// Offline frames: with the piece started off-screen, one frame at a fixed music time (the
// tick counter fixed to the same time), read back or written as a PNG (640x480 unless another
// size is asked for).
#pragma once

#include "capture/frame_grabber.h"
#include "scenes/lum_scenes.h"

#include <cstdint>
#include <string>
#include <vector>

// Draws the frame at musicMs into the off-screen frame, on the GL state the frame drawn before
// it left: right for a run of frames in time order (capture, benchmarks).
void RenderOfflineFrame(int32_t musicMs);
// The frame a run from 0 draws at musicMs. Some scenes draw with state earlier frames left
// (the colour of the previous frame's glow, the depth function the water scenes set for the
// rest of the piece), so first one frame of every timeline scene that ended before musicMs,
// in time order, then the frame one 60-fps period before, then the frame itself.
void RenderOfflineFrameAsPlayed(int32_t musicMs);
// The frame a run from 0 draws at musicMs, when the frame drawn last is the one a run draws
// at previousMs (earlier): one frame of each timeline scene that started after previousMs
// and ended before musicMs, the frame one 60-fps period before, then the frame itself. With
// previousMs -1 it is RenderOfflineFrameAsPlayed. Contact sheets step through the piece so.
void RenderOfflineFrameAsPlayedAfter(int32_t previousMs, int32_t musicMs);
// The frame a run from 0 draws at musicMs when its frame before is at frameBeforeMs: one
// frame of every timeline scene that ended before musicMs, the frame at frameBeforeMs, then
// the frame itself. A capture drawn in parts starts each part after the first so, on the
// state the capture's own frame before it leaves, whatever its frame rate.
void RenderOfflineFrameAfterFrame(int32_t frameBeforeMs, int32_t musicMs);

// The music time of frame `frame` of a run at fps frames a second: frame * 1000 / fps ms.
int32_t FrameMusicTime(int64_t frame, int fps);
// How many frames a run at fps frames a second draws from music time 0: up to the frame in
// which the outro ends the piece, or the last before every span has ended.
int64_t PlayedFrameCount(int fps);

// Draws one scene object alone at msIntoSpan of its own span (music time StartTime + ms): a
// timeline scene as its timeline frame, a sub-scene on the state a montage hands it (colour
// (1, 1, 1, 0.5), depth function GL_LEQUAL), so the picture never depends on what was drawn
// before.
void RenderSceneOffline(lum_genericscene& scene, int32_t msIntoSpan);
// The picture as drawn (PictureSize(), 640x480 by default) as RGB rows, top row first.
std::vector<uint8_t> ReadFrameTopDown();
// Writes the frame drawn last as a PNG of the output's size. Returns the exit code: 0, or 1
// with a message on stderr when the file cannot be written.
int WriteFramePng(const std::string& pngPath, const OutputFrame& output = {});
