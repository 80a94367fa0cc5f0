// Start-up time of the real program: from starting the process to its window
// being shown, under the offscreen platform with the dummy audio driver. The
// program says "shown" and ends there when QUILLO_EXIT_WHEN_SHOWN=1.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    constexpr double kTargetMs = 150;

    QTemporaryDir config;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    env.insert(QStringLiteral("QUILLO_EXIT_WHEN_SHOWN"), QStringLiteral("1"));

    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QProcess process;
        process.setProcessEnvironment(env);
        QElapsedTimer timer;
        timer.start();
        process.start(QStringLiteral(QUILLO_BINARY), {});
        QByteArray out;
        double shownMs = -1;
        while (process.waitForReadyRead(10000)) {
            out += process.readAllStandardOutput();
            if (out.contains("shown")) {
                shownMs = double(timer.nsecsElapsed()) / 1e6;
                break;
            }
        }
        process.waitForFinished(10000);
        if (shownMs < 0) {
            std::fprintf(stderr, "run %d: no window shown (exit %d)\n%s\n", i + 1, process.exitCode(),
                         process.readAllStandardError().constData());
            return 1;
        }
        times.push_back(shownMs);
        std::printf("run %2d: %7.1f ms\n", i + 1, shownMs);
    }
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t n = sorted.size();
    const double median = n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
    std::printf("start to shown window, %zu runs: median %.1f ms, min %.1f ms, max %.1f ms (target under %.0f ms)\n",
                n, median, sorted.front(), sorted.back(), kTargetMs);
    return median < kTargetMs ? 0 : 2;
}
