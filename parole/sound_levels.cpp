#include "sound_levels.h"

#include "peak_limiter.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

namespace quillo::parole {

namespace {

constexpr int kWindowMs = 10;
constexpr double kBelowLoudest = 35;
constexpr double kSilenceFloor = -65;
constexpr unsigned long kIntegratedMinimumMs = 400;
constexpr int kLevellingRounds = 6;
constexpr double kLoudnessTolerance = 0.1;  // LU

double decibels(double amplitude)
{
    return amplitude > 0 ? 20 * std::log10(amplitude) : -std::numeric_limits<double>::infinity();
}

}  // namespace

Recording trimSilence(const Recording& recording)
{
    if (recording.isEmpty())
        return {{}, recording.rate};
    const size_t window = size_t(std::max(1, recording.rate * kWindowMs / 1000));
    const size_t windows = (recording.samples.size() + window - 1) / window;
    std::vector<double> level(windows);
    for (size_t w = 0; w < windows; ++w) {
        double sum = 0;
        const size_t end = std::min(recording.samples.size(), (w + 1) * window);
        for (size_t i = w * window; i < end; ++i)
            sum += double(recording.samples[i]) * recording.samples[i];
        level[w] = decibels(std::sqrt(sum / double(end - w * window)));
    }
    const double threshold = std::max(*std::max_element(level.begin(), level.end()) - kBelowLoudest, kSilenceFloor);
    const auto first = std::find_if(level.begin(), level.end(), [&](double l) { return l >= threshold; });
    if (first == level.end())
        return {{}, recording.rate};
    const auto last = std::find_if(level.rbegin(), level.rend(), [&](double l) { return l >= threshold; });
    const size_t kept = size_t(recording.rate) * kKeptSilenceMs / 1000;
    const size_t from = size_t(first - level.begin()) * window;
    const size_t to = std::min(recording.samples.size(), size_t(level.rend() - last) * window);
    const size_t begin = from > kept ? from - kept : 0;
    const size_t end = std::min(recording.samples.size(), to + kept);
    return {std::vector<float>(recording.samples.begin() + qsizetype(begin), recording.samples.begin() + qsizetype(end)),
            recording.rate};
}

double loudnessOf(const Recording& recording)
{
    const double silence = -std::numeric_limits<double>::infinity();
    if (recording.isEmpty())
        return silence;
    const std::unique_ptr<ebur128_state, void (*)(ebur128_state*)> state(
        ebur128_init(1, static_cast<unsigned long>(recording.rate), EBUR128_MODE_I),
        [](ebur128_state* s) { ebur128_destroy(&s); });
    if (!state)
        return silence;
    const unsigned long lengthMs = static_cast<unsigned long>(recording.seconds() * 1000);
    const bool whole = lengthMs < kIntegratedMinimumMs + 100;
    if (whole) {
        const int set = ebur128_set_max_window(state.get(), std::max(lengthMs, 1UL));
        if (set != EBUR128_SUCCESS && set != EBUR128_ERROR_NO_CHANGE)
            return silence;
    }
    if (ebur128_add_frames_float(state.get(), recording.samples.data(), recording.samples.size()) != EBUR128_SUCCESS)
        return silence;
    double loudness = silence;
    const int status = whole ? ebur128_loudness_window(state.get(), std::max(lengthMs, 1UL), &loudness)
                             : ebur128_loudness_global(state.get(), &loudness);
    return status == EBUR128_SUCCESS && std::isfinite(loudness) ? loudness : silence;
}

double peakOf(const Recording& recording)
{
    float peak = 0;
    for (float s : recording.samples)
        peak = std::max(peak, std::fabs(s));
    return decibels(peak);
}

bool prepareRecording(Recording* recording, QString* error)
{
    *recording = trimSilence(*recording);
    const double loudness = loudnessOf(*recording);
    if (recording->isEmpty() || !std::isfinite(loudness)) {
        if (error)
            *error = QStringLiteral("La registrazione è muta: non si sente nessuna voce. Controlla il microfono e "
                                    "riprova.");
        recording->samples.clear();
        return false;
    }
    // Brought to the target, then its peaks held under the ceiling by the
    // limiter; what the limiter takes off the loudness is made up and the
    // two steps repeated until both hold. The ceiling is for the true peak,
    // a little under the one asked for so that 16-bit rounding keeps it.
    const std::vector<float> original = recording->samples;
    double gain = kTargetLoudness - loudness;
    double ceiling = std::pow(10.0, (kPeakCeiling - 0.1) / 20);
    for (int round = 0; round < kLevellingRounds; ++round) {
        recording->samples = original;
        const float factor = float(std::pow(10.0, gain / 20));
        for (float& s : recording->samples)
            s *= factor;
        limitPeaks(&recording->samples, recording->rate, float(ceiling));
        const double truePeak = decibels(truePeakOf(recording->samples, recording->rate));
        const double reached = loudnessOf(*recording);
        const bool peaksHeld = truePeak <= kPeakCeiling - 0.05;
        if (peaksHeld && std::abs(reached - kTargetLoudness) <= kLoudnessTolerance)
            break;
        if (!peaksHeld)
            ceiling *= std::pow(10.0, (kPeakCeiling - 0.1 - truePeak) / 20);
        if (std::isfinite(reached))
            gain += kTargetLoudness - reached;
    }
    return true;
}

}  // namespace quillo::parole
