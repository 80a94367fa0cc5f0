#include "platform/sound/wav_decoder.h"

#include "platform/base/log.h"
#include "platform/files/file_name.h"
#include "platform/files/regular_file.h"
#include "platform/sound/wav_file_reader.h"
#include "platform/sound/wav_header.h"

#include <QFileInfo>

#include <SDL.h>

#include <memory>
#include <new>

namespace quillo {

namespace {

// A warning in the program's language, with the file's name as its bytes
// (%1) and one more part (%2).
QByteArray warningOf(const char* english, const QByteArray& name, const QByteArray& part = {})
{
    const QByteArray text = logText(english).toUtf8();
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {  // one pass: a name holding "%2" stays as it is
        if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == '1' || text[i + 1] == '2')) {
            out += text[++i] == '1' ? name : part;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Moves what the stream has converted onto the end of `pcm`.
bool drain(SDL_AudioStream* stream, QByteArray& pcm)
{
    for (int available = SDL_AudioStreamAvailable(stream); available > 0;
         available = SDL_AudioStreamAvailable(stream)) {
        const qsizetype old = pcm.size();
        pcm.resize(old + available);
        const int got = SDL_AudioStreamGet(stream, pcm.data() + old, available);
        pcm.resize(old + qMax(got, 0));
        if (got <= 0)
            return got == 0;
    }
    return true;
}

int bytesPerFrame(const SDL_AudioSpec& spec)
{
    return int(SDL_AUDIO_BITSIZE(spec.format) / 8) * spec.channels;
}

// Decodes what `rw` reads (and closes it) and converts it to `to`.
DecodedWav convert(SDL_RWops* rw, const PcmFormat& to, bool onlyCheck)
{
    DecodedWav out;
    if (rw == nullptr) {
        out.refusal = WavRefusal::NoMemory;
        return out;
    }
    SDL_AudioSpec source{};
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV_RW(rw, 1, &source, &data, &length) == nullptr) {
        out.refusal = WavRefusal::NotAWav;
        out.detail = QString::fromUtf8(SDL_GetError());
        return out;
    }
    const std::unique_ptr<Uint8, void (*)(Uint8*)> owned(data, &SDL_FreeWAV);
    const int sourceFrame = bytesPerFrame(source);
    const int frame = to.bytesPerFrame();
    if (sourceFrame <= 0 || !to.isValid()) {
        out.refusal = WavRefusal::NotConverted;
        return out;
    }
    length -= length % Uint32(sourceFrame);
    QByteArray& pcm = out.pcm;
    const bool same = source.format == to.sampleFormat && source.channels == to.channels && source.freq == to.rate;
    if (onlyCheck) {
        SDL_AudioStream* stream = same ? nullptr
                                       : SDL_NewAudioStream(source.format, source.channels, source.freq,
                                                            to.sampleFormat, Uint8(to.channels), to.rate);
        if (!same && stream == nullptr) {
            out.refusal = WavRefusal::NotConverted;
            out.detail = QString::fromUtf8(SDL_GetError());
        }
        SDL_FreeAudioStream(stream);
        return out;
    }
    if (same) {
        pcm = QByteArray(reinterpret_cast<const char*>(data), qsizetype(length));
    } else {
        const std::unique_ptr<SDL_AudioStream, void (*)(SDL_AudioStream*)> stream(
            SDL_NewAudioStream(source.format, source.channels, source.freq, to.sampleFormat, Uint8(to.channels), to.rate),
            &SDL_FreeAudioStream);
        const auto failed = [&out] {
            out.pcm.clear();
            out.refusal = WavRefusal::NotConverted;
            out.detail = QString::fromUtf8(SDL_GetError());
            return out;
        };
        if (!stream)
            return failed();
        const qsizetype wanted = qsizetype(qint64(length / Uint32(sourceFrame)) * to.rate / source.freq) * frame;
        pcm.reserve(wanted + 64 * 1024);
        const Uint32 piece = Uint32(64 * 1024 / sourceFrame * sourceFrame);
        for (Uint32 at = 0; at < length; at += piece) {
            if (SDL_AudioStreamPut(stream.get(), data + at, int(qMin(piece, length - at))) != 0 ||
                !drain(stream.get(), pcm))
                return failed();
        }
        // SDL 2.26's stream keeps the last few hundred frames back when it
        // resamples, even on a flush: feed it silence until the whole sound
        // is out, then cut the silence off.
        const QByteArray silence(piece, char(source.format == AUDIO_U8 ? 0x80 : 0));
        for (int more = 0; pcm.size() < wanted && more < 64; ++more) {
            if (SDL_AudioStreamPut(stream.get(), silence.constData(), int(silence.size())) != 0 ||
                !drain(stream.get(), pcm))
                return failed();
        }
        if (SDL_AudioStreamFlush(stream.get()) != 0 || !drain(stream.get(), pcm))
            return failed();
        pcm.truncate(qMin(pcm.size() - pcm.size() % frame, wanted));
    }
    if (pcm.isEmpty())
        pcm = QByteArray(frame, to.silence());  // a valid but empty recording: a moment of silence
    return out;
}

DecodedWav decodeOpenFile(QFile& file, const QByteArray& name, const PcmFormat& to, bool onlyCheck)
{
    DecodedWav out;
    if (file.size() > kLargestWavFileBytes) {
        out.refusal = WavRefusal::FileTooLarge;
        out.bytes = double(file.size());
        out.warning = warningOf("%1 is too large to play", name);
        return out;
    }
    const WavLayout layout = readWavLayout(file);
    if (!layout.valid) {
        out.refusal = WavRefusal::NotAWav;
        out.detail = QStringLiteral("no WAV header of a known format");
        return out;
    }
    const WavCost cost = wavCost(layout, to.rate, to.channels, to.bytesPerSample());
    out.seconds = cost.seconds;
    out.bytes = cost.bytes;
    if (cost.seconds > kLongestRecordingSeconds) {
        out.refusal = WavRefusal::TooLong;
        out.warning = warningOf("%1 would play for %2 minutes: too long to play", name,
                                QByteArray::number(cost.seconds / 60, 'f', 0));
        return out;
    }
    if (cost.bytes > double(kMostDecodingBytes)) {
        out.refusal = WavRefusal::TooLarge;
        out.warning = warningOf("%1 would take %2 MB to play: too large to play", name,
                                QByteArray::number(cost.bytes / (1024 * 1024), 'f', 0));
        return out;
    }
    if (!file.seek(0)) {
        out.refusal = WavRefusal::NotOpened;
        out.detail = file.errorString();
        return out;
    }
    DecodedWav decoded = convert(wavFileReader(file, layout.dataLengthAt, quint32(layout.dataBytes)), to, onlyCheck);
    decoded.seconds = cost.seconds;
    decoded.bytes = cost.bytes;
    if (decoded.refusal == WavRefusal::NotConverted)
        decoded.warning = warningOf("cannot convert %1: %2", name, decoded.detail.toUtf8());
    return decoded;
}

}  // namespace

char PcmFormat::silence() const
{
    return char(sampleFormat == AUDIO_U8 ? 0x80 : 0);
}

PcmFormat PcmFormat::commonServer()
{
    return {AUDIO_F32SYS, 48000, 2};
}

DecodedWav decodeWavFile(const QString& path, const PcmFormat& to, bool onlyCheck)
{
    const QByteArray name = encodeFileName(path);
    try {
        QString why;
        const std::unique_ptr<QFile> file = openRegularFile(name, &why);
        if (!file) {
            DecodedWav out;
            const QFileInfo info(path);
            out.refusal = info.exists() && !info.isDir() ? WavRefusal::NotOpened : WavRefusal::Missing;
            out.detail = why;
            if (out.refusal == WavRefusal::NotOpened)
                out.warning = warningOf("cannot play %1: %2", name, why.toUtf8());
            return out;
        }
        return decodeOpenFile(*file, name, to, onlyCheck);
    } catch (const std::bad_alloc&) {
        DecodedWav out;
        out.refusal = WavRefusal::NoMemory;
        out.detail = QStringLiteral("not enough memory");
        out.warning = warningOf("not enough memory to play %1", path.toLocal8Bit());
        return out;
    }
}

QByteArray decodeWav(QByteArrayView wav, const PcmFormat& to)
{
    try {
        return convert(SDL_RWFromConstMem(wav.data(), int(wav.size())), to, false).pcm;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

}  // namespace quillo
