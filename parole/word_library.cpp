#include "word_library.h"

#include "file_batch.h"
#include "library_lock.h"
#include "photo_import.h"
#include "wav_file.h"
#include "word_name.h"

#include "library/media_library.h"
#include "platform/files/file_search.h"


#include <optional>

namespace quillo::parole {

namespace {

QString lettersFolder(const MediaLibrary& libraries) { return folderIn(libraries.user(), LibraryFolder::Letters); }
QString wordsFolder(const MediaLibrary& libraries) { return folderIn(libraries.user(), LibraryFolder::Words); }
QString picturesFolder(const MediaLibrary& libraries) { return folderIn(libraries.user(), LibraryFolder::Pictures); }

// The libraries as they are now: whether a folder of the user's can be used
// is judged afresh.
MediaLibrary lookedAgain(const MediaLibrary& libraries)
{
    return {libraries.bundled(), libraries.user()};
}

QString wav(const QString& name)
{
    return name + QStringLiteral(".wav");
}

Owner ownerOf(bool yours, bool quillos)
{
    return yours ? (quillos ? Owner::YoursOverQuillo : Owner::Yours) : quillos ? Owner::Quillo : Owner::None;
}

// Whose one file of a kind is: in which library Quillo would find it.
Owner ownerOf(const MediaLibrary& libraries, LibraryFolder kind, const QString& name)
{
    return ownerOf(!locateIn(libraries.user(), kind, name).isEmpty(),
                   !locateIn(libraries.bundled(), kind, name).isEmpty());
}

// The entry of a picture of both libraries, with its recording as Quillo
// looks for it.
WordEntry entryOf(MediaLibrary& media, const LibraryPicture& picture)
{
    WordEntry entry;
    entry.word = wordOfPicture(picture.name);
    entry.picture = media.pathOf(picture);
    entry.own = picture.own;
    entry.bundled = picture.bundledToo || !picture.own;
    entry.recording = media.locate(LibraryFolder::Words, wav(entry.word));
    entry.pictureOwner = ownerOf(entry.own, entry.bundled);
    entry.voiceOwner = ownerOf(media, LibraryFolder::Words, wav(entry.word));
    return entry;
}

// A word of the user's that has a recording and no picture in either library:
// Quillo never shows it, but the parent sees it and can take it back.
WordEntry voiceOnlyEntry(MediaLibrary& media, const QString& word)
{
    WordEntry entry;
    entry.word = word;
    entry.recording = media.locate(LibraryFolder::Words, wav(word));
    entry.voiceOwner = ownerOf(media, LibraryFolder::Words, wav(word));
    return entry;
}

// The words of the user's recordings that no picture stands for, sorted.
QStringList wordsWithoutPicture(MediaLibrary& media)
{
    QStringList words;
    for (const QString& name : listMatchingFiles(folderIn(media.user(), LibraryFolder::Words), QStringLiteral("*.wav"))) {
        const QString word = name.chopped(4);
        if (!word.isEmpty() && name.compare(kPraiseSound, Qt::CaseInsensitive) != 0 && media.pictureOf(word).name.isEmpty())
            words << word;
    }
    return words;
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

int WordEntry::ownParts(int asked) const
{
    int parts = 0;
    if (pictureOwner == Owner::Yours || pictureOwner == Owner::YoursOverQuillo)
        parts |= PicturePart;
    if (voiceOwner == Owner::Yours || voiceOwner == Owner::YoursOverQuillo)
        parts |= VoicePart;
    return parts & asked;
}

QList<WordEntry> listWords(const MediaLibrary& libraries)
{
    // The pictures as Quillo offers them, from the folders Quillo would use.
    MediaLibrary media = lookedAgain(libraries);
    QList<WordEntry> entries;
    for (const LibraryPicture& picture : media.pictures()) {
        if (!wordOfPicture(picture.name).isEmpty())  // else no word to show or say
            entries << entryOf(media, picture);
    }
    const QStringList voiceOnly = wordsWithoutPicture(media);
    if (voiceOnly.isEmpty())
        return entries;
    for (const QString& word : voiceOnly)
        entries << voiceOnlyEntry(media, word);
    QStringList words;
    for (const WordEntry& entry : std::as_const(entries))
        words << entry.word;
    sortFileNames(words);
    std::stable_sort(entries.begin(), entries.end(), [&words](const WordEntry& a, const WordEntry& b) {
        return words.indexOf(a.word) < words.indexOf(b.word);
    });
    return entries;
}

WordEntry wordEntry(const MediaLibrary& libraries, const QString& word)
{
    MediaLibrary media = lookedAgain(libraries);
    const LibraryPicture picture = media.pictureOf(word);
    if (!picture.name.isEmpty())
        return entryOf(media, picture);
    const QStringList recordings = spellingsIn(libraries.user(), LibraryFolder::Words, wav(word));
    return recordings.isEmpty() ? WordEntry{} : voiceOnlyEntry(media, recordings.front().chopped(4));
}

LetterEntry letterEntry(const MediaLibrary& libraries, const QString& letter)
{
    MediaLibrary media = lookedAgain(libraries);
    return {letter, media.locate(LibraryFolder::Letters, wav(letter)), ownerOf(media, LibraryFolder::Letters, wav(letter))};
}

QString addWordProblem(const MediaLibrary& libraries, const QString& word, const QImage& picture,
                       const Recording& recording)
{
    MediaLibrary media = lookedAgain(libraries);
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
