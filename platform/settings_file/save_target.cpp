#include "platform/settings_file/save_target.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace quillo {

namespace {

QString errorText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISCHR(mode))
        return QStringLiteral("a character device");
    if (S_ISBLK(mode))
        return QStringLiteral("a block device");
    if (S_ISFIFO(mode))
        return QStringLiteral("a FIFO");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    if (S_ISLNK(mode))
        return QStringLiteral("a link");
    return QStringLiteral("not a regular file");
}

// "Of the user's": owned by the effective user. As root that is any file of
// root's; as another user it leaves out files of other users, even ones the
// user may write, since a rename would take them from their owner.
bool isUsersRegularFile(const struct stat& status)
{
    return S_ISREG(status.st_mode) && status.st_uid == ::geteuid();
}

}  // namespace

SaveTarget saveTargetOf(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat link {};
    if (::lstat(native.constData(), &link) != 0 || !S_ISLNK(link.st_mode))
        return {path, false, {}};

    SaveTarget itself{path, false, {}};
    struct stat end {};
    if (::stat(native.constData(), &end) != 0) {
        const int error = errno;
        if (error == ENOENT)
            itself.linkReplaced = QStringLiteral("it leads to nothing");
        else if (error == ELOOP)
            itself.linkReplaced = QStringLiteral("its links go round in a loop");
        else
            itself.linkReplaced = QStringLiteral("it cannot be followed: %1").arg(errorText(error));
        return itself;
    }
    if (!S_ISREG(end.st_mode)) {
        itself.linkReplaced = QStringLiteral("it leads to %1").arg(kindOf(end.st_mode));
        return itself;
    }
    if (!isUsersRegularFile(end)) {
        itself.linkReplaced = QStringLiteral("it leads to a file of another user");
        return itself;
    }
    char* real = ::realpath(native.constData(), nullptr);
    if (!real) {
        itself.linkReplaced = QStringLiteral("it cannot be followed: %1").arg(errorText(errno));
        return itself;
    }
    const QString followed = QFile::decodeName(real);
    std::free(real);
    return {followed, true, {}};
}

bool renameOnto(const QString& staged, const SaveTarget& target, QString* why)
{
    const auto fail = [&](const QString& reason) {
        if (why)
            *why = reason;
        return false;
    };
    const QFileInfo info(target.path);
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    const QByteArray name = QFile::encodeName(info.fileName());
    const QByteArray stagedName = QFile::encodeName(QFileInfo(staged).fileName());

    // Everything from here on is looked up in this one folder, so a folder
    // swapped in meanwhile under the same name is not the one written.
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return fail(errorText(errno));
    struct stat now {};
    QString refused;
    if (::fstatat(dir, name.constData(), &now, AT_SYMLINK_NOFOLLOW) == 0) {
        if (target.throughLink && !isUsersRegularFile(now))
            refused = QStringLiteral("%1 is no longer a regular file of the user's").arg(target.path);
        else if (S_ISDIR(now.st_mode) || S_ISCHR(now.st_mode) || S_ISBLK(now.st_mode))
            refused = QStringLiteral("%1 is %2").arg(target.path, kindOf(now.st_mode));
    } else if (errno != ENOENT) {
        refused = errorText(errno);
    }
    if (refused.isEmpty() && ::renameat(dir, stagedName.constData(), dir, name.constData()) != 0)
        refused = errorText(errno);
    if (refused.isEmpty())
        ::fsync(dir);  // the new name lasts too
    ::close(dir);
    return refused.isEmpty() || fail(refused);
}

}  // namespace quillo
