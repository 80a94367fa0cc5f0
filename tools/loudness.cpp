// Loudness meter of the media build: reads one mono recording as raw 32-bit
// float samples on standard input and prints six figures,
// "-16.20 -3.51 -15.80 40 120 560":
//   - its EBU R128 loudness in LUFS (as below),
//   - its peak in dBFS,
//   - its loudest momentary loudness in LUFS: the loudest 400 ms window, the
//     recording followed by 400 ms of silence as an EBU meter pads a short
//     clip, so a 200 ms letter is heard as the ear hears it,
//   - its onset in ms: the start of the first 10 ms frame whose level is
//     within 30 dB of its loudest 10 ms frame, where the voice is heard,
//   - its longest pause in ms: the longest run of 10 ms frames more than
//     40 dB under the loudest, between the onset and the last frame within
//     30 dB of the loudest,
//   - how long its voice is heard in ms: from the onset to the end of that
//     last frame, which tells how fast a word is said,
// or "-inf -inf -inf 0 0 0" for silence.
//
// It measures as "Le parole di Quillo" levels a parent's recording, so that
// the bundled recordings and the family's own play equally loud: integrated
// (gated) loudness, or for a recording shorter than 0.5 s, which is too short
// for the gating blocks to mean much, the loudness of one window over its
// whole length.
//
//   sox FILE -t f32 -c 1 - | loudness RATE
//   c++ -O2 -o loudness tools/loudness.cpp -lebur128   (libebur128-dev)

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv)
{
    const long rate = argc == 2 ? std::strtol(argv[1], nullptr, 10) : 0;
    if (rate < 8000 || rate > 384000) {
        std::fprintf(stderr, "usage: loudness RATE < samples.f32\n");
        return 2;
    }
    std::vector<float> samples;
    float chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, sizeof(float), 4096, stdin)) > 0)
        samples.insert(samples.end(), chunk, chunk + got);

    float peak = 0;
    for (float s : samples)
        peak = std::fmax(peak, std::fabs(s));
    const unsigned long lengthMs = samples.size() * 1000 / static_cast<unsigned long>(rate);
    const bool whole = lengthMs < 500;

    ebur128_state* state = ebur128_init(1, static_cast<unsigned long>(rate), EBUR128_MODE_I);
    if (!state)
        return 1;
    double loudness = -HUGE_VAL;
    int status = EBUR128_SUCCESS;
    if (whole) {
        status = ebur128_set_max_window(state, lengthMs > 0 ? lengthMs : 1);
        if (status == EBUR128_ERROR_NO_CHANGE)
            status = EBUR128_SUCCESS;
    }
    if (status == EBUR128_SUCCESS && !samples.empty())
        status = ebur128_add_frames_float(state, samples.data(), samples.size());
    if (status == EBUR128_SUCCESS && !samples.empty())
        status = whole ? ebur128_loudness_window(state, lengthMs > 0 ? lengthMs : 1, &loudness)
                       : ebur128_loudness_global(state, &loudness);
    ebur128_destroy(&state);
    if (status != EBUR128_SUCCESS)
        return 1;

    // Loudest momentary loudness, looked at every 10 ms.
    const size_t hop = static_cast<size_t>(rate) / 100;
    std::vector<float> padded(samples);
    padded.resize(samples.size() + static_cast<size_t>(rate) * 4 / 10, 0.0f);
    double momentary = -HUGE_VAL;
    state = ebur128_init(1, static_cast<unsigned long>(rate), EBUR128_MODE_M);
    if (!state)
        return 1;
    for (size_t at = 0; at < padded.size(); at += hop) {
        const size_t n = std::min(hop, padded.size() - at);
        double m;
        if (ebur128_add_frames_float(state, padded.data() + at, n) != EBUR128_SUCCESS ||
            ebur128_loudness_momentary(state, &m) != EBUR128_SUCCESS) {
            ebur128_destroy(&state);
            return 1;
        }
        momentary = std::fmax(momentary, m);
    }
    ebur128_destroy(&state);

    // Onset: 10 ms frames by their mean square; the first within 30 dB
    // (a factor of 1000) of the loudest.
    std::vector<double> frames;
    for (size_t at = 0; at < samples.size(); at += hop) {
        const size_t end = std::min(at + hop, samples.size());
        double sum = 0;
        for (size_t i = at; i < end; ++i)
            sum += static_cast<double>(samples[i]) * samples[i];
        frames.push_back(sum / static_cast<double>(end - at));
    }
    double loudest = 0;
    for (double f : frames)
        loudest = std::fmax(loudest, f);
    size_t onset = 0;
    while (onset < frames.size() && frames[onset] < loudest / 1000)
        ++onset;
    size_t last = frames.size();
    while (last > onset && frames[last - 1] < loudest / 1000)
        --last;
    size_t pause = 0, run = 0;
    for (size_t i = onset; i < last; ++i) {
        run = frames[i] < loudest / 10000 ? run + 1 : 0;
        pause = std::max(pause, run);
    }

    if (std::isfinite(loudness) && peak > 0)
        std::printf("%.2f %.2f %.2f %zu %zu %zu\n", loudness, 20 * std::log10(peak), momentary, onset * 10,
                    pause * 10, (last - onset) * 10);
    else
        std::printf("-inf -inf -inf 0 0 0\n");
    return 0;
}
