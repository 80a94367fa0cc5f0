#include "wav_file.h"

#include "platform/files/regular_file.h"
#include "platform/sound/sdl_sound.h"
#include "platform/sound/wav_header.h"

#include <QtEndian>

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <memory>

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
    auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, why);
        return false;
    };
    QString why;
    const std::unique_ptr<QFile> file = openRegularFile(path, &why);
    if (!file)
        return fail(QStringLiteral("non riesco ad aprirlo (%1)").arg(why));
    const WavLayout layout = readWavLayout(*file);
    if (!layout.valid)
        return fail(QStringLiteral("non è un file WAV che Quillo sappia suonare"));
    // Measured as Quillo measures it on a 48 kHz mono float device.
    const WavCost cost = wavCost(layout, SdlCapture::kRate, 1, 4);
    if (cost.seconds > SdlSound::kLongestRecordingSeconds || cost.bytes > double(SdlSound::kMostLoadingBytes)
        || file->size() > SdlSound::kMostLoadingBytes)
        return fail(QStringLiteral("è troppo lungo: Quillo non suona registrazioni così grandi"));
    if (!file->seek(0))
        return fail(file->errorString());
    QByteArray bytes = file->readAll();
    // The audio library sets aside as much as the data chunk's length says:
    // it is told what the file really holds.
    if (layout.dataLengthAt >= 0 && layout.dataLengthAt + 4 <= bytes.size())
        qToLittleEndian(quint32(layout.dataBytes), bytes.data() + layout.dataLengthAt);

    SDL_AudioSpec spec{};
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV_RW(SDL_RWFromConstMem(bytes.constData(), int(bytes.size())), 1, &spec, &data, &length) == nullptr)
        return fail(QStringLiteral("non si carica (%1)").arg(QString::fromUtf8(SDL_GetError())));
    const std::unique_ptr<Uint8, void (*)(Uint8*)> owned(data, &SDL_FreeWAV);
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_F32SYS, 1, spec.freq) < 0)
        return fail(QStringLiteral("non si converte (%1)").arg(QString::fromUtf8(SDL_GetError())));
    const int frame = int(SDL_AUDIO_BITSIZE(spec.format) / 8) * spec.channels;
    length -= length % Uint32(frame);
    std::vector<Uint8> buffer(size_t(length) * size_t(qMax(1, cvt.len_mult)) + 16);
    std::copy(data, data + length, buffer.begin());
    cvt.buf = buffer.data();
    cvt.len = int(length);
    if (cvt.needed && SDL_ConvertAudio(&cvt) != 0)
        return fail(QStringLiteral("non si converte (%1)").arg(QString::fromUtf8(SDL_GetError())));
    const int converted = cvt.needed ? cvt.len_cvt : int(length);
    const float* samples = reinterpret_cast<const float*>(buffer.data());
    recording->samples.assign(samples, samples + converted / int(sizeof(float)));
    recording->rate = spec.freq;
    return true;
}

}  // namespace quillo::parole
