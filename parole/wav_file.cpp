#include "wav_file.h"

#include "platform/sound/sdl_capture.h"
#include "platform/sound/wav_decoder.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace quillo::parole {

namespace {

void put16(QByteArray& to, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    to.append(bytes, 2);
}

void put32(QByteArray& to, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    to.append(bytes, 4);
}

}  // namespace

QByteArray encodeWav(const Recording& recording)
{
    const quint32 dataBytes = quint32(recording.samples.size() * 2);
    QByteArray wav;
    wav.reserve(44 + qsizetype(dataBytes));
    wav.append("RIFF", 4);
    put32(wav, 36 + dataBytes);
    wav.append("WAVEfmt ", 8);
    put32(wav, 16);
    put16(wav, 1);  // PCM
    put16(wav, 1);  // mono
    put32(wav, quint32(recording.rate));
    put32(wav, quint32(recording.rate) * 2);
    put16(wav, 2);
    put16(wav, 16);
    wav.append("data", 4);
    put32(wav, dataBytes);
    for (float s : recording.samples)
        put16(wav, quint16(qint16(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f))));
    return wav;
}

bool readWav(const QString& path, Recording* recording, QString* error)
{
    PcmFormat format = PcmFormat::commonServer();  // 32-bit float
    format.rate = SdlCapture::kRate;
    format.channels = 1;
    const DecodedWav wav = decodeWavFile(path, format);
    QString why;
    switch (wav.refusal) {
    case WavRefusal::None:
        break;
    case WavRefusal::Missing: why = QStringLiteral("il file non c'è"); break;
    case WavRefusal::NotOpened: why = QStringLiteral("non riesco ad aprirlo (%1)").arg(wav.detail); break;
    case WavRefusal::FileTooLarge:
    case WavRefusal::TooLong:
    case WavRefusal::TooLarge:
        why = QStringLiteral("è troppo grande: Quillo non suona registrazioni così lunghe (%1)").arg(wav.detail);
        break;
    case WavRefusal::NotAWav: why = QStringLiteral("non è un file WAV che Quillo sappia suonare"); break;
    case WavRefusal::NoMemory: why = QStringLiteral("manca la memoria per leggerlo"); break;
    case WavRefusal::NotConverted: why = QStringLiteral("non si converte (%1)").arg(wav.detail); break;
    }
    if (!why.isEmpty()) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, why);
        return false;
    }
    const float* samples = reinterpret_cast<const float*>(wav.pcm.constData());
    recording->samples.assign(samples, samples + wav.pcm.size() / qsizetype(sizeof(float)));
    recording->rate = format.rate;
    return true;
}

}  // namespace quillo::parole
