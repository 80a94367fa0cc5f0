// What a change cut short leaves behind, and how the next change takes it
// back: see FileBatch.

#include "file_batch.h"

#include "platform/files/file_name.h"

#include <QList>
#include <QRegularExpression>

#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillo::parole {

void FileBatch::undoUnfinished(const QString& journal)
{
    const QByteArray path = encodeFileName(journal);
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    QByteArray text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, n);
    ::close(fd);
    const QList<QByteArray> fields = text.split('\0');
    // Backwards, as the change would have been undone.
    for (qsizetype i = (fields.size() - 1) / 3 * 3 - 3; i >= 0; i -= 3) {
        const QByteArray& target = fields.at(i);
        const QByteArray& backup = fields.at(i + 1);
        const QByteArray& temporary = fields.at(i + 2);
        struct stat there {};
        if (!backup.isEmpty() && ::lstat(backup.constData(), &there) == 0) {
            ::rename(backup.constData(), target.constData());
            ::unlink(backup.constData());  // still there when both were one file
        } else if (backup.isEmpty() && !temporary.isEmpty() && ::lstat(temporary.constData(), &there) != 0) {
            ::unlink(target.constData());  // a new file, put in place already
        }
        if (!temporary.isEmpty())
            ::unlink(temporary.constData());
    }
    ::unlink(path.constData());
}

void FileBatch::removeLeftovers(const QString& folder, int seconds)
{
    static const QRegularExpression hidden(QStringLiteral("^\\..+\\.[A-Za-z0-9]{6}$"));
    const QByteArray path = encodeFileName(folder);
    DIR* dir = ::opendir(path.constData());
    if (!dir)
        return;
    const time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        const QByteArray file = path + '/' + name;
        struct stat there {};
        if (hidden.match(decodeFileName(name)).hasMatch() && ::lstat(file.constData(), &there) == 0
            && !S_ISDIR(there.st_mode) && now - there.st_mtime > seconds)
            ::unlink(file.constData());
    }
    ::closedir(dir);
}

}  // namespace quillo::parole
