#pragma once

#include "platform/sound.h"

#include <QByteArray>
#include <SDL.h>

namespace quillo {

// Sound on SDL2 audio. The device is opened once (22050 Hz mono S16, small
// buffer; SDL converts to what the hardware takes) and kept for the run.
// While a sound plays, the calling thread waits in a local event loop that
// leaves user input queued, so the window keeps painting and keys keep order.
class SdlSound final : public Sound {
public:
    SdlSound();
    ~SdlSound() override;
    SdlSound(const SdlSound&) = delete;
    SdlSound& operator=(const SdlSound&) = delete;

    // Opens the device if it is not open yet. Safe to call more than once.
    bool open();
    bool play(const QString& path) override;
    void playDefault() override;
    bool hasDevice() const { return device_ != 0; }

    static constexpr int kRate = 22050;
    static constexpr int kBufferFrames = 512;

private:
    bool queueAndWait(const Uint8* pcm, Uint32 bytes);
    bool playBuffer(const QByteArray& pcm);
    QByteArray loadConverted(SDL_RWops* rw) const;

    SDL_AudioDeviceID device_ = 0;
    bool triedOpen_ = false;
    bool playing_ = false;
    QByteArray chime_;
};

}  // namespace quillo
