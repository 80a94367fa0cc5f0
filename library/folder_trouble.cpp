#include "library/folder_trouble.h"

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

int statError(const QString& path, struct stat* info)
{
    return ::stat(encodeFileName(path).constData(), info) == 0 ? 0 : errno;
}

QString systemWords(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The reason in English, the key of its translation too; %1 is the detail.
const char* englishReason(FolderTrouble::Kind kind)
{
    switch (kind) {
    case FolderTrouble::None:
    case FolderTrouble::Missing:
        return nullptr;
    case FolderTrouble::NotAFolder:
        return "it is not a folder";
    case FolderTrouble::Unreadable:
        return "it cannot be read (%1)";
    case FolderTrouble::Loop:
        return "its links go round in a loop";
    case FolderTrouble::Other:
        break;
    }
    return "%1";
}

QString withDetail(const QString& reason, const QString& detail)
{
    return reason.contains(QLatin1String("%1")) ? reason.arg(detail) : reason;
}

}  // namespace

QString FolderTrouble::english() const
{
    const char* reason = englishReason(kind);
    return reason ? withDetail(QString::fromLatin1(reason), detail) : QString();
}

QString FolderTrouble::italian() const
{
    switch (kind) {
    case None:
    case Missing:
        return {};
    case NotAFolder:
        return QStringLiteral("non è una cartella");
    case Unreadable:
        return QStringLiteral("non si può leggere");
    case Loop:
        return QStringLiteral("i collegamenti girano in tondo");
    case Other:
        break;
    }
    return QStringLiteral("non si può usare (%1)").arg(detail);
}

FolderTrouble folderTrouble(const QString& given)
{
    const QString folder = QDir::cleanPath(given);
    struct stat info {};
    const int error = statError(folder, &info);
    if (error == 0) {
        if (!S_ISDIR(info.st_mode))
            return {FolderTrouble::NotAFolder, folder, {}};
        if (::access(encodeFileName(folder).constData(), R_OK | X_OK) != 0)
            return {FolderTrouble::Unreadable, folder, systemWords(errno)};
        return {};
    }
    if (error == ENOENT)
        return {FolderTrouble::Missing, folder, {}};  // a link to nothing included

    // The fault may lie above: find the highest path that fails the same way,
    // so that a fault shared by several folders is told for the path at fault.
    QString failing = folder;
    for (QString up = QFileInfo(failing).path(); up != failing && statError(up, &info) == error;
         up = QFileInfo(up).path())
        failing = up;
    const QString above = QFileInfo(failing).path();
    switch (error) {
    case ENOTDIR:  // what stands above it is no folder
        return {FolderTrouble::NotAFolder, above, {}};
    case EACCES:  // the folder above cannot be searched
        return {FolderTrouble::Unreadable, above, systemWords(error)};
    case ELOOP:
        return {FolderTrouble::Loop, failing, {}};
    default:
        return {FolderTrouble::Other, failing, systemWords(error)};
    }
}

FolderTrouble troubleSaid(const QString& folder)
{
    const FolderTrouble trouble = folderTrouble(folder);
    if (trouble.faulty()) {
        static QMutex mutex;
        static QSet<QString> said;
        const QMutexLocker lock(&mutex);
        if (!said.contains(trouble.path)) {
            said.insert(trouble.path);
            qCWarning(lcQuillo).noquote() << logText("%1: left out, %2")
                                                 .arg(readableFileName(trouble.path),
                                                      withDetail(logText(englishReason(trouble.kind)), trouble.detail));
        }
    }
    return trouble;
}

}  // namespace quillo
