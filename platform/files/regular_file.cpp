#include "platform/files/regular_file.h"

#include "platform/files/file_name.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quillo {

std::unique_ptr<QFile> openRegularFile(const QByteArray& nativePath, QString* why)
{
    auto refuse = [&](const QString& reason) -> std::unique_ptr<QFile> {
        if (why)
            *why = reason;
        return nullptr;
    };
    // O_NONBLOCK makes open() return at once on a FIFO with no writer; on a
    // regular file it changes nothing.
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return refuse(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return refuse(QStringLiteral("not a regular file"));
    }
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return refuse(file->errorString());
    }
    return file;
}

std::unique_ptr<QFile> openRegularFile(const QString& path, QString* why)
{
    return openRegularFile(encodeFileName(path), why);
}

}  // namespace quillo
