#pragma once

#include <QString>

class QWidget;

namespace quillo::parole {

// The window's questions to the parent, as message boxes with Italian
// buttons. Each button carries an object name ("save", "discard", "stay";
// "confirm", "cancel"; "resume", "drop") by which it can be found.

enum class UnsavedChoice { Save, Discard, Stay };

// The parent is about to leave a word whose photo or voice is not saved.
UnsavedChoice askAboutUnsaved(QWidget* parent, const QString& what);

// Whether to go on with a removal that `question` describes.
bool confirmRemoval(QWidget* parent, const QString& question);

// Whether to take back the work left when the last session ended.
bool askToResume(QWidget* parent, const QString& question);

// Removing a word's picture would leave the family's voice of it behind:
// whether to take the voice too ("both", "pictureOnly", "cancel").
enum class PictureRemoval { Both, PictureOnly, Cancel };
PictureRemoval askPictureRemoval(QWidget* parent, const QString& question);

}  // namespace quillo::parole
