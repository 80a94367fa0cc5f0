#include "feedback/media_paths.h"

#include "platform/file_search.h"

namespace quillo::media {

QString lettersFolder(const QString& mediaFolder) { return mediaFolder + QStringLiteral("/alfabeto/"); }
QString wordsFolder(const QString& mediaFolder) { return mediaFolder + QStringLiteral("/parole/"); }
QString picturesFolder(const QString& mediaFolder) { return mediaFolder + QStringLiteral("/immagini/"); }

QString wordOfPicture(const QString& fileName)
{
    return fileName.size() > 4 ? fileName.left(fileName.size() - 4) : QString();
}

QString fileIn(const QString& folder, const QString& name)
{
    const QString found = findFirstFile(folder, name, /*wildcards=*/false);
    return folder + (found.isEmpty() ? name : found);
}

}  // namespace quillo::media
