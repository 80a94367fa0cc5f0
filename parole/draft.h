#pragma once

#include "recording.h"

#include <QImage>
#include <QString>

namespace quillo::parole {

// Work the parent had not saved when the session ended: the word, the photo
// chosen for it, the voice recorded. It is kept in the user's data folder,
// away from the family's library, until the next start offers it back.
struct Draft {
    QString word;
    QImage photo;
    Recording voice;
    bool isEmpty() const { return photo.isNull() && voice.isEmpty(); }
};

// Where the draft is kept: quillo-parole/bozza/ in the user's data folder
// ($XDG_DATA_HOME, by default ~/.local/share).
QString draftFolder();

// Keeps `draft`, in place of any kept before, whole or not at all. Empty on
// success, else why not, in Italian.
QString keepDraft(const Draft& draft);

// The draft kept, or an empty one when there is none (or it cannot be read:
// that is said on stderr).
Draft keptDraft();

// Forgets the draft kept.
void dropDraft();

// The question that offers it back.
QString resumeQuestion(const QString& word);

}  // namespace quillo::parole
