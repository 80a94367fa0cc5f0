#pragma once

#include <vector>

namespace quillo::parole {

// Holds a sound's peaks at or under `ceiling` (linear, 0..1) without turning
// the whole sound down: where a peak would pass it, the gain comes down over
// kLookAheadMs before the peak and goes back up over kReleaseMs after it, so
// the rest keeps its loudness. The gain never lets a sample pass the
// ceiling.
void limitPeaks(std::vector<float>* samples, int rate, float ceiling);

// The true peak (EBU R128: between the samples too, from the 4x oversampled
// signal), linear, measured with libebur128; 0 for silence.
double truePeakOf(const std::vector<float>& samples, int rate);

inline constexpr int kLookAheadMs = 5;
inline constexpr int kReleaseMs = 80;

}  // namespace quillo::parole
