#pragma once

#include <QObject>

class QSocketNotifier;

namespace quillo::parole {

// Tells the event loop that the session ends: SIGTERM (what the session
// sends at logout), SIGHUP (the terminal went) and SIGINT (Ctrl+C). The
// signal handler only writes the signal's number into a pipe, which is safe
// in a handler; the rest happens in the event loop, where the window can
// keep the parent's work. One at a time in a process; the handlers before
// it come back when it goes.
class SessionEnd : public QObject {
    Q_OBJECT
public:
    explicit SessionEnd(QObject* parent = nullptr);
    ~SessionEnd() override;
    SessionEnd(const SessionEnd&) = delete;
    SessionEnd& operator=(const SessionEnd&) = delete;

    // Whether the handlers are in place.
    bool watching() const { return notifier_ != nullptr; }

signals:
    void ending(int signalNumber);

private:
    void readPipe();

    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace quillo::parole
