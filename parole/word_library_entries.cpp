// What the lists of the family's words and keys show: each word and key
// with whose picture and voice Quillo would take, read afresh each time.
#include "word_library.h"

#include "library/media_library.h"
#include "platform/files/file_search.h"

#include <QHash>

#include <algorithm>

namespace quillo::parole {

namespace {

QString wav(const QString& name)
{
    return name + QStringLiteral(".wav");
}

// The libraries as they are now: whether a folder of the user's can be used
// is judged afresh.
MediaLibrary lookedAgain(const MediaLibrary& libraries)
{
    return {libraries.bundled(), libraries.user()};
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
    // Each in its place among the pictures' words, as file names sort.
    QStringList words;
    for (const WordEntry& entry : std::as_const(entries))
        words << entry.word;
    sortFileNames(words);
    QHash<QString, qsizetype> place;
    for (qsizetype i = 0; i < words.size(); ++i)
        place.insert(words[i], i);
    std::stable_sort(entries.begin(), entries.end(), [&place](const WordEntry& a, const WordEntry& b) {
        return place.value(a.word) < place.value(b.word);
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

}  // namespace quillo::parole
