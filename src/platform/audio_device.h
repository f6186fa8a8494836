// The audio device: SDL2 audio, 16-bit interleaved samples at a fixed rate, fed on the audio
// thread by a callback that fills one block at a time. SDL converts to what the hardware
// wants, so the callback always sees the rate and channel count it asked for.
#pragma once

#include <cstdint>

// Fills `bytes` bytes of interleaved 16-bit samples (a whole number of frames). Runs on the
// audio thread.
using AudioFill = void (*)(uint8_t* buffer, int bytes);

// Opens the default device, paused. False when there is no device (sound is then silent).
// blockFrames is the buffer asked for; the device may choose another, and the callback then
// fills blocks of that size.
bool OpenAudioDevice(int rate, int channels, int blockFrames, AudioFill fill);
// The frames between a block handed to the open device and its being heard: the device's
// buffer, and what the system reports beyond it (a browser's audio context), on top of
// whatever delay a desktop's mixer adds, which SDL does not report. 0 when closed.
int AudioDeviceBufferFrames();
void CloseAudioDevice();
bool HasAudioDevice();
// Starts (or resumes) the callbacks, or pauses them.
void PauseAudioDevice(bool paused);
// While locked no callback runs: the main thread may change what the callback reads.
void LockAudioDevice();
void UnlockAudioDevice();

// Sample-rate conversion of 16-bit interleaved stereo with SDL's resampler, for a soundtrack
// made at another rate than the device plays. Put what was decoded, Flush at its end, Get
// what is ready (whole frames).
struct RateConverter;
// nullptr when SDL cannot convert between the two rates.
RateConverter* CreateRateConverter(int fromRate, int toRate);
void DestroyRateConverter(RateConverter* converter);
bool PutForConversion(RateConverter* converter, const int16_t* samples, int bytes);
void FlushConversion(RateConverter* converter);
// Up to `bytes` converted bytes into buffer; the count placed (0 when nothing is ready).
int GetConverted(RateConverter* converter, uint8_t* buffer, int bytes);
// Forgets everything put and not yet taken (after a seek).
void ClearConversion(RateConverter* converter);
