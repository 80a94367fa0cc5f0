#pragma once

#include <QString>

#include <vector>

namespace quillo {

// The default microphone through SDL2's capture device, over the sound
// server: mono float samples at the rate the device gives. The device is
// opened by start() and closed by stop(); between the two, take() moves what
// has been captured so far into the recording, and should be called often
// enough (every few hundred milliseconds) for SDL's queue not to grow large.
// It takes its own hold on SDL's audio system when it is made: make it
// before an SdlSound, so that the two never start the audio system at once.
class SdlCapture {
public:
    SdlCapture();
    ~SdlCapture();
    SdlCapture(const SdlCapture&) = delete;
    SdlCapture& operator=(const SdlCapture&) = delete;

    // Opens the default capture device and starts recording into a fresh
    // recording. False, with the reason (in English, from SDL) in *why, when
    // there is no microphone or the device fails.
    bool start(QString* why);
    void take();
    // Takes the rest and closes the device. The recording stays.
    void stop();
    bool running() const { return device_ != 0; }
    // How many capture devices the sound system knows; 0 without audio.
    int deviceCount() const;
    // Tries once more to start the audio library, if it could not start
    // before; true when it runs.
    bool startAgain();
    // Samples at rate(); empty before the first start.
    const std::vector<float>& samples() const { return samples_; }
    int rate() const { return rate_; }

    static constexpr int kRate = 48000;

private:
    bool initialised_ = false;
    quint32 device_ = 0;  // SDL's device id
    int rate_ = kRate;
    std::vector<float> samples_;
};

}  // namespace quillo
