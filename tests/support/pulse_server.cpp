#include "support/pulse_server.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <signal.h>

namespace quillo::test {

PulseServer::PulseServer(int rate, bool withSink) : rate_(rate), withSink_(withSink)
{
    process_.setProcessChannelMode(QProcess::ForwardedOutputChannel);
}

PulseServer::~PulseServer()
{
    thaw();
    kill();
}

bool PulseServer::installed()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty();
}

void PulseServer::useInThisProcess() const
{
    qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(dir_.filePath(QStringLiteral("native"))));
    qputenv("PULSE_CLIENTCONFIG", QFile::encodeName(dir_.filePath(QStringLiteral("client.conf"))));
    qputenv("SDL_AUDIODRIVER", "pulseaudio");
}

bool PulseServer::start()
{
    if (running())
        return true;
    const QString socket = dir_.filePath(QStringLiteral("native"));
    QFile::remove(socket);
    process_.start(QStringLiteral("bash"), {QStringLiteral(QUILLO_TEST_SCRIPTS "/pulse-server.sh"), dir_.path(),
                                            QString::number(rate_),
                                            withSink_ ? QStringLiteral("sink") : QStringLiteral("nosink")});
    if (!process_.waitForStarted(5000)) {
        errors_ = process_.errorString();
        return false;
    }
    for (QDeadlineTimer deadline(10000); !deadline.hasExpired(); QThread::msleep(20)) {
        if (QFileInfo::exists(socket))
            return !withSink_ || listen();
        if (process_.state() != QProcess::Running) {
            errors_ = QStringLiteral("the server ended with %1").arg(process_.exitCode());
            return false;
        }
    }
    errors_ = QStringLiteral("no socket after 10 s");
    return false;
}

bool PulseServer::pactl(const QStringList& arguments)
{
    QProcess tool;
    tool.setProcessEnvironment(environment());
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool.setStandardOutputFile(QProcess::nullDevice());
    tool.start(QStringLiteral("pactl"), arguments);
    return tool.waitForFinished(10000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

QProcessEnvironment PulseServer::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + dir_.filePath(QStringLiteral("native")));
    env.insert(QStringLiteral("PULSE_CLIENTCONFIG"), dir_.filePath(QStringLiteral("client.conf")));
    return env;
}

bool PulseServer::listen()
{
    // A null sink nobody listens to renders in blocks of up to two seconds and
    // starts a new stream only at the end of the block; one that is recorded
    // with a small latency ticks like a sound card.
    listener_.setProcessEnvironment(environment());
    listener_.setStandardOutputFile(QProcess::nullDevice());
    listener_.start(QStringLiteral("parec"), {QStringLiteral("--device=quillo.monitor"), QStringLiteral("--latency-msec=5")});
    if (!listener_.waitForStarted(5000)) {
        errors_ = QStringLiteral("parec: ") + listener_.errorString();
        return false;
    }
    // The sink takes the listener's latency only after the block it is in.
    QThread::msleep(2100);
    return true;
}

void PulseServer::kill()
{
    if (listener_.state() == QProcess::Running) {
        listener_.kill();
        listener_.waitForFinished(5000);
    }
    if (!running())
        return;
    process_.kill();
    process_.waitForFinished(5000);
}

void PulseServer::freeze()
{
    if (running())
        ::kill(pid_t(process_.processId()), SIGSTOP);
}

void PulseServer::thaw()
{
    if (running())
        ::kill(pid_t(process_.processId()), SIGCONT);
}

}  // namespace quillo::test
