#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace quillo {

// One window per user session, through a local socket in the runtime folder.
// The first start listens on it; a later start finds it, asks the first to
// come to the front, and goes. A socket left by a run that crashed answers
// nobody and is replaced. Without a usable runtime folder every start runs.
// A runtime folder whose socket path would be too long for a socket (more
// than 106 bytes, what QLocalServer takes) has its socket under a short name in a folder only the user may
// enter (TMPDIR/quillo-UID, else /tmp/quillo-UID). Each start removes the
// sockets there that nobody listens on any more.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this start is the one that runs; false when another start
    // runs already and has been asked to show itself.
    bool claim();

    // The socket's path, or empty when there is no runtime folder (or, for
    // one too deep, no private folder for a shorter name).
    static QString socketPath();

signals:
    // Another start asked for the window.
    void activationRequested();

private:
    bool askRunningOne(const QString& path);
    void takeConnections();

    QLocalServer* server_ = nullptr;
};

}  // namespace quillo
