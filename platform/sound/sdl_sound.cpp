#include "platform/sound/sdl_sound.h"

#include "platform/base/log.h"

#include <QCoreApplication>
#include <QFile>

#include <utility>

static void initPlatformResources()
{
    Q_INIT_RESOURCE(platform);
}

namespace quillo {

namespace {

const char* const kWentAway = "the audio device went away";
// How often a sound kept for later looks whether the device has opened.
constexpr int kLookMs = 10;

}  // namespace

void SdlSound::prepareProcess()
{
    if (!qEnvironmentVariableIsSet("PULSE_LATENCY_MSEC"))
        qputenv("PULSE_LATENCY_MSEC", QByteArray::number(kServerBufferMs));
}

SdlSound::SdlSound(SdlDevice::CloseDevice closeDevice, AskServer askServer)
    : device_((prepareProcess(), closeDevice), askServer)
{
    laterCheck_.setInterval(kLookMs);
    laterCheck_.callOnTimeout([this] { lookForDevice(); });
    initPlatformResources();
    QFile chime(QStringLiteral(":/quillo/chime.wav"));
    if (chime.open(QIODevice::ReadOnly))
        chimeWav_ = chime.readAll();
}

bool SdlSound::play(const QString& path)
{
    if (playing_)
        return false;  // entered again from a timer while a sound plays: skip it
    if (!device_.open()) {
        playWhenOpen(path);
        return false;
    }
    later_.clear();  // a newer sound is heard now
    const DecodedWav wav = decodeWavFile(path, device_.format());
    if (!wav.warning.isEmpty())
        qCWarning(lcQuillo, "%s", wav.warning.constData());
    if (wav.pcm.isEmpty()) {
        playDefault();
        return false;
    }
    return playBuffer(wav.pcm);
}

void SdlSound::playWhenOpen(const QString& path)
{
    if (!device_.opening() || QCoreApplication::instance() == nullptr)
        return;
    later_ = path;
    laterSince_.start();
    laterCheck_.start();
}

// While a sound waits for the device: plays it once the device is open, drops
// it once the opening has failed. Runs only while a sound waits, so an idle
// program wakes no one.
void SdlSound::lookForDevice()
{
    if (playing_)
        return;
    const bool open = device_.look();
    if (!open && device_.opening() && !laterSince_.hasExpired(kLongestLaterMs))
        return;
    laterCheck_.stop();
    const QString path = std::exchange(later_, QString());
    if (open && !path.isEmpty())
        play(path);
}

void SdlSound::playDefault()
{
    if (playing_ || !device_.open())
        return;
    if (!(chimeFormat_ == device_.format())) {
        chime_ = decodeWav(chimeWav_, device_.format());
        chimeFormat_ = device_.format();
    }
    if (!chime_.isEmpty())
        playBuffer(chime_);
}

bool SdlSound::playBuffer(const QByteArray& pcm)
{
    using Outcome = SdlDevice::Outcome;
    playing_ = true;
    Outcome outcome = device_.play(pcm);
    if (outcome == Outcome::Lost) {
        // The server may have come back already (a restart): one fresh try.
        const PcmFormat was = device_.format();
        device_.lose(kWentAway);
        outcome = device_.open() && device_.format() == was ? device_.play(pcm) : Outcome::Failed;
    }
    // A device that stopped taking sound belongs to a server that hangs: no
    // fresh try now, which would only wait on it again.
    if (outcome == Outcome::Lost || outcome == Outcome::Stalled)
        device_.lose(outcome == Outcome::Lost ? kWentAway : "the audio device stopped taking sound");
    playing_ = false;
    played_ += outcome == Outcome::Played ? 1 : 0;
    return outcome == Outcome::Played;
}

}  // namespace quillo
