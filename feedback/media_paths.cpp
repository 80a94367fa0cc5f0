#include "feedback/media_paths.h"

#include "platform/files/file_name.h"
#include "platform/files/file_search.h"

namespace quillo::media {

QString lettersFolder(const QString& mediaFolder) { return mediaFolder + QStringLiteral("/alfabeto/"); }
QString wordsFolder(const QString& mediaFolder) { return mediaFolder + QStringLiteral("/parole/"); }
QString picturesFolder(const QString& mediaFolder) { return mediaFolder + QStringLiteral("/immagini/"); }

QString wordOfPicture(const QString& fileName)
{
    // A name that is not UTF-8 shows its stray bytes as Latin-1, one
    // character each, so the word keeps its length.
    return fileName.size() > 4 ? readableFileName(fileName).left(fileName.size() - 4) : QString();
}

QString fileIn(const QString& folder, const QString& name)
{
    const QString found = findFirstFile(folder, name, /*wildcards=*/false);
    return folder + (found.isEmpty() ? name : found);
}

}  // namespace quillo::media
