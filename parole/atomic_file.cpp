#include "atomic_file.h"

#include "system_error.h"

#include "platform/files/file_name.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace quillo::parole {

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = cannotCreateFolder(folder);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = fileProblem(QStringLiteral("Non riesco a scrivere %1").arg(path), file.errorString());
        file.cancelWriting();
        return false;
    }
    return true;
}

bool removeFile(const QString& path, QString* error)
{
    // By its own bytes: a name that is not UTF-8 cannot go through QFile.
    if (::unlink(encodeFileName(path).constData()) == 0 || errno == ENOENT)
        return true;
    const int number = errno;
    if (error)
        *error = fileProblem(QStringLiteral("Non riesco a togliere %1").arg(readableFileName(path)), number);
    return false;
}

}  // namespace quillo::parole
