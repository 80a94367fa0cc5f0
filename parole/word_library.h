#pragma once

#include "recording.h"

#include "library/media_library.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

namespace quillo::parole {

class LibraryLock;

// Every function below takes the two libraries Quillo reads (the bundled one,
// never written here, and the family's own, where every change goes; see
// installedLibraries) and looks at them afresh, as Quillo does at each key.

// Whose one part of a word (its picture, its voice) is.
enum class Owner {
    None,             // it has none
    Quillo,           // the bundled library's
    Yours,            // the family's
    YoursOverQuillo,  // the family's, in the place of the bundled one
};

// The parts of a word that a parent may take back one by one.
enum Part { PicturePart = 1, VoicePart = 2, BothParts = PicturePart | VoicePart };

// One word of the list: the picture and recording Quillo would use for it.
struct WordEntry {
    QString word;
    QString picture;    // path of the picture that counts, the user's first
    QString recording;  // path of the word's recording, empty when it has none
    bool own = false;        // the picture is the family's
    bool bundled = false;    // the bundled library has the word too
    Owner pictureOwner = Owner::None;
    Owner voiceOwner = Owner::None;
    // The parts of the family's that it has, of `asked`.
    int ownParts(int asked = BothParts) const;
};

// One key's recording as Quillo would play it.
struct LetterEntry {
    QString letter;
    QString recording;  // the file that counts, the user's first; empty when none
    Owner owner = Owner::None;
};

// Every word of both libraries, sorted as Quillo sorts them. A word of the
// user's takes the place of the bundled one of the same name (letter case
// aside).
QList<WordEntry> listWords(const MediaLibrary& libraries);

// Adds a word to the user's library, or replaces it there: writes the
// recording to parole/WORD.wav and the picture to immagini/ (the old picture
// of the same word with another extension goes), both written beside their
// names first and then put in place together: a save that fails at any step
// leaves the library as it was (see FileBatch). `picture` may be null for a word that either
// library has already, `recording` empty to keep the recording it has.
// An empty string on success, else why not, in Italian.
QString addWord(const MediaLibrary& libraries, const QString& word, const QImage& picture, const Recording& recording,
                const LibraryLock* held = nullptr);

// Why addWord would refuse these before it writes anything (the word's name,
// nothing to save); empty when it would not.
QString addWordProblem(const MediaLibrary& libraries, const QString& word, const QImage& picture,
                       const Recording& recording);

// Records a key's letter into the user's alfabeto/.
QString saveLetter(const MediaLibrary& libraries, const QString& letter, const Recording& recording,
                   const LibraryLock* held = nullptr);

// The recording a key has, and whose.
LetterEntry letterEntry(const MediaLibrary& libraries, const QString& letter);

// The entry of one word, as listWords gives it; an empty word when neither
// library has a picture for it.
WordEntry wordEntry(const MediaLibrary& libraries, const QString& word);

// Removes the user's parts of a word that `parts` asks for: its picture,
// its recording, or both. The bundled library is never touched: what it has
// of the word comes back in the place of the user's. A word whose only
// picture was the user's leaves the list.
QString removeWord(const MediaLibrary& libraries, const QString& word, int parts = BothParts,
                   const LibraryLock* held = nullptr);

// Removes the user's recording of a key; Quillo's own, if any, comes back.
QString removeLetter(const MediaLibrary& libraries, const QString& letter, const LibraryLock* held = nullptr);

// Every change above holds the library's lock while it writes, so that two
// at once never mix their files: `held` when the caller holds it already,
// else one taken there, waiting for another change to end. Each change is
// all or nothing.

// Undoes a change that a crash cut short and removes the hidden files that
// changes cut short left, older than kLeftoverSeconds. Only with the lock
// held; every change above does it first.
void tidyLibrary(const MediaLibrary& libraries);
inline constexpr int kLeftoverSeconds = 180;

}  // namespace quillo::parole
