#pragma once

#include <chrono>
#include <string>

namespace quillo {

// What the PulseAudio server (PipeWire's PulseAudio service included) that
// the audio library would use has to offer, asked of it directly.
struct SoundServerState {
    enum class Reach {
        NoServer,  // none to reach: the audio library tries its other drivers
        Silent,    // reached, but it did not answer in time (a server that hangs)
        Answered,
    };
    Reach reach = Reach::NoServer;
    bool output = false;  // it has a default sink: sound can be heard
    bool input = false;   // it has a source that is not a sink's monitor: a microphone
    bool defaultSource = false;  // it names a default source (a sink's monitor will do)

    bool answered() const { return reach == Reach::Answered; }
    // A microphone on a server without speakers, where SDL's audio cannot start.
    bool microphoneWithoutSpeakers() const { return answered() && input && !output; }
};

// Asks the server, waiting for it at most `wait`. Safe from any thread.
// Without `listSources`, `input` is left false and one round trip is saved.
SoundServerState askSoundServer(std::chrono::milliseconds wait = std::chrono::milliseconds(3000), bool listSources = true);

// Whether SDL would use a PulseAudio server: always, unless SDL_AUDIODRIVER
// names only other drivers.
bool sdlMayUsePulseAudio();

// Whether SDL's audio may be started now. SDL 2.26 crashes while its audio
// starts on a PulseAudio server without a sink, so the server is asked first
// whenever SDL would use it and its audio is not running yet. False, with the
// reason in *why, when the server has no sink or does not answer (then
// *silent is set).
bool audioMayStart(std::string* why, bool* silent = nullptr);

}  // namespace quillo
