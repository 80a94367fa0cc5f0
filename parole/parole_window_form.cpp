// The form following the word typed in it: its photo, its owners, its row.

#include "parole_window.h"

#include "photo_import.h"
#include "sentences.h"
#include "word_list_model.h"
#include "word_name.h"

#include <QLineEdit>

namespace quillo::parole {

QImage ParoleWindow::pictureOf(const WordEntry& entry)
{
    QString ignored;
    return entry.picture.isEmpty() ? QImage() : readPhoto(entry.picture, &ignored);
}

void ParoleWindow::showOwners(const WordEntry& entry)
{
    showMessage(QStringLiteral("«%1»: foto %2, voce %3.")
                    .arg(entry.word, ownerText(entry.pictureOwner), ownerText(entry.voiceOwner)),
                false);
}

void ParoleWindow::wordTyped()
{
    // The form speaks of the typed word alone: a listed one is shown with
    // its photo, a new one with the photo chosen for it, if any.
    const QString word = wordFromTyped(word_->text());
    const int row = word.isEmpty() ? -1 : model_->rowOf(word);
    shownWord_ = row >= 0 ? model_->entries().at(row).word : QString();
    shownRecording_ = row >= 0 ? model_->entries().at(row).recording : QString();
    selectWord(shownWord_);
    if (photo_.isNull())
        showPreview(row >= 0 ? pictureOf(model_->entries().at(row)) : QImage());
    if (row >= 0)
        showOwners(model_->entries().at(row));
    updateButtons();
}

}  // namespace quillo::parole
