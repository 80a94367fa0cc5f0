#include "platform/sound/sdl_sound.h"

#include "platform/base/log.h"

#include <QFile>

static void initPlatformResources()
{
    Q_INIT_RESOURCE(platform);
}

namespace quillo {

namespace {

const char* const kWentAway = "the audio device went away";

}  // namespace

void SdlSound::prepareProcess()
{
    if (!qEnvironmentVariableIsSet("PULSE_LATENCY_MSEC"))
        qputenv("PULSE_LATENCY_MSEC", QByteArray::number(kServerBufferMs));
}

SdlSound::SdlSound(SdlDevice::CloseDevice closeDevice) : device_((prepareProcess(), closeDevice))
{
    initPlatformResources();
    QFile chime(QStringLiteral(":/quillo/chime.wav"));
    if (chime.open(QIODevice::ReadOnly))
        chimeWav_ = chime.readAll();
}

bool SdlSound::play(const QString& path)
{
    if (playing_)
        return false;  // entered again from a timer while a sound plays: skip it
    if (!device_.open())
        return false;
    const DecodedWav wav = decodeWavFile(path, device_.format());
    if (!wav.warning.isEmpty())
        qCWarning(lcQuillo, "%s", wav.warning.constData());
    if (wav.pcm.isEmpty()) {
        playDefault();
        return false;
    }
    return playBuffer(wav.pcm);
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
    return outcome == Outcome::Played;
}

}  // namespace quillo
