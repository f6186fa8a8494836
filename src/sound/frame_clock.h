// FrameClock: the two clocks a frame sees. In play mode the music time comes from the
// soundtrack and the tick counter from the system; offline (shots, capture, benchmarks,
// tests) both are the time of the frame being rendered, so those frames are exact.
#pragma once

#include <cstdint>
#include <optional>

// The music time of the frame about to be drawn.
int32_t FrameMusicTime();

// Offline: every frame is drawn at ms, with the tick counter fixed to ms too.
// std::nullopt returns to the soundtrack clock and the system tick.
void SetOfflineFrameTime(std::optional<int32_t> ms);
