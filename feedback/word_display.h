#pragma once

#include "library/picture_loader.h"
#include "platform/base/failure.h"

#include <QString>

class QLabel;
class QLineEdit;

namespace quillo {

class Form;
class MediaLibrary;
class PictureList;
class Sound;

// What shows an example word: the word box, the picture and the picture list
// the word comes from, with the sound and the media library that give the
// word its recording.
struct WordShow {
    QLineEdit& esempio;
    QLabel& esempiopix;
    PictureList& File1;
    Sound& sound;
    MediaLibrary& media;
};
// The form's own word box, picture and picture list.
WordShow wordShowOf(Form& form);

// A picture that could not be shown, with why (its kind tells a picture
// gone since it was listed from one that is there but cannot be shown).
class PictureNotShown : public Failure {
public:
    explicit PictureNotShown(const PictureTrouble& trouble) : Failure(trouble.message), trouble(trouble) {}
    PictureTrouble trouble;
};

// Shows the picture named `fileName` from the picture list's folders: its
// word (the file name less its last four characters) in the word box, the
// picture, and the word's recording. Throws Failure for a name shorter than
// four characters (nothing changes) and PictureNotShown for a picture that
// cannot be loaded (the word has changed, the old picture stays, no
// recording plays).
void ShowWord(const WordShow& show, const QString& fileName);

}  // namespace quillo
