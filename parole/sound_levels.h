#pragma once

#include "recording.h"

#include <QString>

namespace quillo::parole {

// The loudness every recording is brought to, in LUFS: the loudness of the
// bundled library. Measured once with libebur128 as the median integrated
// loudness of media/parole/*.wav: -16.2 LUFS over the 147 of its 165
// recordings that last long enough (400 ms) to have one; the key recordings
// of media/alfabeto/ gave -16.1 over their 26.
inline constexpr double kTargetLoudness = -16.2;
// True peaks are kept at or below this, in dBTP.
inline constexpr double kPeakCeiling = -1.0;
// Silence kept before the first sound and after the last.
inline constexpr int kKeptSilenceMs = 50;

// The recording without its silence at both ends, kKeptSilenceMs kept on
// each side. Silence is what stays 35 dB under the loudest 10 ms, or under
// -65 dBFS. Empty when the whole recording is silence.
Recording trimSilence(const Recording& recording);

// EBU R128 loudness in LUFS: integrated, or for a sound shorter than the
// 400 ms that takes, over its whole length. -inf for silence.
double loudnessOf(const Recording& recording);

// The largest sample, in dBFS.
double peakOf(const Recording& recording);

// Trims and levels a recording as the library keeps it: at kTargetLoudness,
// with its true peaks held at or under kPeakCeiling by a limiter rather
// than by a lower gain. False, with an Italian message, for a recording that
// is silence.
bool prepareRecording(Recording* recording, QString* error);

}  // namespace quillo::parole
