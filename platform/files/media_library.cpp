#include "platform/files/media_library.h"

#include "platform/base/log.h"
#include "platform/files/file_name.h"
#include "platform/files/file_search.h"
#include "platform/files/wildcard.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSet>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quillo {

QString folderName(LibraryFolder kind)
{
    switch (kind) {
    case LibraryFolder::Letters:
        return QStringLiteral("alfabeto");
    case LibraryFolder::Words:
        return QStringLiteral("parole");
    case LibraryFolder::Pictures:
        break;
    }
    return QStringLiteral("immagini");
}

QString folderIn(const QString& library, LibraryFolder kind)
{
    return library + u'/' + folderName(kind) + u'/';
}

QString wordOfPicture(const QString& fileName)
{
    return fileName.size() > 4 ? readableFileName(fileName).left(fileName.size() - 4) : QString();
}

// --- why a folder cannot be used ---------------------------------------------

namespace {

int statError(const QString& path, struct stat* info)
{
    return ::stat(encodeFileName(path).constData(), info) == 0 ? 0 : errno;
}

QString systemWords(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace

QString FolderTrouble::english() const
{
    switch (kind) {
    case None:
    case Missing:
        return {};
    case NotAFolder:
        return QStringLiteral("it is not a folder");
    case Unreadable:
        return QStringLiteral("it cannot be read (%1)").arg(detail);
    case Loop:
        return QStringLiteral("its links go round in a loop");
    case Other:
        break;
    }
    return detail;
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

bool usableOrSaid(const QString& folder)
{
    const FolderTrouble trouble = folderTrouble(folder);
    if (trouble.faulty()) {
        static QMutex mutex;
        static QSet<QString> said;
        const QMutexLocker lock(&mutex);
        if (!said.contains(trouble.path)) {
            said.insert(trouble.path);
            qCWarning(lcQuillo, "%s: left out, %s", qPrintable(readableFileName(trouble.path)),
                      qPrintable(trouble.english()));
        }
    }
    return trouble.usable();
}

// --- the pictures of both libraries --------------------------------------------

namespace {

// What makes two pictures the same word: their word, letter case aside. A
// name too short for a word stands for itself.
QString sameWordKey(const QString& name)
{
    const QString word = wordOfPicture(name);
    return (word.isEmpty() ? readableFileName(name) : word).toCaseFolded();
}

}  // namespace

QList<LibraryPicture> mergePictures(const QStringList& own, const QStringList& bundled)
{
    QHash<QString, LibraryPicture> byWord;
    auto add = [&byWord](const QStringList& names, bool isOwn) {
        // The names come sorted: the first of one word counts.
        QSet<QString> seen;
        for (const QString& name : names) {
            const QString key = sameWordKey(name);
            if (seen.contains(key))
                continue;
            seen.insert(key);
            const auto it = byWord.find(key);
            if (it == byWord.end())
                byWord.insert(key, LibraryPicture{name, isOwn, !isOwn});
            else if (!isOwn)
                it->bundledToo = true;  // the user's was put in first
        }
    };
    add(own, true);
    add(bundled, false);

    QStringList names;
    QHash<QString, LibraryPicture> byName;
    for (const LibraryPicture& picture : std::as_const(byWord)) {
        names.append(picture.name);
        byName.insert(picture.name, picture);
    }
    sortFileNames(names);
    QList<LibraryPicture> merged;
    merged.reserve(names.size());
    for (const QString& name : std::as_const(names))
        merged.append(byName.value(name));
    return merged;
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
            list.clear();
            if (!user_.isEmpty() && usableOrSaid(folderIn(user_, each)))
                list.append(folderIn(user_, each));
            list.append(folderIn(bundled_, each));
        }
        judged_ = true;
    }
    return folders_[std::size_t(kind)];
}

QString MediaLibrary::find(LibraryFolder kind, const QString& pattern)
{
    for (const QString& folder : folders(kind)) {
        const QString found = findFirstFile(folder, pattern);
        if (!found.isEmpty())
            return folder + found;
    }
    return {};
}

QString MediaLibrary::locate(LibraryFolder kind, const QString& name)
{
    for (const QString& folder : folders(kind)) {
        const QString found = findFirstFile(folder, name, /*wildcards=*/false);
        if (!found.isEmpty())
            return folder + found;
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

QString MediaLibrary::pathOf(LibraryFolder kind, const QString& name)
{
    const QString found = locate(kind, name);
    return found.isEmpty() ? folderIn(bundled_, kind) + name : found;
}

}  // namespace quillo
