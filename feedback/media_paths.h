#pragma once

#include <QString>
#include <QStringList>

namespace quillo {
class Form;
}

namespace quillo::media {

// The three folders of a media library, each ending in a separator.
QString lettersFolder(const QString& mediaFolder);   // one recording per character
QString wordsFolder(const QString& mediaFolder);     // one recording per example word
QString picturesFolder(const QString& mediaFolder);  // one picture per example word

// The two libraries a file is looked for in: the family's own (empty for
// none; it need not exist), then the one beside the program.
struct Libraries {
    QString own;
    QString bundled;
};
Libraries librariesOf(const Form& form);

// The same folder of each library, in the order a file is looked for in
// them: the user's own first, when it can be listed (a missing one is left
// out in silence, any other trouble is said once), then the one beside the
// program.
QStringList lettersFolders(const Libraries& libraries);
QStringList wordsFolders(const Libraries& libraries);
inline QStringList lettersFolders(const Form& form) { return lettersFolders(librariesOf(form)); }
inline QStringList wordsFolders(const Form& form) { return wordsFolders(librariesOf(form)); }
// The pictures folder of the user's own library, read beside the bundled
// one; empty when there is no user library.
QString userPicturesFolder(const Form& form);

inline const QString kFallbackSound = QStringLiteral("boh.wav");
inline const QString kWordCue = QStringLiteral("d.wav");
inline const QString kPraiseSound = QStringLiteral("bravo.wav");
inline const QString kSavedFirst = QStringLiteral("o.wav");
inline const QString kSavedSecond = QStringLiteral("k.wav");

// The word a picture stands for: its file name without the last four
// characters (".png", ".jpg"). Empty for a name of four characters or fewer,
// which names no word. A name that is not UTF-8 gives its readable form.
QString wordOfPicture(const QString& fileName);

// The path of a named file in the first of `folders` that holds it, its name
// found without regard to letter case. When none does, the path with the name
// as given in the last folder (which will not play).
QString fileIn(const QStringList& folders, const QString& name);

// The path of the first file that matches `pattern` ('*' and '?' are
// wildcards) in the first of `folders` that holds one, or an empty string.
QString findIn(const QStringList& folders, const QString& pattern);

}  // namespace quillo::media
