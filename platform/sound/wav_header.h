#pragma once

#include <QtGlobal>

class QIODevice;

namespace quillo {

// What a WAV file's header says about its sound, read before anything is
// decoded, so that a file that would take too long or too much memory to play
// can be refused before a single large buffer is asked for.
struct WavLayout {
    bool valid = false;
    quint16 formatTag = 0;
    quint16 channels = 0;
    quint16 bitsPerSample = 0;
    quint32 rate = 0;
    qint64 dataBytes = 0;    // of the sound data, as far as the file holds them
    // Where the data chunk's length is written. The audio library sets aside
    // as much as that length says, so it must be handed dataBytes instead.
    qint64 dataLengthAt = -1;
    qint64 framesAtMost = 0;  // never fewer than the file decodes to
};

// Reads the RIFF header, the "fmt " chunk and the position of the "data"
// chunk. Invalid for anything that is not a WAV the audio library decodes.
WavLayout readWavLayout(QIODevice& file);

// The cost of playing a sound of this layout on a device of the given format.
struct WavCost {
    double seconds = 0;
    // The decoded sound plus the same converted to the device's format: what
    // loading holds at once.
    double bytes = 0;
};
WavCost wavCost(const WavLayout& layout, int deviceRate, int deviceChannels, int deviceBytesPerSample);

}  // namespace quillo
