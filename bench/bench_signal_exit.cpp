// From a SIGTERM to the real program's end, idle, under the offscreen platform
// with the dummy audio driver: started, window up and audio device open, then
// the signal, then the time until the process has gone.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    constexpr double kTargetMs = 100;

    QTemporaryDir config;
    QTemporaryDir runtime;  // a session of its own, so a running Quillo elsewhere is not met
    const QString socket = QDir(runtime.path()).filePath(QStringLiteral("quillo-%1.socket").arg(::getuid()));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.remove(QStringLiteral("QUILLO_EXIT_WHEN_SHOWN"));

    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(QUILLO_BINARY), {});
        process.waitForStarted(5000);
        for (int wait = 0; wait < 500 && !QFileInfo::exists(socket); ++wait)
            QThread::msleep(10);
        QThread::msleep(500);  // past the window and the audio device opening
        if (process.waitForFinished(0) || process.state() != QProcess::Running) {
            std::fprintf(stderr, "run %d: the program did not start\n%s\n", i + 1,
                         process.readAllStandardError().constData());
            return 1;
        }
        QElapsedTimer timer;
        timer.start();
        ::kill(pid_t(process.processId()), SIGTERM);
        if (!process.waitForFinished(5000) || process.exitCode() != 0) {
            std::fprintf(stderr, "run %d: SIGTERM did not end the program with 0\n", i + 1);
            return 1;
        }
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        times.push_back(ms);
        std::printf("run %2d: %6.1f ms\n", i + 1, ms);
    }
    std::sort(times.begin(), times.end());
    const std::size_t n = times.size();
    const double median = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
    std::printf("SIGTERM to ended, idle, %zu runs: median %.1f ms, min %.1f ms, max %.1f ms (target under %.0f ms)\n",
                n, median, times.front(), times.back(), kTargetMs);
    return median < kTargetMs ? 0 : 2;
}
