#include "recording.h"

#include <QDeadlineTimer>
#include <QThread>

namespace quillo::parole {

namespace {

constexpr int kCollectMs = 100;

}  // namespace

QString microphoneProblem(const QString& why)
{
    return QStringLiteral("Il microfono non funziona (%1). Puoi aggiungere lo stesso la foto, e registrare la "
                          "voce più tardi.")
        .arg(why);
}

Recorder::Recorder(QObject* parent) : QObject(parent)
{
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

bool recordFor(double seconds, Recording* recording, QString* error, const std::function<void()>& started)
{
    SdlCapture capture;
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
