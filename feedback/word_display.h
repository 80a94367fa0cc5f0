#pragma once

#include <QString>

namespace quillo {

class Form;

// Shows the picture list's selected entry: its word (the file name less its
// last four characters) in the word box, the picture, and the word's
// recording. Throws Failure for a name shorter than four characters (nothing
// changes) and for a picture that cannot be loaded (the word has changed,
// the old picture stays, no recording plays).
void ShowWord(Form& form, const QString& fileName);

}  // namespace quillo
