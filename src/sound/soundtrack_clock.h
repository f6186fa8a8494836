// The music clock: the audible play position of the soundtrack in milliseconds.
//
// With an audio device, the position is the count of sample frames handed to the device,
// interpolated on the steady clock between device callbacks (so it moves smoothly from
// frame to frame instead of in callback-sized steps) and never beyond what was handed, less
// the output delay: the frames handed that are not heard yet (the device's buffer, and what
// the viewer adds for a system that delays more). Until the first of them is heard it holds
// at the start. Without a device it runs on the steady clock alone. Either way it never goes
// backwards, except where it is told to: a seek moves it anywhere, and paused it holds still.
// Times are passed in (microseconds of a steady clock) so tests can drive it.
#pragma once

#include <cstdint>
#include <mutex>

class SoundtrackClock {
public:
    explicit SoundtrackClock(int sampleRate = 44100) : m_rate(sampleRate) {}

    // Frames handed to the device that are still to be heard (0 until set; negative moves the
    // picture earlier). Set before Start.
    void SetOutputDelay(int64_t frames);
    // Starts at music position startMs; device-driven or steady.
    void Start(int32_t startMs, int64_t nowUs, bool deviceDriven);
    // Audio thread: a block of `frames` frames was just handed to the device.
    void FramesHanded(int64_t frames, int64_t nowUs);
    // Main thread: the play position in ms (0 before Start).
    int32_t TimeMs(int64_t nowUs);

    // Holds the position where it is and returns it; blocks handed meanwhile do not count.
    // The caller stops the device first and puts the stream back to the held position.
    int32_t Pause(int64_t nowUs);
    // Plays on from the held position, as Start does from a start position: a device-driven
    // clock waits for the device to take the first block.
    void Resume(int64_t nowUs);
    bool Paused();
    // Moves the position to ms (the caller moves the stream there too): playing, it goes on
    // from there as after Start; paused, it holds there. Nothing before Start.
    void Seek(int32_t ms, int64_t nowUs);

private:
    void StartLocked(int32_t startMs, int64_t nowUs, bool deviceDriven);
    int32_t TimeMsLocked(int64_t nowUs);

    std::mutex m_mutex;
    int m_rate;
    int64_t m_outputDelay = 0;
    bool m_started = false;
    bool m_deviceDriven = false;
    int64_t m_startFrame = 0;
    int64_t m_startUs = 0;
    int64_t m_blockStartFrame = -1; // frames handed before the latest block (-1: none yet)
    int64_t m_handedFrames = 0;
    int64_t m_blockUs = 0;
    int32_t m_lastMs = 0;
    bool m_paused = false;
};
