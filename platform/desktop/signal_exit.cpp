#include "platform/desktop/signal_exit.h"

#include "platform/base/log.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace quillo {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
int pipeFds[2] = {-1, -1};

extern "C" void onSignal(int number)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    // Non-blocking: a full pipe already holds a request to end.
    [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], &byte, 1);
    errno = saved;
}

}  // namespace

SignalExit::SignalExit(QObject* parent) : QObject(parent)
{
    if (pipeFds[0] >= 0 || ::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        qCWarning(lcQuillo, "cannot watch for signals to end: %s", pipeFds[0] >= 0 ? "already watched" : strerror(errno));
        return;
    }
    notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SignalExit::readPipe);

    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : kSignals)
        ::sigaction(number, &action, nullptr);
}

SignalExit::~SignalExit()
{
    if (notifier_ == nullptr)
        return;
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int number : kSignals)
        ::sigaction(number, &action, nullptr);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    pipeFds[0] = pipeFds[1] = -1;
}

void SignalExit::readPipe()
{
    unsigned char byte = 0;
    int last = 0;
    while (::read(pipeFds[0], &byte, 1) == 1)
        last = byte;
    if (last != 0)
        emit requested(last);
}

}  // namespace quillo
