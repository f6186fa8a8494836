// File encoders of the finished track: Ogg Vorbis for the piece and 16-bit WAV for
// listening checks. Both are deterministic: the same samples give the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace music {

// Interleaved frames (stereo at 44100 Hz unless told otherwise), VBR at `quality`
// (-0.1 .. 1), one logical stream with a fixed serial number. progress(fraction done) is
// called as it goes.
std::vector<uint8_t> EncodeOggVorbis(const std::vector<float>& interleaved, float quality,
                                     const std::function<void(double)>& progress, int channels = 2,
                                     int sampleRate = 44100);

// Decodes an Ogg Vorbis stream from memory back to interleaved stereo frames, to check
// what a player will hear (the codec moves peaks a little).
std::vector<float> DecodeOggVorbis(const std::vector<uint8_t>& bytes);

std::vector<uint8_t> EncodeWav16(const std::vector<float>& interleaved);


} // namespace music
