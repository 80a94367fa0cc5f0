#include "platform/desktop/single_instance.h"

#include "platform/base/log.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <cerrno>

#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace quillo {

namespace {

constexpr int kConnectMs = 1000;
const QByteArray kShowRequest = QByteArrayLiteral("show\n");
// What a Unix socket's path may hold, without its closing zero, less the
// byte that QLocalServer keeps for itself (Qt 6.4 refuses a path that fills
// sun_path up to its closing zero with "Name error").
constexpr qsizetype kLongestSocketPath = qsizetype(sizeof(sockaddr_un::sun_path)) - 1 - 1;

bool fitsASocket(const QString& path)
{
    return QFile::encodeName(path).size() <= kLongestSocketPath;
}

// BASE/quillo-UID, a folder only this user may enter: made when missing,
// refused when it is a link, someone else's, or open to others.
QString privateFolder(const QString& base)
{
    const QString path = QDir(base).filePath(QStringLiteral("quillo-%1").arg(::getuid()));
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid() ||
        (info.st_mode & 077) != 0)
        return {};
    return path;
}

}  // namespace

SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {}

SingleInstance::~SingleInstance() = default;  // the server removes its socket as it closes

QString SingleInstance::socketPath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        return {};
    const QString path = QDir(folder).filePath(QStringLiteral("quillo-%1.socket").arg(::getuid()));
    if (fitsASocket(path))
        return path;
    // A runtime folder too deep for a socket: a short name in a folder of
    // the user's own, one name per runtime folder, so that each session
    // still has its own window.
    const QByteArray session =
        QCryptographicHash::hash(QFile::encodeName(QDir(folder).absolutePath()), QCryptographicHash::Sha256).toHex().left(16);
    for (const QString& base : {QDir::tempPath(), QStringLiteral("/tmp")}) {
        const QString own = privateFolder(base);
        const QString shorter = own + u'/' + QString::fromLatin1(session) + QStringLiteral(".socket");
        if (!own.isEmpty() && fitsASocket(shorter))
            return shorter;
    }
    return {};
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
