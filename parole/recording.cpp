#include "recording.h"

#include "quiet_alsa.h"

#include "platform/sound/sound_server.h"

#include <QDeadlineTimer>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quillo::parole {

namespace {

constexpr int kCollectMs = 100;

}  // namespace

QString microphoneProblem(const QString& why)
{
    std::fprintf(stderr, "quillo-parole: microfono: %s\n", why.toUtf8().constData());
    return QStringLiteral("Il microfono non registra: controlla che sia collegato e che non lo usi un altro "
                          "programma. Puoi aggiungere lo stesso la foto, e registrare la voce più tardi.");
}

QString noMicrophone()
{
    return QStringLiteral("Non trovo nessun microfono: puoi aggiungere le foto, e registrare la tua voce quando ne "
                          "colleghi uno.");
}

QString noSpeakers()
{
    return QStringLiteral("Non trovo nessun altoparlante: puoi aggiungere le foto, e registrare e ascoltare le voci "
                          "quando ne colleghi uno.");
}

QString noMicrophoneSeen()
{
    if (!sdlMayUsePulseAudio())
        return noMicrophone();
    const SoundServerState server = askSoundServer(std::chrono::milliseconds(500));
    return server.microphoneWithoutSpeakers() ? noSpeakers() : noMicrophone();
}

Recorder::Recorder(QObject* parent) : QObject(parent)
{
    quietAlsa();
    collect_.setInterval(kCollectMs);
    connect(&collect_, &QTimer::timeout, this, [this] {
        capture_.take();
        if (++ticks_ * kCollectMs >= kLongestSeconds * 1000) {
            collect_.stop();
            capture_.stop();
            emit stoppedByItself();
        }
    });
}

bool Recorder::start(QString* error)
{
    if (!microphoneFound()) {
        if (error)
            *error = noMicrophoneSeen();
        return false;
    }
    QString why;
    if (!capture_.start(&why)) {
        if (error)
            *error = microphoneProblem(why);
        return false;
    }
    ticks_ = 0;
    collect_.start();
    return true;
}

Recording Recorder::stop()
{
    collect_.stop();
    capture_.stop();
    return {capture_.samples(), capture_.rate()};
}

double Recorder::recentPeak() const
{
    const std::vector<float>& samples = capture_.samples();
    const size_t recent = size_t(capture_.rate()) * kCollectMs / 1000;
    float peak = 0;
    for (size_t i = samples.size() > recent ? samples.size() - recent : 0; i < samples.size(); ++i)
        peak = std::max(peak, std::fabs(samples[i]));
    return peak > 0 ? 20 * std::log10(double(peak)) : -100;
}

double Recorder::seconds() const
{
    return capture_.rate() > 0 ? double(capture_.samples().size()) / capture_.rate() : 0;
}

bool recordFor(double seconds, Recording* recording, QString* error, const std::function<void()>& started)
{
    quietAlsa();
    SdlCapture capture;
    if (capture.deviceCount() <= 0) {
        if (error)
            *error = noMicrophoneSeen();
        return false;
    }
    QString why;
    if (!capture.start(&why)) {
        if (error)
            *error = microphoneProblem(why);
        return false;
    }
    if (started)
        started();
    for (QDeadlineTimer until(qint64(seconds * 1000)); !until.hasExpired();) {
        QThread::msleep(quint64(qMin<qint64>(kCollectMs, qMax<qint64>(1, until.remainingTime()))));
        capture.take();
    }
    capture.stop();
    *recording = {capture.samples(), capture.rate()};
    return true;
}

}  // namespace quillo::parole
