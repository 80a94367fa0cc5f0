#include "library_lock.h"

#include "file_batch.h"
#include "system_error.h"

#include "platform/files/file_name.h"

#include <QDeadlineTimer>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillo::parole {

LibraryLock::LibraryLock(const QString& userLibrary, int waitMs) : library_(userLibrary)
{
    // Made by its bytes, as every file of the library is: a name that is
    // not UTF-8 stays the one the environment gave.
    const QByteArray folder = encodeFileName(userLibrary);
    if (!makeFolders(folder)) {
        problem_ = cannotCreateFolder(userLibrary);
        return;
    }
    path_ = folder + '/' + encodeFileName(fileName());
    const QDeadlineTimer deadline(waitMs);
    while (!tryOnce() && busy_ && !deadline.hasExpired())
        QThread::msleep(kRetryMs);
}

LibraryLock::~LibraryLock()
{
    if (fd_ < 0)
        return;
    // Removed while still held: whoever opens the name afterwards makes a
    // new file, and one that opened the old file sees that it went.
    ::unlink(path_.constData());
    ::close(fd_);
}

bool LibraryLock::tryOnce()
{
    busy_ = false;
    problem_.clear();
    const QString what = QStringLiteral("Non riesco a bloccare la libreria %1 per salvare").arg(library_);
    // Never blocks, even on a pipe, and never follows a link.
    const int fd = ::open(path_.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) {
        const int number = errno;
        problem_ = number == ELOOP || number == ENXIO ? notARegularFile(what + QStringLiteral(": il file ") + fileName())
                                                     : fileProblem(what, number);
        return false;
    }
    struct stat opened {};
    struct stat named {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        problem_ = notARegularFile(what + QStringLiteral(": il file ") + fileName());
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int number = errno;
        ::close(fd);
        busy_ = number == EWOULDBLOCK || number == EINTR;
        problem_ = busy_ ? QStringLiteral("La libreria è occupata da un altro salvataggio: riprova tra poco.")
                         : fileProblem(what, number);
        return false;
    }
    // The holder before may have removed the file between our open and our
    // lock: then it is not the lock any more.
    if (::stat(path_.constData(), &named) != 0 || named.st_ino != opened.st_ino || named.st_dev != opened.st_dev) {
        ::close(fd);
        busy_ = true;
        problem_ = QStringLiteral("La libreria è occupata da un altro salvataggio: riprova tra poco.");
        return false;
    }
    fd_ = fd;
    return true;
}

}  // namespace quillo::parole
