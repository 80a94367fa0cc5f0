#include "platform/files/regular_file.h"

#include "platform/files/file_name.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace quillo {

namespace {

constexpr int kReadFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Opens for reading the very file that `pin` (an O_PATH descriptor) holds,
// through its name in /proc. Without /proc: the path with its links
// resolved, opened without following a link, so that a link put in its
// place meanwhile is refused; the caller's fstat catches any other swap.
int reopen(int pin, const QByteArray& nativePath)
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(pin);
    const int fd = ::open(self.constData(), kReadFlags);
    if (fd >= 0 || errno != ENOENT)
        return fd;
    char* resolved = ::realpath(nativePath.constData(), nullptr);
    if (resolved == nullptr)
        return -1;
    const int direct = ::open(resolved, kReadFlags | O_NOFOLLOW);
    const int saved = errno;
    std::free(resolved);
    errno = saved;
    return direct;
}

}  // namespace

std::unique_ptr<QFile> openRegularFile(const QByteArray& nativePath, QString* why, FileRefusal* refusal)
{
    auto refuse = [&](const QString& reason, FileRefusal kind = FileRefusal::NotRegular) -> std::unique_ptr<QFile> {
        if (why)
            *why = reason;
        if (refusal)
            *refusal = kind;
        return nullptr;
    };
    auto failed = [&] {
        const int error = errno;
        return refuse(QString::fromLocal8Bit(std::strerror(error)),
                      error == ENOENT ? FileRefusal::Missing : FileRefusal::Failed);
    };
    const QString notRegular = QStringLiteral("not a regular file");
    // Looked at before anything is opened: a FIFO, a device, a socket or a
    // folder is refused here, and no driver ever sees an open.
    struct stat looked {};
    if (::stat(nativePath.constData(), &looked) != 0)
        return failed();
    if (!S_ISREG(looked.st_mode))
        return refuse(notRegular);
    // Held without being opened (O_PATH opens nothing), and checked to be
    // the file looked at: a swap in between is refused.
    const int pin = ::open(nativePath.constData(), O_PATH | O_CLOEXEC);
    if (pin < 0)
        return failed();
    struct stat held {};
    if (::fstat(pin, &held) != 0 || !S_ISREG(held.st_mode) || !sameFile(held, looked)) {
        ::close(pin);
        return refuse(notRegular);
    }
    const int fd = reopen(pin, nativePath);
    const int openError = errno;
    ::close(pin);
    if (fd < 0) {
        errno = openError;
        return failed();
    }
    // And checked once more on what was opened.
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || !sameFile(opened, looked)) {
        ::close(fd);
        return refuse(notRegular);
    }
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return refuse(file->errorString(), FileRefusal::Failed);
    }
    return file;
}

std::unique_ptr<QFile> openRegularFile(const QString& path, QString* why, FileRefusal* refusal)
{
    return openRegularFile(encodeFileName(path), why, refusal);
}

}  // namespace quillo
