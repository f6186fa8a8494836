// The soundtrack of the piece: synthesises the score (tools/music), masters it to
// broadcast loudness under a true-peak ceiling, and writes it as Ogg Vorbis. The music's
// play position is the clock of the pictures, so its beat grid is exact: beat k starts
// at frame round(k * 566 ms * 44.1 frames/ms).
#pragma once

#include <string>
#include <vector>

// The finished track as interleaved stereo float frames at 44100 Hz, mastered as it is
// encoded (WriteSoundtrack lowers it a little only if the codec lifts a peak too near
// the ceiling). Rendering is deterministic: every call returns the same samples.
std::vector<float> RenderScore(bool showProgress = false);

// Renders and writes the soundtrack: Ogg Vorbis (VBR quality 0.5, fixed stream serial,
// so the same bytes every run) and, when wavPath is not empty, the same track as 16-bit
// WAV. With showProgress a progress line is kept updated on stderr. Raises FatalError
// naming the file when a file cannot be written.
void WriteSoundtrack(const std::string& oggPath, const std::string& wavPath, bool showProgress);
