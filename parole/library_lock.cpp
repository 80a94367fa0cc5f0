#include "library_lock.h"

#include "system_error.h"

#include <QDir>

#include <cerrno>

namespace quillo::parole {

LibraryLock::LibraryLock(const QString& userLibrary, int waitMs)
{
    if (!QDir().mkpath(userLibrary)) {
        problem_ = cannotCreateFolder(userLibrary);
        return;
    }
    file_ = std::make_unique<QLockFile>(QDir(userLibrary).filePath(fileName()));
    file_->setStaleLockTime(kStaleMs);
    locked_ = file_->tryLock(waitMs);
    if (locked_)
        return;
    switch (file_->error()) {
    case QLockFile::LockFailedError:
        problem_ = QStringLiteral("La libreria è occupata da un altro salvataggio: riprova tra poco.");
        break;
    case QLockFile::PermissionError:
        problem_ = fileProblem(QStringLiteral("Non riesco a scrivere nella libreria %1").arg(userLibrary), EACCES);
        break;
    default:
        problem_ = QStringLiteral("Non riesco a bloccare la libreria %1 per salvare.").arg(userLibrary);
        break;
    }
}

}  // namespace quillo::parole
