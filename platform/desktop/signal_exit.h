#pragma once

#include <QObject>

class QSocketNotifier;

namespace quillo {

// Turns SIGTERM, SIGINT and SIGHUP into one Qt signal, delivered from the event
// loop: the handler only writes a byte to a pipe, and a socket notifier reads it.
// Socket notifiers are not user input, so the request also arrives while a
// sound plays in its local event loop. One instance per program.
class SignalExit final : public QObject {
    Q_OBJECT
public:
    explicit SignalExit(QObject* parent = nullptr);
    ~SignalExit() override;
    SignalExit(const SignalExit&) = delete;
    SignalExit& operator=(const SignalExit&) = delete;

    // False when the pipe or the handlers could not be set up.
    bool installed() const { return notifier_ != nullptr; }

signals:
    void requested(int signalNumber);

private:
    void readPipe();

    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace quillo
