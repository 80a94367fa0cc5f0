#pragma once

#include "word_library.h"

#include <QString>

namespace quillo::parole {

// What the window and the command line tell the parent, word for word the
// same in both.

// The list's words for whose a picture or a voice is: a few words, short
// enough for a narrow column.
QString ownerText(Owner owner);
// The same said whole, for the list's tooltips.
QString ownerSentence(Owner owner, bool picture);

// Whether removing `parts` of `entry` takes its picture off the list and
// leaves the family's voice of it behind, unheard until a picture comes.
bool voiceLeftAlone(const WordEntry& entry, int parts);

QString addedSentence(const QString& word, bool replacing, bool withVoice);
QString letterSavedSentence(const QString& letter);

// Before removing: what of `entry` goes for `parts` (the family's picture,
// voice, or both) and what of Quillo's comes back, as a question.
QString removalQuestion(const WordEntry& entry, int parts);
// After: the same as done. `entry` is the word as it was before.
QString removedSentence(const WordEntry& entry, int parts);

QString letterRemovalQuestion(const LetterEntry& entry);
QString letterRemovedSentence(const LetterEntry& entry);

}  // namespace quillo::parole
