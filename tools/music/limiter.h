// The master limiter: holds the true (inter-sample) peak of a stereo track under a
// ceiling, as a player's reconstruction filter would see it, with look-ahead so the
// gain is already down when a peak arrives and a smooth release after it.
#pragma once

#include <cstddef>

namespace music {

// Largest magnitude among the samples and the points 4x oversampled between them.
float TruePeak(const float* left, const float* right, size_t frames);

// Limits in place to `ceiling` (linear amplitude).
void LimitTruePeak(float* left, float* right, size_t frames, float ceiling);

} // namespace music
