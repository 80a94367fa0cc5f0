// Recordings from a folder filled by hand: whatever the bytes, what the header
// reading promises is never less than what the audio library then decodes,
// so the cost bound computed from it holds.
#include "platform/sound/wav_header.h"

#include <QBuffer>
#include <QtEndian>
#include <SDL.h>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const quillo::WavLayout layout = quillo::readWavLayout(buffer);
    const quillo::WavCost cost = quillo::wavCost(layout, 48000, 2, 4);
    if (!layout.valid || cost.bytes > 64.0 * 1024 * 1024)
        return 0;  // refused before decoding: nothing more to hold
    // The player hands the audio library the data length the file holds.
    if (layout.dataLengthAt >= 0)
        qToLittleEndian(quint32(layout.dataBytes), bytes.data() + layout.dataLengthAt);
    SDL_AudioSpec spec{};
    Uint8* decoded = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV_RW(SDL_RWFromConstMem(bytes.constData(), int(bytes.size())), 1, &spec, &decoded, &length) == nullptr)
        return 0;
    const int frameBytes = int(SDL_AUDIO_BITSIZE(spec.format) / 8) * spec.channels;
    const bool within = frameBytes > 0 && length / Uint32(frameBytes) <= Uint64(layout.framesAtMost) &&
                        spec.channels == layout.channels && spec.freq == int(layout.rate);
    SDL_FreeWAV(decoded);
    if (!within)
        std::abort();
    return 0;
}
