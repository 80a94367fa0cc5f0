#include "feedback/media_paths.h"

#include "form/form.h"
#include "platform/files/file_name.h"
#include "platform/files/file_search.h"
#include "platform/files/optional_folder.h"

namespace quillo::media {

QString lettersFolder(const QString& mediaFolder) { return mediaFolder + QStringLiteral("/alfabeto/"); }
QString wordsFolder(const QString& mediaFolder) { return mediaFolder + QStringLiteral("/parole/"); }
QString picturesFolder(const QString& mediaFolder) { return mediaFolder + QStringLiteral("/immagini/"); }

namespace {

QStringList eachLibrary(const Libraries& libraries, QString (*folderOf)(const QString&))
{
    QStringList folders;
    if (!libraries.own.isEmpty()) {
        const QString own = folderOf(libraries.own);
        if (usableOptionalFolder(own))
            folders.append(own);
    }
    folders.append(folderOf(libraries.bundled));
    return folders;
}

}  // namespace

Libraries librariesOf(const Form& form) { return {form.userMediaFolder(), form.mediaFolder()}; }

QStringList lettersFolders(const Libraries& libraries) { return eachLibrary(libraries, lettersFolder); }
QStringList wordsFolders(const Libraries& libraries) { return eachLibrary(libraries, wordsFolder); }

QString userPicturesFolder(const Form& form)
{
    return form.userMediaFolder().isEmpty() ? QString() : picturesFolder(form.userMediaFolder());
}

QString wordOfPicture(const QString& fileName)
{
    // A name that is not UTF-8 shows its stray bytes as Latin-1, one
    // character each, so the word keeps its length.
    return fileName.size() > 4 ? readableFileName(fileName).left(fileName.size() - 4) : QString();
}

QString fileIn(const QStringList& folders, const QString& name)
{
    for (const QString& folder : folders) {
        const QString found = findFirstFile(folder, name, /*wildcards=*/false);
        if (!found.isEmpty())
            return folder + found;
    }
    return folders.value(folders.size() - 1) + name;
}

QString findIn(const QStringList& folders, const QString& pattern)
{
    for (const QString& folder : folders) {
        const QString found = findFirstFile(folder, pattern);
        if (!found.isEmpty())
            return folder + found;
    }
    return {};
}

}  // namespace quillo::media
