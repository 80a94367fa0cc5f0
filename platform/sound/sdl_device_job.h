#pragma once

#include "platform/sound/wav_decoder.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

namespace quillo {

// One opening or closing of the SDL device, on a detached thread of its own.
// The thread and the device share the job, so a job the device no longer
// waits for ends on its own, whenever the audio library lets it.
struct DeviceJob {
    using Clock = std::chrono::steady_clock;

    bool opening = false;
    Clock::time_point started = Clock::now();
    // Set by the job's thread before it says it is done.
    quint32 device = 0;
    PcmFormat format;
    int periodFrames = 0;
    bool holdWhenIdle = true;
    std::string error;
    bool serverSilent = false;  // the sound server took the connection and said nothing
    std::atomic<bool> asking{false};  // still asking the sound server whether audio may start

    // False when the job is still running at `deadline`.
    bool waitUntil(Clock::time_point deadline);
    void finish();

private:
    std::mutex mutex_;
    std::condition_variable finished_;
    bool done_ = false;
};

// How the sound server is asked whether the audio library may start: why
// not, and whether it did not answer (audioMayStart, unless a test says otherwise).
using AskServer = bool (*)(std::string* why, bool* silent);

// Asks the sound server whether the audio library may start (`ask`),
// opens the default device at the format the server runs at, and waits (at
// most 3 s) until sound flows through it.
std::shared_ptr<DeviceJob> startOpeningJob(AskServer ask);
// Closes `device` through `closeDevice` and lets go of the audio library.
std::shared_ptr<DeviceJob> startClosingJob(quint32 device, void (*closeDevice)(quint32));

}  // namespace quillo
