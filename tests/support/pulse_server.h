#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace quillo::test {

// A private PulseAudio server with one null sink (tests/e2e/pulse-server.sh),
// for tests that need a real sound server that can be killed, frozen and
// started again. While it runs, its sink's monitor is recorded (into nothing)
// with a small latency, as a sound card would take sound. Nothing of the
// user's own sound setup is touched. Made `withSink` false, it starts with
// no sink at all (pactl() can load one later).
class PulseServer {
public:
    explicit PulseServer(int rate = 48000, bool withSink = true);
    ~PulseServer();
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    static bool installed();
    // Points libpulse in this process (and its children) at this server, and
    // SDL at libpulse, whether or not the server runs yet.
    void useInThisProcess() const;
    // Starts the server and waits until it takes clients (at most 10 s).
    bool start();
    // Ends it at once, as a crash would.
    void kill();
    // SIGSTOP and SIGCONT: a server that hangs.
    void freeze();
    void thaw();
    bool running() const { return process_.state() == QProcess::Running; }
    // Runs pactl against this server; true when it succeeded.
    bool pactl(const QStringList& arguments);
    QString errors() const { return errors_; }

private:
    bool listen();
    QProcessEnvironment environment() const;

    QTemporaryDir dir_;
    int rate_;
    bool withSink_;
    QProcess process_;
    QProcess listener_;  // records the sink's monitor, as the benchmarks do
    QString errors_;
};

}  // namespace quillo::test
