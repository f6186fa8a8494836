// The authoring mode (lantern --dev), for tuning a scene while the piece plays: Space pauses
// and resumes music and picture together, F5 and F6 seek 5 s back and forward, F7 and F8 jump
// to the start of the previous and next slot of the timeline, F9 loops the slot playing. The
// window title shows the music time, the slot's scene and progress, the frame rate, and
// "paused" and "loop" while they hold.
#pragma once

#include "base/piece_schedule.h"

#include <cstddef>
#include <cstdint>

// The scheduled scene whose span holds ms, or nullptr (before the first, in a gap, after the end).
const ScheduledScene* ScheduledSceneAt(int32_t ms);
// The scene playing at ms, or the last one to start before it: the slot the keys count from.
const ScheduledScene* CurrentSlot(int32_t ms);
// Start of the slot before the current one in time (0 from the first slot).
int32_t PreviousSlotStart(int32_t ms);
// Start of the slot after the current one in time, or -1 from the last slot.
int32_t NextSlotStart(int32_t ms);

// What the keys move: in a run, the frame clock (the music and the picture together).
class AuthoringClock {
public:
    virtual ~AuthoringClock() = default;
    virtual bool Paused() = 0;
    virtual void SetPaused(bool paused) = 0;
    virtual void SeekTo(int32_t ms) = 0;
};

class AuthoringControl {
public:
    explicit AuthoringControl(AuthoringClock& clock) : m_clock(clock) {}

    // A key went down while the frame of music time ms was on screen. Space, F5 to F9 act;
    // false for any other key. A seek to the end of the piece or beyond ends the run as the
    // outro does (EndPiece).
    bool KeyDown(int virtualKey, int32_t ms);
    // Before a frame, with the clock's time: a looped slot that is over starts again.
    void BeforeFrame(int32_t clockMs);
    // After a frame: looping the last slot, its request to end the piece plays it again.
    void AfterFrame();

    bool Looping() const { return m_loop != nullptr; }
    bool Paused() { return m_clock.Paused(); }

private:
    void Seek(int32_t ms);

    AuthoringClock& m_clock;
    const ScheduledScene* m_loop = nullptr; // the slot played again, or none
    bool m_endAsked = false;                // a seek reached the end: nothing holds the run
};

// Frames per second, counted over whole seconds of presented frames.
class FrameRateMeter {
public:
    // A frame was presented at nowMs (tick counter).
    void FramePresented(uint32_t nowMs);
    // The rate of the last whole second, or -1 before one has passed.
    double FramesPerSecond() const { return m_rate; }

private:
    bool m_started = false;
    uint32_t m_windowStartMs = 0;
    int m_frames = 0;
    double m_rate = -1.0;
};

// "nrvk_dms  1:23.456  greet 42%  59.9 fps  paused  loop" into out (always terminated), then
// the picture's size when it is not 640x480 ("  1440x1080").
void FormatAuthoringTitle(char* out, size_t size, const char* baseTitle, int32_t ms, double fps, bool paused,
                          bool looping);

// The run's authoring mode, on the frame clock; the main loop calls these only with --dev.
void AuthoringKeyDown(int virtualKey);
void AuthoringBeforeFrame();
// After the frame is presented: loop, frame rate and window title.
void AuthoringAfterFrame();
