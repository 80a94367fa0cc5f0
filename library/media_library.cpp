#include "library/media_library.h"

#include "platform/files/file_name.h"
#include "platform/files/file_search.h"
#include "platform/files/wildcard.h"

#include "platform/base/log.h"

#include <QMutex>
#include <QSet>

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace quillo {

QString folderName(LibraryFolder kind)
{
    static const QString names[] = {QStringLiteral("alfabeto"), QStringLiteral("parole"), QStringLiteral("immagini")};
    return names[std::size_t(kind)];
}

QString folderIn(const QString& library, LibraryFolder kind)
{
    return library + u'/' + folderName(kind) + u'/';
}

QString wordOfPicture(const QString& fileName)
{
    return fileName.size() > 4 ? readableFileName(fileName).left(fileName.size() - 4) : QString();
}

namespace {

// A file that cannot be read counts as one that is not there: the next
// library's is used, or the fallback. Said once a run for each file.
bool readableOrSaid(const QString& path)
{
    if (::access(encodeFileName(path).constData(), R_OK) == 0)
        return true;
    const int error = errno;
    static QMutex mutex;
    static QSet<QString> said;
    const QMutexLocker lock(&mutex);
    if (!said.contains(path)) {
        said.insert(path);
        qCWarning(lcQuillo).noquote() << logText("%1: left out, it cannot be read (%2)")
                                             .arg(readableFileName(path), QString::fromLocal8Bit(std::strerror(error)));
    }
    return false;
}

}  // namespace

bool isPictureOf(const QString& fileName, const QString& word)
{
    const QString own = wordOfPicture(fileName);
    return !own.isEmpty() && own.toCaseFolded() == word.toCaseFolded();
}

// --- one library -----------------------------------------------------------------

QString locateIn(const QString& library, LibraryFolder kind, const QString& name)
{
    if (library.isEmpty())
        return {};
    const QString folder = folderIn(library, kind);
    const QString found = findFirstFile(folder, name, /*wildcards=*/false);
    return found.isEmpty() ? QString() : folder + found;
}

QStringList spellingsIn(const QString& library, LibraryFolder kind, const QString& name)
{
    QStringList same;
    if (library.isEmpty())
        return same;
    for (const QString& file : listMatchingFiles(folderIn(library, kind), kEveryFile)) {
        if (readableFileName(file).compare(name, Qt::CaseInsensitive) == 0)
            same << file;
    }
    return same;
}

QStringList picturesOfWordIn(const QString& library, const QString& word)
{
    QStringList found;
    if (library.isEmpty())
        return found;
    for (const QString& file : listMatchingFiles(folderIn(library, LibraryFolder::Pictures), kEveryFile)) {
        if (isPictureOf(file, word))
            found << file;
    }
    return found;
}

// --- lookups -------------------------------------------------------------------

void MediaLibrary::setLibraries(const QString& bundled, const QString& user)
{
    if (bundled == bundled_ && user == user_)
        return;
    bundled_ = bundled;
    user_ = user;
    judged_ = false;
}

const QStringList& MediaLibrary::folders(LibraryFolder kind)
{
    if (!judged_) {
        for (LibraryFolder each : {LibraryFolder::Letters, LibraryFolder::Words, LibraryFolder::Pictures}) {
            QStringList& list = folders_[std::size_t(each)];
            FolderTrouble& trouble = troubles_[std::size_t(each)];
            list.clear();
            trouble = user_.isEmpty() ? FolderTrouble{FolderTrouble::Missing, {}, {}} : troubleSaid(folderIn(user_, each));
            if (trouble.usable())
                list.append(folderIn(user_, each));
            list.append(folderIn(bundled_, each));
        }
        judged_ = true;
    }
    return folders_[std::size_t(kind)];
}

const FolderTrouble& MediaLibrary::userTrouble(LibraryFolder kind)
{
    folders(kind);
    return troubles_[std::size_t(kind)];
}

QString MediaLibrary::find(LibraryFolder kind, const QString& pattern)
{
    for (const QString& folder : folders(kind)) {
        const QString found = findFirstFile(folder, pattern);
        if (!found.isEmpty() && readableOrSaid(folder + found))
            return folder + found;
    }
    return {};
}

QString MediaLibrary::locate(LibraryFolder kind, const QString& name)
{
    const QStringList& looked = folders(kind);
    for (const QString& library : {looked.size() > 1 ? user_ : QString(), bundled_}) {
        const QString found = locateIn(library, kind, name);
        if (!found.isEmpty() && readableOrSaid(found))
            return found;
    }
    return {};
}

QList<LibraryPicture> MediaLibrary::pictures()
{
    const QStringList& pictureFolders = folders(LibraryFolder::Pictures);
    const QStringList bundled = listMatchingFiles(pictureFolders.last(), kEveryFile);
    return mergePictures(pictureFolders.size() > 1 ? listMatchingFiles(pictureFolders.first(), kEveryFile) : QStringList{},
                         bundled);
}

LibraryPicture MediaLibrary::pictureOf(const QString& word)
{
    const QStringList own = folders(LibraryFolder::Pictures).size() > 1 ? picturesOfWordIn(user_, word) : QStringList{};
    const QStringList bundled = picturesOfWordIn(bundled_, word);
    if (!own.isEmpty())
        return {own.front(), true, !bundled.isEmpty()};
    if (!bundled.isEmpty())
        return {bundled.front(), false, true};
    return {};
}

QString MediaLibrary::pathOf(const LibraryPicture& picture) const
{
    return folderIn(picture.own ? user_ : bundled_, LibraryFolder::Pictures) + picture.name;
}

QString MediaLibrary::pathOf(LibraryFolder kind, const QString& name)
{
    const QString found = locate(kind, name);
    return found.isEmpty() ? folderIn(bundled_, kind) + name : found;
}

}  // namespace quillo
