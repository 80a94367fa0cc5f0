// The window at the end of a session: the parent's unsaved work kept as a
// draft, outside the library, and offered back at the next start.

#include "parole_window.h"

#include "draft.h"
#include "questions.h"

#include <QLineEdit>
#include <QTreeView>

#include <cstdio>

namespace quillo::parole {

bool ParoleWindow::keepUnsavedWork()
{
    if (recorder_.recording())
        finishRecording();
    if (!unsaved())
        return true;
    if (const QString why = keepDraft({word_->text().trimmed(), photo_, voice_}); !why.isEmpty()) {
        // The session is ending: stderr is all that may still be read.
        std::fprintf(stderr, "quillo-parole: %s\n", why.toUtf8().constData());
        showMessage(why, true);
        return false;
    }
    draftKept_ = true;
    return true;
}

void ParoleWindow::endSession()
{
    keepUnsavedWork();
    ending_ = true;
    close();
}

void ParoleWindow::forgetDraft()
{
    if (!draftKept_)
        return;
    dropDraft();
    draftKept_ = false;
}

void ParoleWindow::offerDraft()
{
    const Draft draft = keptDraft();
    if (draft.isEmpty()) {
        dropDraft();
        return;
    }
    if (!askToResume(this, resumeQuestion(draft.word))) {
        dropDraft();
        return;
    }
    following_ = true;
    list_->clearSelection();
    following_ = false;
    word_->setText(draft.word);
    shownWord_.clear();
    shownRecording_.clear();
    photo_ = draft.photo;
    voice_ = draft.voice;
    showPreview(photo_);
    // Kept until it is saved or given up, in case this session ends too.
    draftKept_ = true;
    showMessage(QStringLiteral("Ecco il lavoro lasciato a metà: quando è pronto, salva."), false);
    updateButtons();
}

}  // namespace quillo::parole
