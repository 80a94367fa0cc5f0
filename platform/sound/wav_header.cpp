#include "platform/sound/wav_header.h"

#include <QIODevice>
#include <QtEndian>

#include <cstring>

namespace quillo {

namespace {

constexpr quint16 kPcm = 0x0001;
constexpr quint16 kMsAdpcm = 0x0002;
constexpr quint16 kFloat = 0x0003;
constexpr quint16 kALaw = 0x0006;
constexpr quint16 kMuLaw = 0x0007;
constexpr quint16 kImaAdpcm = 0x0011;
constexpr quint16 kExtensible = 0xFFFE;
// A hostile file may hold millions of tiny chunks before its data.
constexpr int kMostChunks = 10000;
constexpr qint64 kLongestFormat = 1024;

bool readExactly(QIODevice& file, char* to, qint64 size)
{
    return file.read(to, size) == size;
}

// Bytes a decoded sample takes in the audio library: 8-bit stays 8-bit, 24-bit
// widens to 32, the companded and ADPCM formats decode to 16.
int decodedSampleBytes(quint16 tag, quint16 bits)
{
    if (tag == kALaw || tag == kMuLaw || tag == kMsAdpcm || tag == kImaAdpcm)
        return 2;
    return bits <= 8 ? 1 : bits <= 16 ? 2 : 4;
}

}  // namespace

WavLayout readWavLayout(QIODevice& file)
{
    WavLayout layout;
    char riff[12];
    if (!file.seek(0) || !readExactly(file, riff, 12) || std::memcmp(riff, "RIFF", 4) != 0 ||
        std::memcmp(riff + 8, "WAVE", 4) != 0)
        return {};
    const qint64 fileSize = file.size();
    bool haveFormat = false;
    quint16 blockAlign = 0;
    qint64 at = 12;
    for (int chunk = 0; chunk < kMostChunks && at + 8 <= fileSize; ++chunk) {
        char header[8];
        if (!file.seek(at) || !readExactly(file, header, 8))
            return {};
        const qint64 size = qFromLittleEndian<quint32>(header + 4);
        // The audio library takes the first format chunk and ignores the rest.
        if (std::memcmp(header, "fmt ", 4) == 0 && !haveFormat) {
            char body[26] = {};
            // The audio library reads a format chunk whole: a real one is
            // tens of bytes, not gigabytes.
            if (size < 16 || size > kLongestFormat || !readExactly(file, body, qMin<qint64>(size, 26)))
                return {};
            layout.formatTag = qFromLittleEndian<quint16>(body);
            layout.channels = qFromLittleEndian<quint16>(body + 2);
            layout.rate = qFromLittleEndian<quint32>(body + 4);
            blockAlign = qFromLittleEndian<quint16>(body + 12);
            layout.bitsPerSample = qFromLittleEndian<quint16>(body + 14);
            if (layout.formatTag == kExtensible) {
                if (size < 26)
                    return {};
                layout.formatTag = qFromLittleEndian<quint16>(body + 24);  // the sub-format's first field
            }
            haveFormat = true;
        } else if (std::memcmp(header, "data", 4) == 0) {
            if (!haveFormat)
                return {};
            layout.dataBytes = qMax<qint64>(0, qMin(size, fileSize - at - 8));
            layout.dataLengthAt = at + 4;
            break;
        }
        at += 8 + size + (size & 1);
    }
    if (!haveFormat || layout.channels == 0 || layout.rate == 0)
        return {};
    const qint64 bytes = layout.dataBytes;
    switch (layout.formatTag) {
    case kPcm:
    case kFloat:
    case kALaw:
    case kMuLaw: {
        // The audio library counts frames by the block size the header
        // gives, even when that is smaller than a frame's samples.
        qint64 frameBytes = qint64(layout.channels) * qMax(1, (layout.bitsPerSample + 7) / 8);
        if (blockAlign > 0)
            frameBytes = qMin<qint64>(frameBytes, blockAlign);
        layout.framesAtMost = bytes / frameBytes;
        break;
    }
    case kMsAdpcm:
    case kImaAdpcm:
        // Four bits a sample at best: a block's header holds fewer samples
        // than its bytes would as nibbles.
        layout.framesAtMost = bytes * 2 / layout.channels + 2;
        break;
    default:
        return {};
    }
    layout.valid = true;
    return layout;
}

WavCost wavCost(const WavLayout& layout, int deviceRate, int deviceChannels, int deviceBytesPerSample)
{
    if (!layout.valid)
        return {};
    WavCost cost;
    const double frames = double(layout.framesAtMost);
    cost.seconds = frames / layout.rate;
    const double decoded = frames * layout.channels * decodedSampleBytes(layout.formatTag, layout.bitsPerSample);
    const double converted = cost.seconds * deviceRate * deviceChannels * deviceBytesPerSample;
    cost.bytes = decoded + converted;
    return cost;
}

}  // namespace quillo
