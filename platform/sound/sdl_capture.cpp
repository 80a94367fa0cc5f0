#include "platform/sound/sdl_capture.h"

#include "platform/sound/sound_server.h"

#include "platform/base/log.h"

#include <SDL.h>

namespace quillo {

namespace {

// Starts SDL's audio once the sound server allows it; false, with the
// reason, when it does not or the start fails.
bool startAudio(QString* why)
{
    std::string refused;
    if (!audioMayStart(&refused)) {
        if (why)
            *why = QString::fromStdString(refused);
        return false;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        if (why)
            *why = logText("audio could not start: %1").arg(QString::fromUtf8(SDL_GetError()));
        return false;
    }
    return true;
}

}  // namespace

SdlCapture::SdlCapture()
{
    // The program reads no SDL events: SDL must leave SIGINT and SIGTERM alone.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Le parole di Quillo");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, "Registrazione");
    initialised_ = startAudio(nullptr);
}

SdlCapture::~SdlCapture()
{
    stop();
    if (initialised_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlCapture::start(QString* why)
{
    stop();
    samples_.clear();
    // Audio may have come back since (a sound server started late, a sink
    // plugged in).
    if (!initialised_ && !(initialised_ = startAudio(why)))
        return false;
    SDL_AudioSpec want{};
    want.freq = kRate;
    want.format = AUDIO_F32SYS;
    want.channels = 1;
    want.samples = 1024;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts whatever the microphone gives to this.
    device_ = SDL_OpenAudioDevice(nullptr, 1, &want, &have, 0);
    if (device_ == 0) {
        if (why)
            *why = logText("no capture device: %1").arg(QString::fromUtf8(SDL_GetError()));
        return false;
    }
    rate_ = have.freq;
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

bool SdlCapture::startAgain()
{
    if (!initialised_)
        initialised_ = startAudio(nullptr);
    return initialised_;
}

int SdlCapture::deviceCount() const
{
    return initialised_ ? qMax(0, SDL_GetNumAudioDevices(1)) : 0;
}

void SdlCapture::take()
{
    if (device_ == 0)
        return;
    float piece[4096];
    for (Uint32 got; (got = SDL_DequeueAudio(device_, piece, sizeof piece)) > 0;)
        samples_.insert(samples_.end(), piece, piece + got / sizeof(float));
}

void SdlCapture::stop()
{
    if (device_ == 0)
        return;
    SDL_PauseAudioDevice(device_, 1);
    take();
    SDL_CloseAudioDevice(device_);
    device_ = 0;
}

}  // namespace quillo
