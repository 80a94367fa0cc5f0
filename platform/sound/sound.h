#pragma once

#include <QString>

namespace quillo {

// Synchronous WAV playback. play() returns once the sound has ended. A file
// that cannot be played makes the default sound heard instead and gives false.
class Sound {
public:
    virtual ~Sound() = default;
    virtual bool play(const QString& path) = 0;
    // The sound heard when a file cannot be played.
    virtual void playDefault() = 0;
};

}  // namespace quillo
