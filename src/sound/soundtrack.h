// The soundtrack: "data\soundtrack.ogg" decoded with vorbisfile and played through SDL2
// audio; its play position is the clock of the piece. Sound failures are silent: with no
// audio device the same clock runs on the steady clock, and with no soundtrack file it
// runs from the start position on the steady clock, so the piece still plays, silently.
#pragma once

#include <cstdint>
#include <string_view>

struct SoundtrackStream; // an open Ogg Vorbis file and its clock

extern SoundtrackStream* SoundStream;
extern int32_t SoundChannel;

// Opens the audio device (44100 Hz). False when there is none; then the caller closes.
bool InitSound();
void CloseSound();
// The stream, or nullptr when the file is missing or not Ogg Vorbis.
SoundtrackStream* OpenSoundStream(std::string_view path);
// Starts playing (or, with no device or no stream, starts the steady clock) at startMs.
void PlaySoundStream(int32_t channel, SoundtrackStream* stream, int32_t startMs = 0);
// The play position in ms of the stream started by PlaySoundStream (0 before).
int32_t SoundStreamTimeMs(SoundtrackStream* stream);

// Authoring: pauses or resumes the music and its clock together. Pausing stops the device
// and puts the stream back to the held time, so the music resumes from exactly the moment
// the clock shows.
void PauseSoundStream(bool paused);
// Authoring: moves the music and its clock to ms (paused, they stay paused there). Past the
// end of the stream the music is silent and the clock runs on.
void SeekSoundStream(int32_t ms);
