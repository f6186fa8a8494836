// FrameClock: the two clocks a frame sees, with one owner. In play mode the music time comes
// from the soundtrack and the film-grain tick from the system tick counter; offline (shots,
// capture, benchmarks, tests) both are the time of the frame being rendered, so those frames
// are exact. RenderFrame reads both once per frame.
//
// In play a frame shows the music heard when it reaches the screen, not when its drawing
// starts: the clock is read for now plus the time drawing and presenting take, as recent
// frames took it.
#pragma once

#include <cstdint>
#include <optional>

// The music time of the frame about to be drawn.
int32_t FrameMusicTime();
// The tick count the film grain of that frame follows.
uint32_t FrameTickCount();
// Play mode, once the frame drawn from FrameMusicTime is presented (its buffers swapped): the
// time it took teaches the clock how far ahead to read for the next frame; the step from the
// frame before is counted for the summary; an underrun of the sound meanwhile is logged.
void FramePresented();
// Play mode, with the log on: how smoothly the music time ran from frame to frame, its jumps,
// how far ahead frames were drawn, and the sound's underruns.
void LogFrameClockSummary();

// Offline: every frame is drawn at ms, with the tick count equal to ms too. std::nullopt
// returns to the soundtrack clock and the system tick.
void SetOfflineFrameTime(std::optional<int32_t> ms);

// Authoring (play mode): music and picture stop and go on together. Paused, the film grain's
// tick holds too, so the frame stands still.
void PauseFrameClock(bool paused);
bool FrameClockPaused();
// Authoring (play mode): music and picture move to ms together.
void SeekFrameClock(int32_t ms);

// How long a frame takes from reading the clock to the screen: the median of the last few
// frames (a slow frame now and then does not move it), which the lead follows by at most
// StepUs a frame once it has a full set, so that its changes never show as a step in the
// music time.
class PresentationLead {
public:
    static constexpr int Frames = 15;
    static constexpr int64_t StepUs = 250;
    void Add(int64_t tookUs);
    int64_t Us() const { return m_leadUs; }

private:
    int64_t m_recent[Frames] = {};
    int m_count = 0;
    int m_next = 0;
    int64_t m_leadUs = 0;
};

// The spread of the music time's frame-to-frame steps against the time between the frames
// (zero for a perfectly smooth clock), to 10 microseconds, in fixed storage. A step off by
// more than JumpUs is a jump, counted apart.
class FrameStepSpread {
public:
    static constexpr int64_t JumpUs = 20000;
    static constexpr int64_t BinUs = 10;
    void Add(int64_t offUs);
    int Steps() const { return m_steps; }
    int Jumps() const { return m_jumps; }
    // The percent-th percentile of how far the steps that were no jumps were off; 0 with none.
    int64_t PercentileUs(int percent) const;
    int64_t LargestUs() const { return m_largestUs; }

private:
    static constexpr int kBins = static_cast<int>(JumpUs / BinUs) + 1;
    int32_t m_bins[kBins] = {};
    int m_steps = 0;
    int m_jumps = 0;
    int64_t m_largestUs = 0;
};
