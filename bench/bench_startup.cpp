// Start-up time of the real program as a child meets it: from starting the
// process to its window being mapped on a real X server, seen from outside
// through the server's own map notifications, as any other client would see
// it. Run it on an X display, for example `xvfb-run -a bench/bench_startup`;
// QUILLO_BENCH_BINARY times another copy of the program (with its own media).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <poll.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

struct Connection {
    xcb_connection_t* c = nullptr;
    ~Connection()
    {
        if (c)
            xcb_disconnect(c);
    }
};

// Waits up to `timeoutMs` for any top-level window to be mapped; true when one was.
bool waitForMap(xcb_connection_t* c, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < timeoutMs) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
            const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
            std::free(event);
            if (mapped)
                return true;
        }
        if (xcb_connection_has_error(c))
            return false;
        pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
        poll(&fd, 1, int(std::max<qint64>(1, timeoutMs - waited.elapsed())));
    }
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    constexpr double kTargetMs = 150;

    Connection x;
    x.c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x.c)) {
        std::fprintf(stderr, "bench_startup needs an X display (try: xvfb-run -a %s)\n", argv[0]);
        return 77;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x.c)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x.c, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x.c);

    QTemporaryDir config;
    QTemporaryDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    if (!env.contains(QStringLiteral("SDL_AUDIODRIVER")))
        env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));

    // Another copy of the program (with media of its own beside it) may be timed instead.
    const QString binary = qEnvironmentVariableIsSet("QUILLO_BENCH_BINARY")
                               ? qEnvironmentVariable("QUILLO_BENCH_BINARY")
                               : QStringLiteral(QUILLO_BINARY);
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer timer;
        timer.start();
        process.start(binary, {});
        const bool mapped = waitForMap(x.c, 10000);
        const double shownMs = double(timer.nsecsElapsed()) / 1e6;
        process.kill();
        process.waitForFinished(10000);
        if (!mapped) {
            std::fprintf(stderr, "run %d: no window mapped\n", i + 1);
            return 1;
        }
        // The unmapping and destruction of this run's window are not the next run's map.
        while (xcb_generic_event_t* event = xcb_poll_for_event(x.c))
            std::free(event);
        times.push_back(shownMs);
        std::printf("run %2d: %7.1f ms\n", i + 1, shownMs);
    }
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t n = sorted.size();
    const double median = n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
    std::printf("start to mapped window, %zu runs: median %.1f ms, min %.1f ms, max %.1f ms (target under %.0f ms)\n",
                n, median, sorted.front(), sorted.back(), kTargetMs);
    return median < kTargetMs ? 0 : 2;
}
