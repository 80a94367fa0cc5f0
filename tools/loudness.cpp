// Loudness meter of the media build: reads one mono recording as raw 32-bit
// float samples on standard input and prints its EBU R128 loudness in LUFS
// and its peak in dBFS, "-16.20 -3.51", or "-inf -inf" for silence.
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

    if (std::isfinite(loudness) && peak > 0)
        std::printf("%.2f %.2f\n", loudness, 20 * std::log10(peak));
    else
        std::printf("-inf -inf\n");
    return 0;
}
