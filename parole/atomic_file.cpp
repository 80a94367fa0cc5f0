#include "atomic_file.h"

#include "platform/files/file_name.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace quillo::parole {

namespace {

QString systemWords()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Makes a folder and those above it, by their own bytes: a name that is not
// UTF-8 cannot go through QDir.
bool makeFolders(const QByteArray& folder)
{
    for (qsizetype slash = folder.indexOf('/', 1); ; slash = folder.indexOf('/', slash + 1)) {
        const QByteArray part = slash < 0 ? folder : folder.left(slash);
        if (!part.isEmpty() && ::mkdir(part.constData(), 0777) != 0 && errno != EEXIST)
            return false;
        if (slash < 0)
            return true;
    }
}

}  // namespace

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    const QByteArray target = encodeFileName(QFileInfo(path).absoluteFilePath());
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = target.left(slash);
    auto fail = [&](const QString& message) {
        if (error)
            *error = message;
        return false;
    };
    if (!makeFolders(folder))
        return fail(QStringLiteral("Non riesco a creare la cartella %1 (%2).").arg(readableFileName(decodeFileName(folder)), systemWords()));
    // Beside it under a hidden name, which no program of Quillo's lists.
    QByteArray temporary = folder + "/." + target.mid(slash + 1) + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return fail(QStringLiteral("Non riesco a scrivere %1 (%2).").arg(readableFileName(path), systemWords()));
    const mode_t mask = ::umask(0);
    ::umask(mask);
    bool written = ::fchmod(fd, 0666 & ~mask) == 0;
    for (qsizetype done = 0; written && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        written = n > 0;
        done += n > 0 ? n : 0;
    }
    written = written && ::fsync(fd) == 0;
    const QString why = written ? QString() : systemWords();
    written = ::close(fd) == 0 && written;
    if (!written || ::rename(temporary.constData(), target.constData()) != 0) {
        const QString message = QStringLiteral("Non riesco a scrivere %1 (%2).").arg(readableFileName(path), why.isEmpty() ? systemWords() : why);
        ::unlink(temporary.constData());
        return fail(message);
    }
    return true;
}

bool removeFile(const QString& path, QString* error)
{
    // By its own bytes: a name that is not UTF-8 cannot go through QFile.
    if (::unlink(encodeFileName(path).constData()) == 0 || errno == ENOENT)
        return true;
    if (error)
        *error = QStringLiteral("Non riesco a togliere %1 (%2).").arg(readableFileName(path), QString::fromLocal8Bit(std::strerror(errno)));
    return false;
}

}  // namespace quillo::parole
