#include "feedback/typing_handler.h"

#include "platform/base/failure.h"
#include "form/form.h"
#include "library/media_library.h"
#include "feedback/character_sound_player.h"
#include "feedback/word_display.h"
#include "platform/base/log.h"
#include "platform/files/file_name.h"
#include "platform/files/wildcard.h"

#include <cmath>

namespace quillo {

namespace {

void pickExampleWord(Form& form, const QString& character)
{
    Sound& sound = *form.platform().sound;
    sound.play(form.media().pathOf(LibraryFolder::Letters, kWordCue));

    form.File1.setPattern(character + kEveryFile);
    const QString shownBefore = form.esempio->text();
    // A picture taken away after the list noticed its folder last is gone
    // by the time it is loaded: said once, and another one is drawn.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int n = form.File1.count();
        const double u = form.platform().random->next();
        try {
            form.File1.setSelectedIndex(int(std::floor(u * n)));
        } catch (const Failure&) {
            // No picture for this character (n is 0): nothing is selected and
            // the word display below refuses the empty name.
        }
        const QString name = form.File1.fileName();
        try {
            ShowWord(wordShowOf(form), name);
            return;
        } catch (const PictureNotShown& failure) {
            if (failure.trouble.kind != PictureTrouble::Gone) {
                qCWarning(lcQuillo, "%s", qPrintable(failure.message()));
                return;
            }
            qCWarning(lcQuillo, "%s: gone since the pictures were listed, another one is drawn",
                      qPrintable(readableFileName(form.File1.filePath())));
            form.File1.forget(name);
        } catch (const Failure& failure) {
            if (name.isEmpty()) {
                if (attempt > 0)
                    form.esempio->setText(shownBefore);  // none of that letter is left
                return;
            }
            qCWarning(lcQuillo, "%s", qPrintable(failure.message()));
            return;
        }
    }
}

void praiseCompletedWord(Form& form, const QString& character)
{
    const QString word = form.esempio->text();
    if (word.isEmpty())
        return;
    // The sheet does not hold the character yet: append it to the sheet's end.
    const QString typed = form.scrivo->toPlainText().right(word.size() - 1) + character;
    if (typed.compare(word, Qt::CaseInsensitive) == 0)
        form.platform().sound->play(form.media().pathOf(LibraryFolder::Words, kPraiseSound));
}

}  // namespace

void scrivo_KeyPress(Form& form, const QString& character)
{
    if (form.Busy != 0)
        return;
    form.Busy = -1;
    form.media().lookAgain();  // a library changed meanwhile counts from this key
    if (form.SoundOff != 0) {
        form.Busy = 0;
        return;
    }
    const qint32 result = PlayWav(*form.platform().sound, form.media(), character);
    form.Busy = 0;
    if ((form.Parolasi->value() & result) != 0)
        pickExampleWord(form, character);
    else
        praiseCompletedWord(form, character);
    form.Busy = 0;
}

}  // namespace quillo
