#pragma once

#include <QString>

namespace quillo {
class MediaLibrary;
}

namespace quillo::parole {

// The longest word a parent may add, in characters.
inline constexpr int kLongestWord = 64;

// The word a parent typed, as the window and the command line both take it:
// spaces at either end left out.
QString wordFromTyped(const QString& typed);

// Why `word` cannot be a word of the library, in Italian, for the parent to
// read; empty when it can. The word becomes a file name, so the rules are
// Quillo's own for names, and its first character must have a key recording
// where Quillo looks for it in `libraries`, or the word could never come up.
QString wordNameProblem(const QString& word, MediaLibrary& libraries);

// The same for a key whose letter is recorded: one character that can name a file.
QString letterNameProblem(const QString& letter);

// The first character of a word, a surrogate pair kept whole.
QString firstCharacter(const QString& word);

}  // namespace quillo::parole
