// The window's changes to the library beyond saving a word: a key's voice,
// taking back what the parent added, and following the library on disk.

#include "parole_window.h"

#include "lock_wait.h"
#include "questions.h"
#include "sentences.h"
#include "word_list_model.h"
#include "word_name.h"

#include "library/media_library.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLineEdit>

namespace quillo::parole {

void ParoleWindow::saveLetter()
{
    const QString letter = letter_->text();
    QString why;
    const auto lock = waitForLibrary(this, libraries_.user(), &why);
    if (lock)
        why = parole::saveLetter(libraries_, letter, voice_, lock.get());
    if (!why.isEmpty()) {
        showMessage(why, true);
        return;
    }
    voice_ = {};
    showMessage(letterSavedSentence(letter), false);
    updateButtons();
}

void ParoleWindow::removeParts(int parts)
{
    const QString word = wordFromTyped(word_->text());
    const WordEntry entry = wordEntry(libraries_, word);
    if (entry.ownParts(parts) == 0)
        return;
    if (voiceLeftAlone(entry, parts)) {
        switch (askPictureRemoval(this, removalQuestion(entry, parts))) {
        case PictureRemoval::Cancel: return;
        case PictureRemoval::Both: parts = BothParts; break;
        case PictureRemoval::PictureOnly: break;
        }
    } else if (!confirmRemoval(this, removalQuestion(entry, parts))) {
        return;
    }
    QString why;
    const auto lock = waitForLibrary(this, libraries_.user(), &why);
    if (lock)
        why = parole::removeWord(libraries_, word, parts, lock.get());
    if (!why.isEmpty()) {
        showMessage(why, true);
        return;
    }
    model_->reload();
    const int row = model_->rowOf(word);
    if (row >= 0) {
        selectWord(word);
        showEntry(row);
    } else {
        word_->clear();
        shownWord_.clear();
        shownRecording_.clear();
        showPreview({});
    }
    showMessage(removedSentence(entry, parts), false);
    updateButtons();
}

void ParoleWindow::removeLetter()
{
    const LetterEntry entry = letterEntry(libraries_, letter_->text());
    if (!confirmRemoval(this, letterRemovalQuestion(entry)))
        return;
    QString why;
    const auto lock = waitForLibrary(this, libraries_.user(), &why);
    if (lock)
        why = parole::removeLetter(libraries_, entry.letter, lock.get());
    if (!why.isEmpty()) {
        showMessage(why, true);
        return;
    }
    showMessage(letterRemovedSentence(entry), false);
    updateButtons();
}

void ParoleWindow::watchLibrary()
{
    QStringList folders;
    for (const QString& library : {libraries_.user(), libraries_.bundled()}) {
        for (const QString& folder : {library, folderIn(library, LibraryFolder::Pictures),
                                      folderIn(library, LibraryFolder::Words), folderIn(library, LibraryFolder::Letters)}) {
            if (QFileInfo(folder).isDir())
                folders << QFileInfo(folder).absoluteFilePath();
        }
    }
    // The user's library may not exist yet: its parent tells when it comes.
    folders << QFileInfo(libraries_.user()).absolutePath();
    folders.removeDuplicates();
    const QStringList watched = watcher_->directories();
    for (const QString& folder : std::as_const(folders)) {
        if (!watched.contains(folder))
            watcher_->addPath(folder);
    }
}

void ParoleWindow::libraryChanged()
{
    watchLibrary();
    model_->reload();
    // The row the parent was on stays chosen, and what they have not saved
    // stays in the form.
    selectWord(shownWord_.isEmpty() ? wordFromTyped(word_->text()) : shownWord_);
    const int row = model_->rowOf(shownWord_);
    if (row >= 0 && !unsaved())
        shownRecording_ = model_->entries().at(row).recording;
    updateButtons();
}

}  // namespace quillo::parole
