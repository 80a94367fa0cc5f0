#pragma once

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

// Why a folder of a library cannot be used. A missing folder is no fault of
// the library (it may simply not have one): kind Missing, said nowhere.
struct FolderTrouble {
    enum Kind { None, Missing, NotAFolder, Unreadable, Loop, Other };
    Kind kind = None;
    QString path;    // the path at fault: the folder, or the folder above it that fails
    QString detail;  // the system's words for Unreadable and Other
    bool usable() const { return kind == None; }
    bool faulty() const { return kind != None && kind != Missing; }
    QString english() const;  // "it is not a folder", ...
    QString italian() const;  // "non è una cartella", ...
};
// Looks afresh: a folder that appears or is mended counts at once.
FolderTrouble folderTrouble(const QString& folder);
// folderTrouble, with a fault said once a run on stderr for the path at
// fault ("PATH: left out, it is not a folder"), so that a fault shared by
// several folders below it is said once for all.
bool usableOrSaid(const QString& folder);

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

// The two libraries as one: where each file is looked for.
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
    // judged at the first lookup after lookAgain(), once per key.
    const QStringList& folders(LibraryFolder kind);
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

private:
    QString bundled_;
    QString user_;
    bool judged_ = false;
    std::array<QStringList, 3> folders_;
};

}  // namespace quillo
