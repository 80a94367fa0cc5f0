#include "atomic_file.h"

#include "file_batch.h"
#include "system_error.h"

#include "platform/files/file_name.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace quillo::parole {

bool makeFolders(const QByteArray& folder, std::vector<QByteArray>* made)
{
    for (qsizetype slash = folder.indexOf('/', 1);; slash = folder.indexOf('/', slash + 1)) {
        const QByteArray part = slash < 0 ? folder : folder.left(slash);
        if (!part.isEmpty() && ::mkdir(part.constData(), 0777) == 0) {
            if (made)
                made->push_back(part);
        } else if (!part.isEmpty()) {
            if (errno != EEXIST)
                return false;
            struct stat there {};
            if (::stat(part.constData(), &there) != 0 || !S_ISDIR(there.st_mode)) {
                errno = ENOTDIR;
                return false;
            }
        }
        if (slash < 0)
            return true;
    }
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    FileBatch batch;
    if (batch.write(QFileInfo(path).absoluteFilePath(), bytes) && batch.commit())
        return true;
    if (error)
        *error = batch.problem();
    return false;
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
