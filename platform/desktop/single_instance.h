#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace quillo {

// One window per user session, through a local socket in the runtime folder.
// The first start listens on it; a later start finds it, asks the first to
// come to the front, and goes. A socket left by a run that crashed answers
// nobody and is replaced. Without a usable runtime folder every start runs.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this start is the one that runs; false when another start
    // runs already and has been asked to show itself.
    bool claim();

    // The socket's path, or empty when there is no runtime folder.
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
