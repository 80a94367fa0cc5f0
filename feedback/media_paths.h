#pragma once

#include <QString>

namespace quillo::media {

// The three folders beside the program, each ending in a separator.
QString lettersFolder(const QString& mediaFolder);   // one recording per character
QString wordsFolder(const QString& mediaFolder);     // one recording per example word
QString picturesFolder(const QString& mediaFolder);  // one picture per example word

inline const QString kFallbackSound = QStringLiteral("boh.wav");
inline const QString kWordCue = QStringLiteral("d.wav");
inline const QString kPraiseSound = QStringLiteral("bravo.wav");
inline const QString kSavedFirst = QStringLiteral("o.wav");
inline const QString kSavedSecond = QStringLiteral("k.wav");

// The word a picture stands for: its file name without the last four
// characters (".png", ".jpg"). Empty for a name of four characters or fewer,
// which names no word. A name that is not UTF-8 gives its readable form.
QString wordOfPicture(const QString& fileName);

// The path of a named file in `folder`, its name found without regard to
// letter case. When no file matches, the path with the name as given (which
// will not play).
QString fileIn(const QString& folder, const QString& name);

}  // namespace quillo::media
