#include "word_library.h"

#include "atomic_file.h"
#include "photo_import.h"
#include "wav_file.h"
#include "word_name.h"

#include "platform/files/file_name.h"
#include "platform/files/file_search.h"
#include "platform/files/media_library.h"
#include "platform/files/user_media_folder.h"
#include "platform/files/wildcard.h"
#include "platform/program_folder.h"

namespace quillo::parole {

namespace {

QString lettersFolder(const QString& library) { return folderIn(library, LibraryFolder::Letters); }
QString wordsFolder(const QString& library) { return folderIn(library, LibraryFolder::Words); }
QString picturesFolder(const QString& library) { return folderIn(library, LibraryFolder::Pictures); }

// The names in a folder that are `name` but for letter case.
QStringList sameNames(const QString& folder, const QString& name)
{
    QStringList same;
    for (const QString& file : listMatchingFiles(folder, kEveryFile)) {
        if (readableFileName(file).compare(name, Qt::CaseInsensitive) == 0)
            same << file;
    }
    return same;
}

QStringList picturesOfWord(const QString& mediaFolder, const QString& word)
{
    QStringList found;
    for (const QString& file : listMatchingFiles(picturesFolder(mediaFolder), kEveryFile)) {
        if (wordOfPicture(file).compare(word, Qt::CaseInsensitive) == 0)
            found << file;
    }
    return found;
}

bool hasWord(const QString& mediaFolder, const QString& word)
{
    return !picturesOfWord(mediaFolder, word).isEmpty();
}

}  // namespace

QStringList Libraries::letterFolders() const
{
    return {lettersFolder(user), lettersFolder(bundled)};
}

Libraries Libraries::installed()
{
    return {RunningProgramFolder().path(), userMediaFolder()};
}

QList<WordEntry> listWords(const Libraries& libraries)
{
    // The pictures as Quillo offers them, from the folders Quillo would use,
    // each recording looked for as Quillo looks for it.
    MediaLibrary media(libraries.bundled, libraries.user);
    QList<WordEntry> entries;
    for (const LibraryPicture& picture : media.pictures()) {
        WordEntry entry;
        entry.word = wordOfPicture(picture.name);
        if (entry.word.isEmpty())
            continue;  // no word to show or say
        entry.picture = picturesFolder(picture.own ? libraries.user : libraries.bundled) + picture.name;
        entry.own = picture.own;
        entry.bundled = picture.bundledToo || !picture.own;
        entry.recording = media.locate(LibraryFolder::Words, entry.word + QStringLiteral(".wav"));
        entries << entry;
    }
    return entries;
}

QString addWord(const Libraries& libraries, const QString& word, const QImage& picture, const Recording& recording)
{
    if (const QString problem = wordNameProblem(word, libraries.letterFolders()); !problem.isEmpty())
        return problem;
    if (picture.isNull() && !hasWord(libraries.user, word) && !hasWord(libraries.bundled, word))
        return QStringLiteral("Scegli una foto per la parola «%1».").arg(word);
    if (picture.isNull() && recording.isEmpty())
        return QStringLiteral("Niente da salvare: scegli una foto o registra la tua voce per «%1».").arg(word);
    QString error;
    // The recording first: when the picture shows, its word can be heard.
    if (!recording.isEmpty()) {
        const QString words = wordsFolder(libraries.user);
        const QString name = word + QStringLiteral(".wav");
        if (!writeFileAtomically(words + name, encodeWav(recording), &error))
            return error;
        for (const QString& other : sameNames(words, name)) {
            if (other != name && !removeFile(words + other, &error))
                return error;
        }
    }
    if (!picture.isNull()) {
        const QString pictures = picturesFolder(libraries.user);
        const QString name = pictureFileName(word, picture);
        const QByteArray bytes = encodePicture(picture);
        if (bytes.isEmpty())
            return QStringLiteral("Non riesco a preparare la foto.");
        if (!writeFileAtomically(pictures + name, bytes, &error))
            return error;
        for (const QString& other : picturesOfWord(libraries.user, word)) {
            if (other != name && !removeFile(pictures + other, &error))
                return error;
        }
    }
    return {};
}

QString saveLetter(const Libraries& libraries, const QString& letter, const Recording& recording)
{
    if (const QString problem = letterNameProblem(letter); !problem.isEmpty())
        return problem;
    if (recording.isEmpty())
        return QStringLiteral("Registra prima la lettera.");
    const QString letters = lettersFolder(libraries.user);
    const QString name = letter + QStringLiteral(".wav");
    QString error;
    if (!writeFileAtomically(letters + name, encodeWav(recording), &error))
        return error;
    for (const QString& other : sameNames(letters, name)) {
        if (other != name && !removeFile(letters + other, &error))
            return error;
    }
    return {};
}

QString removeWord(const Libraries& libraries, const QString& word)
{
    const QStringList pictures = picturesOfWord(libraries.user, word);
    const QStringList recordings = sameNames(wordsFolder(libraries.user), word + QStringLiteral(".wav"));
    if (pictures.isEmpty() && recordings.isEmpty())
        return hasWord(libraries.bundled, word)
                   ? QStringLiteral("«%1» è una parola di Quillo: si può sostituire, non togliere.").arg(word)
                   : QStringLiteral("«%1» non è tra le tue parole.").arg(word);
    QString error;
    // The picture first: a word without a picture never comes up, whatever
    // becomes of its recording.
    for (const QString& file : pictures) {
        if (!removeFile(picturesFolder(libraries.user) + file, &error))
            return error;
    }
    for (const QString& file : recordings) {
        if (!removeFile(wordsFolder(libraries.user) + file, &error))
            return error;
    }
    return {};
}

}  // namespace quillo::parole
