#include "platform/sdl_sound.h"
#include "platform/file_name.h"
#include "platform/log.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <cstring>

static void initPlatformResources()
{
    Q_INIT_RESOURCE(platform);
}

namespace quillo {

namespace {

constexpr int kBytesPerFrame = 2;               // mono, 16-bit
constexpr int kStallMarginMs = 750;             // beyond the sound's own length
constexpr int kPollMs = 2;
// About ten minutes of CD-quality sound: anything larger is not a recording for a key.
constexpr qint64 kLargestRecordingBytes = 100LL * 1024 * 1024;

QByteArray readResource(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void warnOnce(bool& said, const char* what)
{
    if (!said) {
        qCWarning(lcQuillo, "%s: %s", what, SDL_GetError());
        said = true;
    }
}

}  // namespace

SdlSound::SdlSound()
{
    initPlatformResources();
    const QByteArray wav = readResource(QStringLiteral(":/quillo/chime.wav"));
    if (!wav.isEmpty())
        chime_ = loadConverted(SDL_RWFromConstMem(wav.constData(), int(wav.size())));
}

SdlSound::~SdlSound()
{
    if (device_ != 0)
        SDL_CloseAudioDevice(device_);
    if (triedOpen_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlSound::open()
{
    if (triedOpen_)
        return device_ != 0;
    triedOpen_ = true;
    static bool said = false;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        warnOnce(said, "no sound (audio could not start)");
        return false;
    }
    SDL_AudioSpec want{};
    want.freq = kRate;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = kBufferFrames;
    SDL_AudioSpec have{};
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0) {
        warnOnce(said, "no sound (no audio device)");
        return false;
    }
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

QByteArray SdlSound::loadConverted(SDL_RWops* rw) const
{
    if (rw == nullptr)
        return {};
    SDL_AudioSpec spec{};
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV_RW(rw, 1, &spec, &data, &length) == nullptr)
        return {};
    QByteArray pcm;
    SDL_AudioCVT cvt{};
    const int needed = SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, 1, kRate);
    if (needed == 0) {
        pcm = QByteArray(reinterpret_cast<const char*>(data), int(length));
    } else if (needed > 0 && length > 0) {
        QByteArray work(qsizetype(length) * cvt.len_mult, Qt::Uninitialized);
        std::memcpy(work.data(), data, length);
        cvt.buf = reinterpret_cast<Uint8*>(work.data());
        cvt.len = int(length);
        if (SDL_ConvertAudio(&cvt) == 0) {
            work.truncate(cvt.len_cvt);
            pcm = work;
        }
    }
    SDL_FreeWAV(data);
    pcm.truncate(pcm.size() - pcm.size() % kBytesPerFrame);
    if (pcm.isEmpty())
        pcm = QByteArray(kBytesPerFrame, '\0');  // a valid but empty recording: a moment of silence
    return pcm;
}

bool SdlSound::play(const QString& path)
{
    if (playing_)
        return false;  // entered again from a timer while a sound plays: skip it
    if (!open())
        return false;
    if (QFileInfo(path).size() > kLargestRecordingBytes) {
        qCWarning(lcQuillo, "%s is too large to play", qPrintable(path));
        playDefault();
        return false;
    }
    const QByteArray file = encodeFileName(path);
    const QByteArray pcm = loadConverted(SDL_RWFromFile(file.constData(), "rb"));
    if (pcm.isEmpty()) {
        playDefault();
        return false;
    }
    return playBuffer(pcm);
}

void SdlSound::playDefault()
{
    if (!playing_ && open() && !chime_.isEmpty())
        playBuffer(chime_);
}

bool SdlSound::playBuffer(const QByteArray& pcm)
{
    playing_ = true;
    const bool ok = queueAndWait(reinterpret_cast<const Uint8*>(pcm.constData()), Uint32(pcm.size()));
    playing_ = false;
    return ok;
}

bool SdlSound::queueAndWait(const Uint8* pcm, Uint32 bytes)
{
    if (SDL_QueueAudio(device_, pcm, bytes) != 0)
        return false;
    const qint64 lengthMs = qint64(bytes) / kBytesPerFrame * 1000 / kRate;
    // The last buffer the device pulled still has to be heard.
    const int tailMs = kBufferFrames * 1000 / kRate + 1;
    QDeadlineTimer deadline(lengthMs + tailMs + kStallMarginMs);

    auto drained = [this] { return SDL_GetQueuedAudioSize(device_) == 0; };
    if (QCoreApplication::instance() == nullptr) {
        while (!drained() && !deadline.hasExpired())
            SDL_Delay(kPollMs);
    } else {
        QEventLoop loop;
        QTimer poll;
        poll.setTimerType(Qt::PreciseTimer);
        poll.callOnTimeout([&] {
            if (drained() || deadline.hasExpired())
                loop.quit();
        });
        poll.start(kPollMs);
        if (!drained())
            loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!drained()) {
        qCWarning(lcQuillo, "the audio device stopped taking sound; skipping the rest");
        SDL_ClearQueuedAudio(device_);
        return false;
    }
    SDL_Delay(Uint32(tailMs));
    return true;
}

}  // namespace quillo
