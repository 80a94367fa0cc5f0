#include "platform/desktop/single_instance.h"

#include "platform/base/log.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <cerrno>

#include <dirent.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

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

// Whether nobody listens on the socket at `path`: a connection is refused at
// once. A Quillo that is busy, or stopped, still has its connections queued.
bool abandoned(const QByteArray& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool refused = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 &&
                         errno == ECONNREFUSED;
    ::close(fd);
    return refused;
}

// Removes the sockets in the user's own short-name folder that a Quillo
// killed outright left behind, one per session it ran in.
void removeAbandonedSockets(const QString& base)
{
    const QByteArray folder = QFile::encodeName(QDir(base).filePath(QStringLiteral("quillo-%1").arg(::getuid())));
    struct stat info {};
    if (::lstat(folder.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        return;
    DIR* entries = ::opendir(folder.constData());
    if (entries == nullptr)
        return;
    while (const dirent* entry = ::readdir(entries)) {
        const QByteArray name(entry->d_name);
        if (!name.endsWith(".socket"))
            continue;
        const QByteArray path = folder + '/' + name;
        if (::lstat(path.constData(), &info) == 0 && S_ISSOCK(info.st_mode) && info.st_uid == ::getuid() &&
            abandoned(path))
            ::unlink(path.constData());
    }
    ::closedir(entries);
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
    for (const QString& base : {QDir::tempPath(), QStringLiteral("/tmp")})
        removeAbandonedSockets(base);
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
