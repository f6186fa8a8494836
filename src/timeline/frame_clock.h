// FrameClock: the two clocks a frame sees, with one owner. In play mode the music time comes
// from the soundtrack and the film-grain tick from the system tick counter; offline (shots,
// capture, benchmarks, tests) both are the time of the frame being rendered, so those frames
// are exact. RenderFrame reads both once per frame.
#pragma once

#include <cstdint>
#include <optional>

// The music time of the frame about to be drawn.
int32_t FrameMusicTime();
// The tick count the film grain of that frame follows.
uint32_t FrameTickCount();

// Offline: every frame is drawn at ms, with the tick count equal to ms too. std::nullopt
// returns to the soundtrack clock and the system tick.
void SetOfflineFrameTime(std::optional<int32_t> ms);

// Authoring (play mode): music and picture stop and go on together. Paused, the film grain's
// tick holds too, so the frame stands still.
void PauseFrameClock(bool paused);
bool FrameClockPaused();
// Authoring (play mode): music and picture move to ms together.
void SeekFrameClock(int32_t ms);
