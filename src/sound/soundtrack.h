// The soundtrack: "data\soundtrack.ogg" decoded with vorbisfile and played through SDL2
// audio; its play position is the clock of the piece. With no audio device the same clock
// runs on the steady clock, and with no playable soundtrack file (a warning says why) it runs
// from the start position on the steady clock, so the piece still plays, silently.
#pragma once

#include <cstdint>
#include <string_view>

struct SoundtrackStream; // an open Ogg Vorbis file and its clock

extern SoundtrackStream* SoundStream;
extern int32_t SoundChannel;

// Opens the audio device (44100 Hz). False when there is none; then the caller closes. The
// music clock follows what is heard, as the device's route reports it; the picture waits
// avOffsetMs more for a system that delays the sound beyond that (negative: it goes earlier).
bool InitSound(int32_t avOffsetMs = 0);
void CloseSound();
// The stream, or nullptr, with a warning naming the file and the fault, when it is missing,
// not a regular file (it is never waited on), or not Ogg Vorbis that can be played. A file of
// another rate or channel count is converted as it plays; one shorter than the piece is
// warned about and plays, the rest silent. A failure while it plays is warned about once (on
// the main thread, from SoundStreamTimeMs) and the rest plays silently on the same clock.
SoundtrackStream* OpenSoundStream(std::string_view path);
// Closes a stream (stopping it first if it plays). The piece never does; checks that open
// streams of their own do.
void CloseSoundStream(SoundtrackStream* stream);
// Starts playing (or, with no device or no stream, starts the steady clock) at startMs.
void PlaySoundStream(int32_t channel, SoundtrackStream* stream, int32_t startMs = 0);
// The play position in ms of the stream started by PlaySoundStream (0 before).
int32_t SoundStreamTimeMs(SoundtrackStream* stream);
// The same in microseconds at a moment of the steady clock (SteadyMicroseconds): now, or a
// little ahead, when the frame drawn now will be seen.
int64_t SoundStreamTimeAt(SoundtrackStream* stream, int64_t steadyUs);
// What the music clock rests on, for the log: the route to the speaker and its delay report
// ("" without a device).
const char* SoundRouteDescription();
// The times the speaker ran dry, as the route tells, since the device opened.
int SoundUnderruns();
// The times the music clock jumped to the sound instead of slewing toward it.
int SoundClockJumps();

// Authoring: pauses or resumes the music and its clock together. Pausing stops the device
// and puts the stream back to the music heard last, so the music resumes from exactly the
// moment it stopped, and the picture from the moment it shows.
void PauseSoundStream(bool paused);
// Authoring: moves the music and its clock to ms (paused, they stay paused there). Past the
// end of the stream the music is silent and the clock runs on.
void SeekSoundStream(int32_t ms);
// What the device would be handed next from a stream that is not playing: up to `frames`
// frames of 44100 Hz stereo, converted as in play; fewer at its end.
int DecodeDeviceFrames(SoundtrackStream* stream, int16_t* samples, int frames);
