// The music clock: the play position of the soundtrack as the viewer hears it, in
// microseconds of music.
//
// With an audio device, the route says with every block it is handed when that block will be
// heard (AudioTiming, stamped as its callback began): the music heard at that moment is the
// position of the frames handed before the block, less the route's delay. Between these
// reports the clock runs on the steady clock, and a report only bends its rate (by up to
// MaxSlewPpm either way) toward the reported position: frame-to-frame steps stay within a few
// percent of the time between the frames, and the reports' jitter never shows as a step.
// It jumps only where the sound did: on a seek, or when two reports in a row lie more than a
// frame away (the sound stopped for a while, or the device changed its delay). It never runs
// past the frames handed, which is as far as anything can be heard, and after a start it
// waits for two reports that show the sound moving.
//
// A player that plays the whole soundtrack itself (a browser's Web Audio) reports instead the
// music heard at a moment (PositionHeard): the same smoothing, with no ceiling of frames handed.
//
// A sound that stops being heard (its route failed, its device went away, the browser
// suspended it) is a state, not an end: from SoundLost the picture runs on from where it
// stood on the steady clock, without a jump; SoundBack says where the stream must resume so
// that it comes in at the music the picture shows, and the picture goes on, still on the
// steady clock, until the sound is seen moving, then follows it again (slewed when it came in
// within a jump of the picture, else jumping to it once).
//
// The picture's time is the position heard less the extra delay the viewer sets for a system
// that delays the sound beyond what the route reports (--av-offset; negative: the picture goes
// earlier). It holds where the music started (or a seek or a resume put it) until the sound
// gets there. Without a device the clock runs on the steady clock alone. Times are passed in
// (microseconds of the steady clock) so that tests can drive it.
#pragma once

#include "platform/audio_device.h"

#include <cstdint>
#include <mutex>

class SoundtrackClock {
public:
    // The most a report bends the clock's rate (2 % of a 60 Hz frame is a third of a
    // millisecond), and how an error is worked off: its share SettleUs sets the slew, so that
    // an error of 10 ms or more is taken out at the full 2 %, a smaller one more gently.
    static constexpr int64_t MaxSlewPpm = 20000;
    static constexpr int64_t SettleUs = 500000;
    // An error beyond this (a frame at 60 Hz and a little), seen twice in a row, is a jump.
    static constexpr int64_t JumpUs = 20000;
    // After a start, the least time between the two reports that show the sound moving.
    static constexpr int64_t ProbeUs = 5000;

    explicit SoundtrackClock(int sampleRate = 44100) : m_rate(sampleRate) {}

    // How much later than the route reports the sound is heard. Set before Start; a clock
    // without a device ignores it.
    void SetExtraDelayUs(int64_t us);
    // Starts at music position startMs; device-driven or steady.
    void Start(int32_t startMs, int64_t nowUs, bool deviceDriven);
    // Audio thread: a block of `frames` frames is being handed to the device; the timing says
    // when its first frame will be heard. Blocks handed before Start or while paused do not
    // count.
    void BlockHanded(int64_t frames, const AudioTiming& timing);
    // A player of the whole soundtrack: at steady time atUs the music heard is streamUs (the
    // stream's own position, before the extra delay). From the first such report the clock
    // has no ceiling of frames handed.
    void PositionHeard(int64_t streamUs, int64_t atUs);
    // The sound is no longer heard: the picture runs on the steady clock from where it is.
    // Nothing happens before Start or when already lost.
    void SoundLost(int64_t nowUs);
    bool SoundIsLost();
    // The sound can play again, heard expectedDelayUs after what is handed from now (the
    // route's buffer): the stream position, in microseconds, that it must be handed from so
    // that it is heard with the picture. The caller moves the stream there before the route
    // takes anything. Paused, the stream resumes from the held position as after a pause.
    int64_t SoundBack(int64_t nowUs, int64_t expectedDelayUs);
    // The picture's music time at steady time atUs (now, or when a frame will be seen): 0
    // before Start.
    int64_t TimeUs(int64_t atUs);
    int32_t TimeMs(int64_t atUs);

    // Where a pause left the picture and the sound.
    struct Held {
        int32_t pictureMs; // the picture's time, held
        int32_t streamMs;  // the music heard last: the stream goes on from here
    };
    // Holds the picture where it is. The caller stops the device first and puts the stream
    // back to streamMs, which is the picture's time shifted by the extra delay: the sound
    // resumes where it was heard last, neither skipped nor repeated.
    Held Pause(int64_t nowUs);
    // Plays on from the held position, as Start does from a start position: a device-driven
    // clock holds until the sound is heard again.
    void Resume(int64_t nowUs);
    bool Paused();
    // Moves the picture and the stream to ms (the caller moves the stream there too): playing,
    // it goes on from there as after Start; paused, it holds there. Nothing before Start.
    void Seek(int32_t ms, int64_t nowUs);
    // Jumps made since the clock was made (seeks not counted).
    int Jumps();

private:
    void ReportLocked(int64_t reportedUs, int64_t entryUs);
    void StartLocked(int64_t streamUs, int64_t pictureUs, int64_t nowUs, bool deviceDriven);
    int64_t HeardUsLocked(int64_t atUs) const;
    int64_t TimeUsLocked(int64_t atUs) const;

    std::mutex m_mutex;
    int m_rate;
    int64_t m_extraDelayUs = 0;
    bool m_started = false;
    bool m_deviceDriven = false;
    bool m_paused = false;
    int64_t m_streamStartUs = 0; // the music position the stream started from
    int64_t m_floorUs = 0;       // the picture holds here until the sound gets there
    int64_t m_startSteadyUs = 0; // when it started (the steady clock)
    int64_t m_handedFrames = 0;  // handed to the device since the start
    // A report after a start, kept to see whether the sound moves by the next.
    bool m_probing = false;
    int64_t m_probeSteadyUs = 0;
    int64_t m_probeHeardUs = 0;
    // The position heard at a steady time, and the rate it runs at from there (parts per
    // million off real time); none until the sound is seen moving after a start.
    bool m_anchored = false;
    int64_t m_anchorSteadyUs = 0;
    int64_t m_anchorHeardUs = 0;
    int64_t m_slewPpm = 0;
    int m_reportsOff = 0; // reports in a row beyond JumpUs
    bool m_positionsReported = false; // fed by PositionHeard: no ceiling of frames handed
    // No sound is heard (m_lost), or it was lost and is back but not yet seen moving
    // (m_bridging): the picture runs on the steady clock from m_floorUs at m_startSteadyUs.
    bool m_lost = false;
    bool m_bridging = false;
    int m_jumps = 0;
    Held m_held{};
};
