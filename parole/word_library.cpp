// Changes to the family's library: words and keys added, replaced and
// removed, each whole or not at all, under the library's lock.
#include "word_library.h"

#include "file_batch.h"
#include "library_lock.h"
#include "photo_import.h"
#include "wav_file.h"
#include "word_name.h"

#include "library/media_library.h"

#include <optional>

namespace quillo::parole {

namespace {

QString lettersFolder(const MediaLibrary& libraries) { return folderIn(libraries.user(), LibraryFolder::Letters); }
QString wordsFolder(const MediaLibrary& libraries) { return folderIn(libraries.user(), LibraryFolder::Words); }
QString picturesFolder(const MediaLibrary& libraries) { return folderIn(libraries.user(), LibraryFolder::Pictures); }

QString wav(const QString& name)
{
    return name + QStringLiteral(".wav");
}

// Removes every one of `names` but `kept` from the user's `folder` with the
// rest of the change.
void removeOthers(FileBatch& batch, const QString& folder, const QStringList& names, const QString& kept = {})
{
    for (const QString& other : names) {
        if (other != kept)
            batch.remove(folder + other);
    }
}

QString journalOf(const MediaLibrary& libraries)
{
    return libraries.user() + QStringLiteral("/.unfinished-change");
}

// Holds the library for one change: with the lock given, or one taken here
// (waiting for another change to end). Empty when held, else why not.
QString hold(const MediaLibrary& libraries, const LibraryLock*& held, std::optional<LibraryLock>& own)
{
    if (!held)
        held = &own.emplace(libraries.user());
    if (!held->locked())
        return held->problem();
    tidyLibrary(libraries);
    return {};
}

QString commit(FileBatch& batch)
{
    return batch.commit() ? QString() : batch.problem();
}

}  // namespace

QString addWordProblem(const MediaLibrary& libraries, const QString& word, const QImage& picture,
                       const Recording& recording)
{
    // Whether a folder of the user's can be used is judged afresh.
    MediaLibrary media(libraries.bundled(), libraries.user());
    if (const QString problem = wordNameProblem(word, media); !problem.isEmpty())
        return problem;
    if (picture.isNull() && media.pictureOf(word).name.isEmpty())
        return QStringLiteral("Scegli una foto per la parola «%1».").arg(word);
    if (picture.isNull() && recording.isEmpty())
        return QStringLiteral("Niente da salvare: scegli una foto o registra la tua voce per «%1».").arg(word);
    return {};
}

QString addWord(const MediaLibrary& libraries, const QString& word, const QImage& picture, const Recording& recording,
                const LibraryLock* held)
{
    if (const QString problem = addWordProblem(libraries, word, picture, recording); !problem.isEmpty())
        return problem;
    const QByteArray pictureBytes = picture.isNull() ? QByteArray() : encodePicture(picture);
    if (!picture.isNull() && pictureBytes.isEmpty())
        return QStringLiteral("Non riesco a preparare la foto.");
    std::optional<LibraryLock> own;
    if (const QString problem = hold(libraries, held, own); !problem.isEmpty())
        return problem;
    // Both files are written before either takes its place: the word gets
    // its picture and its voice together, or keeps what it had.
    FileBatch batch(journalOf(libraries));
    if (!recording.isEmpty()) {
        const QString name = wav(word);
        if (!batch.write(wordsFolder(libraries) + name, encodeWav(recording)))
            return batch.problem();
        removeOthers(batch, wordsFolder(libraries), spellingsIn(libraries.user(), LibraryFolder::Words, name), name);
    }
    if (!picture.isNull()) {
        const QString name = pictureFileName(word, picture);
        if (!batch.write(picturesFolder(libraries) + name, pictureBytes))
            return batch.problem();
        removeOthers(batch, picturesFolder(libraries), picturesOfWordIn(libraries.user(), word), name);
    }
    return commit(batch);
}

QString saveLetter(const MediaLibrary& libraries, const QString& letter, const Recording& recording,
                   const LibraryLock* held)
{
    if (const QString problem = letterNameProblem(letter); !problem.isEmpty())
        return problem;
    if (recording.isEmpty())
        return QStringLiteral("Registra prima la lettera.");
    const QString name = wav(letter);
    std::optional<LibraryLock> own;
    if (const QString problem = hold(libraries, held, own); !problem.isEmpty())
        return problem;
    FileBatch batch(journalOf(libraries));
    if (!batch.write(lettersFolder(libraries) + name, encodeWav(recording)))
        return batch.problem();
    removeOthers(batch, lettersFolder(libraries), spellingsIn(libraries.user(), LibraryFolder::Letters, name), name);
    return commit(batch);
}

QString removeWord(const MediaLibrary& libraries, const QString& word, int parts, const LibraryLock* held)
{
    const QStringList pictures = (parts & PicturePart) ? picturesOfWordIn(libraries.user(), word) : QStringList();
    const QStringList recordings =
        (parts & VoicePart) ? spellingsIn(libraries.user(), LibraryFolder::Words, wav(word)) : QStringList();
    if (pictures.isEmpty() && recordings.isEmpty()) {
        const bool quillos = !picturesOfWordIn(libraries.bundled(), word).isEmpty();
        if (parts == PicturePart && quillos)
            return QStringLiteral("La foto di «%1» è di Quillo: si può sostituire, non togliere.").arg(word);
        if (parts == VoicePart)
            return QStringLiteral("«%1» non ha la tua voce.").arg(word);
        if (parts == PicturePart && !spellingsIn(libraries.user(), LibraryFolder::Words, wav(word)).isEmpty())
            return QStringLiteral("«%1» non ha la tua foto: ha solo la tua voce (remove %1 --voice la toglie).").arg(word);
        return quillos ? QStringLiteral("«%1» è una parola di Quillo: si può sostituire, non togliere.").arg(word)
                       : QStringLiteral("«%1» non è tra le tue parole.").arg(word);
    }
    std::optional<LibraryLock> own;
    if (const QString problem = hold(libraries, held, own); !problem.isEmpty())
        return problem;
    // The picture first: a word without a picture never comes up, whatever
    // becomes of its recording.
    FileBatch batch(journalOf(libraries));
    removeOthers(batch, picturesFolder(libraries), pictures);
    removeOthers(batch, wordsFolder(libraries), recordings);
    return commit(batch);
}

QString removeLetter(const MediaLibrary& libraries, const QString& letter, const LibraryLock* held)
{
    if (const QString problem = letterNameProblem(letter); !problem.isEmpty())
        return problem;
    const QStringList recordings = spellingsIn(libraries.user(), LibraryFolder::Letters, wav(letter));
    if (recordings.isEmpty())
        return QStringLiteral("Il tasto «%1» non ha la tua voce.").arg(letter);
    std::optional<LibraryLock> own;
    if (const QString problem = hold(libraries, held, own); !problem.isEmpty())
        return problem;
    FileBatch batch(journalOf(libraries));
    removeOthers(batch, lettersFolder(libraries), recordings);
    return commit(batch);
}

void tidyLibrary(const MediaLibrary& libraries)
{
    FileBatch::undoUnfinished(journalOf(libraries));
    for (const QString& folder : {lettersFolder(libraries), wordsFolder(libraries), picturesFolder(libraries)})
        FileBatch::removeLeftovers(folder, kLeftoverSeconds);
}

}  // namespace quillo::parole
