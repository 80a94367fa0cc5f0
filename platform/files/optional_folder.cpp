#include "platform/files/optional_folder.h"

#include "platform/base/log.h"
#include "platform/files/file_name.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QSet>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quillo {

namespace {

// The paths whose fault was said in this run: each is said once.
void sayOnce(const QString& path, const QString& why)
{
    static QMutex mutex;
    static QSet<QString> said;
    const QMutexLocker lock(&mutex);
    if (said.contains(path))
        return;
    said.insert(path);
    qCWarning(lcQuillo, "%s: left out, %s", qPrintable(readableFileName(path)), qPrintable(why));
}

QString parentOf(const QString& path)
{
    return QFileInfo(path).path();
}

int statError(const QString& path, struct stat* info)
{
    return ::stat(encodeFileName(path).constData(), info) == 0 ? 0 : errno;
}

}  // namespace

bool usableOptionalFolder(const QString& given)
{
    const QString folder = QDir::cleanPath(given);
    struct stat info {};
    const int error = statError(folder, &info);
    if (error == 0) {
        if (!S_ISDIR(info.st_mode)) {
            sayOnce(folder, QStringLiteral("it is not a folder"));
            return false;
        }
        if (::access(encodeFileName(folder).constData(), R_OK | X_OK) != 0) {
            sayOnce(folder, QStringLiteral("it cannot be read (%1)").arg(QString::fromLocal8Bit(std::strerror(errno))));
            return false;
        }
        return true;
    }
    if (error == ENOENT)
        return false;  // not there (a link to nothing included): no error

    // The fault may lie above: find the highest path that fails the same way,
    // so that a fault shared by several folders is said for the path at fault.
    QString failing = folder;
    for (QString up = parentOf(failing); up != failing && statError(up, &info) == error; up = parentOf(up))
        failing = up;
    const QString above = parentOf(failing);
    switch (error) {
    case ENOTDIR:  // what stands above it is no folder
        sayOnce(above, QStringLiteral("it is not a folder"));
        break;
    case EACCES:  // the folder above cannot be searched
        sayOnce(above, QStringLiteral("it cannot be read (%1)").arg(QString::fromLocal8Bit(std::strerror(error))));
        break;
    case ELOOP:
        sayOnce(failing, QStringLiteral("its links go round in a loop"));
        break;
    default:
        sayOnce(failing, QString::fromLocal8Bit(std::strerror(error)));
        break;
    }
    return false;
}

}  // namespace quillo
