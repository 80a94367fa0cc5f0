#pragma once

#include "library/folder_trouble.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

namespace quillo {

// What a media library is, for Quillo and its two helpers alike. A library
// is a folder holding three folders: alfabeto/ (one recording per character
// and the shared sounds), parole/ (one recording per example word and the
// praise) and immagini/ (one picture per example word). Quillo reads two:
// the bundled one beside the program, and the family's own one
// ($XDG_DATA_HOME/quillo), which is looked in first and need not exist.
enum class LibraryFolder { Letters, Words, Pictures };

// "alfabeto", "parole" or "immagini".
QString folderName(LibraryFolder kind);
// The folder of that kind inside a library, ending in a separator.
QString folderIn(const QString& library, LibraryFolder kind);

// Recordings every library may hold besides the characters' and the words'.
inline const QString kFallbackSound = QStringLiteral("boh.wav");  // letters: a character without a recording
inline const QString kWordCue = QStringLiteral("d.wav");          // letters: before a new word
inline const QString kPraiseSound = QStringLiteral("bravo.wav");  // words: a word typed out
inline const QString kSavedFirst = QStringLiteral("o.wav");       // letters: after a save, then...
inline const QString kSavedSecond = QStringLiteral("k.wav");      // ...this one

// The word a picture stands for: its file name without the last four
// characters (".png", ".jpg"), in the name's letter case. Empty for a name of
// four characters or fewer, which names no word. A name that is not UTF-8
// gives its readable form (stray bytes as Latin-1, one character each).
QString wordOfPicture(const QString& fileName);
// Whether a picture stands for `word`: one word, letter case aside.
bool isPictureOf(const QString& fileName, const QString& word);

// Lookups in one library, whether or not its folders can be used (a folder
// that cannot be listed holds nothing); an empty library holds nothing.
// The path of the named file in the library's folder of that kind, letter
// case aside as findFirstFile finds it, or an empty string.
QString locateIn(const QString& library, LibraryFolder kind, const QString& name);
// Every file of that folder that is `name` but for letter case (the same
// name in two spellings), sorted.
QStringList spellingsIn(const QString& library, LibraryFolder kind, const QString& name);
// The library's pictures of a word (see isPictureOf), sorted: the first is
// the one that counts.
QStringList picturesOfWordIn(const QString& library, const QString& word);

// One picture of the two libraries' pictures put together.
struct LibraryPicture {
    QString name;             // its file name in its immagini/
    bool own = false;         // in the user's library
    bool bundledToo = false;  // the bundled library has its word as well
};
// The pictures Quillo offers from the user's and the bundled immagini/ (each
// as listMatchingFiles lists it): each word once, sorted by name. A user's
// picture takes the place of a bundled one of the same word, letter case
// aside. Of two pictures of one word in the same library, the first in that
// order counts (Gatto.jpg before gatto.png) and the other is never offered.
// A name too short for a word stands for itself.
QList<LibraryPicture> mergePictures(const QStringList& own, const QStringList& bundled);

// The two libraries as one: where each file is looked for. It is the only
// place that judges whether the user's folders can be used.
class MediaLibrary {
public:
    MediaLibrary() = default;
    MediaLibrary(const QString& bundled, const QString& user) { setLibraries(bundled, user); }
    // No change when both are the ones held. An empty user library: none.
    void setLibraries(const QString& bundled, const QString& user);
    const QString& bundled() const { return bundled_; }
    const QString& user() const { return user_; }

    // The folders of one kind a file is looked for in: the user's first when
    // it can be used, then the bundled one. Whether the user's can be used is
    // judged at the first lookup after lookAgain(), once per key, and a
    // fault said once (troubleSaid).
    const QStringList& folders(LibraryFolder kind);
    // Why the user's folder of that kind is left out, as folders() judged it
    // (kind None when it is used).
    const FolderTrouble& userTrouble(LibraryFolder kind);
    void lookAgain() { judged_ = false; }

    // The path of the first file that matches `pattern` ('*' and '?' are
    // wildcards, letter case aside) in the first folder that holds one, or
    // an empty string.
    QString find(LibraryFolder kind, const QString& pattern);
    // The path of a named file in the first folder that holds it, letter case
    // aside. When none does, the name in the bundled folder (which will not
    // play, so the default sound is heard).
    QString pathOf(LibraryFolder kind, const QString& name);
    // The same, but empty when no folder holds it.
    QString locate(LibraryFolder kind, const QString& name);
    // The pictures of the folders(Pictures), put together by mergePictures.
    QList<LibraryPicture> pictures();
    // The one picture of a word that pictures() would offer, letter case
    // aside; an empty name when neither library has one.
    LibraryPicture pictureOf(const QString& word);
    // Where a picture of pictures() or pictureOf() is.
    QString pathOf(const LibraryPicture& picture) const;

private:
    QString bundled_;
    QString user_;
    bool judged_ = false;
    std::array<QStringList, 3> folders_;
    std::array<FolderTrouble, 3> troubles_;
};

}  // namespace quillo
