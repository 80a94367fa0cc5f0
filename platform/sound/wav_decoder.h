#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace quillo {

// The format a sound device plays at. Samples are coded as the audio library
// codes them (its AUDIO_S16SYS, AUDIO_F32SYS ... values), so a device's own
// format can be handed on as it is.
struct PcmFormat {
    quint16 sampleFormat = 0;
    int rate = 0;
    int channels = 0;

    int bytesPerSample() const { return (sampleFormat & 0xFF) / 8; }
    int bytesPerFrame() const { return bytesPerSample() * channels; }
    bool isValid() const { return bytesPerFrame() > 0 && rate > 0; }
    // The byte that is silence: 0x80 for unsigned 8-bit samples, else 0.
    char silence() const;
    bool operator==(const PcmFormat&) const = default;

    // 48 kHz stereo in 32-bit float: the format a desktop's sound server
    // runs at most often, and the costliest one a recording is converted to.
    static PcmFormat commonServer();
};

// Beyond these a recording is refused, so that no file in a media folder can
// take minutes to load or more memory than a small machine has to spare.
inline constexpr int kLongestRecordingSeconds = 10 * 60;
// The decoded sound and its conversion to the device's format together.
inline constexpr qint64 kMostDecodingBytes = 64LL * 1024 * 1024;
// About ten minutes of CD-quality sound: a larger file is not a recording for a key.
inline constexpr qint64 kLargestWavFileBytes = 100LL * 1024 * 1024;

// Why a recording was not decoded.
enum class WavRefusal {
    None,
    Missing,       // no such file (a folder counts as none)
    NotOpened,     // not a regular file, or not readable
    FileTooLarge,  // more than kLargestWavFileBytes on disk
    TooLong,       // its header says it plays for more than kLongestRecordingSeconds
    TooLarge,      // its header says it takes more than kMostDecodingBytes
    NotAWav,       // not a WAV file the audio library decodes
    NoMemory,      // memory ran out on the way
    NotConverted,  // the audio library could not convert it
};

struct DecodedWav {
    QByteArray pcm;  // at the format asked for; empty when refused (or only checked)
    WavRefusal refusal = WavRefusal::None;
    QString detail;       // in English: the reason, as the libraries give it
    double seconds = 0;   // what the header promises (also when refused for it)
    double bytes = 0;
    // The line a player says on stderr about the refusal; empty when there is
    // nothing to say (a missing file, or one that is not a WAV at all).
    QByteArray warning;
};

// Reads a WAV file (a name as decodeFileName gives it) and converts its sound
// to `to`, with the limits above. Only a regular file is opened, so a FIFO
// never blocks. A data chunk whose length says more than the file holds is
// read as what the file holds. A valid recording without a single frame
// decodes to one frame of silence.
// With `onlyCheck`, everything is done but the conversion itself, which
// cannot fail once it can start: the verdict without the sound (pcm empty).
DecodedWav decodeWavFile(const QString& path, const PcmFormat& to, bool onlyCheck = false);

// The same for a recording held in memory, without the limits (the built-in
// chime). Empty when it does not decode.
QByteArray decodeWav(QByteArrayView wav, const PcmFormat& to);

}  // namespace quillo
