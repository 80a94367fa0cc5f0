#include "platform/desktop/single_instance.h"

#include "platform/base/log.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

namespace quillo {

namespace {

constexpr int kConnectMs = 1000;
const QByteArray kShowRequest = QByteArrayLiteral("show\n");

}  // namespace

SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {}

SingleInstance::~SingleInstance() = default;  // the server removes its socket as it closes

QString SingleInstance::socketPath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        return {};
    return QDir(folder).filePath(QStringLiteral("quillo-%1.socket").arg(::getuid()));
}

bool SingleInstance::askRunningOne(const QString& path)
{
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(kConnectMs))
        return false;
    // The running one may be in the middle of a sound: the request waits in
    // the socket until it reads it.
    socket.write(kShowRequest);
    socket.waitForBytesWritten(kConnectMs);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::claim()
{
    const QString path = socketPath();
    const QFileInfo folder(QFileInfo(path).path());
    if (path.isEmpty() || !folder.isDir() || !folder.isWritable()) {
        qCWarning(lcQuillo, "no usable runtime folder: a second start will open a second window");
        return true;
    }
    if (askRunningOne(path))
        return false;

    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(path)) {
        // Another start may have begun listening a moment ago; otherwise the
        // socket is left from a run that ended without removing it.
        if (askRunningOne(path)) {
            delete server_;
            server_ = nullptr;
            return false;
        }
        QLocalServer::removeServer(path);
        if (!server_->listen(path)) {
            qCWarning(lcQuillo, "cannot listen on %s (%s): a second start will open a second window",
                      qPrintable(path), qPrintable(server_->errorString()));
            delete server_;
            server_ = nullptr;
            return true;
        }
    }
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::takeConnections);
    return true;
}

void SingleInstance::takeConnections()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto readRequest = [this, socket] {
            if (socket->readAll().contains(kShowRequest.trimmed()))
                emit activationRequested();
        };
        connect(socket, &QLocalSocket::readyRead, this, readRequest);
        if (socket->bytesAvailable() > 0)
            readRequest();
    }
}

}  // namespace quillo
