#include "peak_limiter.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <memory>

namespace quillo::parole {

void limitPeaks(std::vector<float>* samples, int rate, float ceiling)
{
    const size_t n = samples->size();
    if (n == 0 || rate <= 0 || !(ceiling > 0))
        return;
    const size_t ahead = std::max<size_t>(1, size_t(rate) * kLookAheadMs / 1000);
    // The gain each sample needs on its own.
    std::vector<float> needed(n);
    for (size_t i = 0; i < n; ++i) {
        const float level = std::fabs((*samples)[i]);
        needed[i] = level > ceiling ? ceiling / level : 1.0f;
    }
    // The least of it over the next `ahead` samples (a running minimum), so
    // the gain is down before a peak arrives.
    std::vector<float> least(n);
    std::deque<size_t> window;  // indices of rising `needed`
    for (size_t i = n; i-- > 0;) {
        while (!window.empty() && needed[window.back()] >= needed[i])
            window.pop_back();
        window.push_back(i);
        while (window.front() > i + ahead)
            window.pop_front();
        least[i] = needed[window.front()];
    }
    // Smoothed by a moving average over the same span, which stays at or
    // under what each sample needs (every term of it does), then released
    // slowly, never above the average.
    const float release = 1.0f / float(std::max(1, rate * kReleaseMs / 1000));
    double sum = 0;
    float gain = 1.0f;
    for (size_t i = 0; i < n; ++i) {
        sum += least[i];
        if (i >= ahead)
            sum -= least[i - ahead];
        const float average = float(sum / double(std::min(i + 1, ahead)));
        gain = std::min(average, gain + release);
        (*samples)[i] *= std::min(gain, needed[i]);
    }
}

double truePeakOf(const std::vector<float>& samples, int rate)
{
    if (samples.empty() || rate <= 0)
        return 0;
    const std::unique_ptr<ebur128_state, void (*)(ebur128_state*)> state(
        ebur128_init(1, static_cast<unsigned long>(rate), EBUR128_MODE_TRUE_PEAK),
        [](ebur128_state* s) { ebur128_destroy(&s); });
    double peak = 0;
    if (!state || ebur128_add_frames_float(state.get(), samples.data(), samples.size()) != EBUR128_SUCCESS
        || ebur128_true_peak(state.get(), 0, &peak) != EBUR128_SUCCESS)
        return 0;
    return peak;
}

}  // namespace quillo::parole
