#include "commands/word_list_commands.h"

#include "feedback/word_display.h"
#include "form/form.h"
#include "platform/files/wildcard.h"

namespace quillo {

void nextWord(const WordShow& show)
{
    PictureList& list = show.File1;
    list.setPattern(kEveryFile);
    const int i = list.selectedIndex();
    const int n = list.count();
    if (n == 0)
        return;  // nothing to select: the selection stays -1 and no word is shown
    list.setSelectedIndex(i >= n - 1 ? 0 : i + 1);
    ShowWord(show, list.fileName());
}

void previousWord(const WordShow& show)
{
    PictureList& list = show.File1;
    const int i = list.selectedIndex();
    list.setSelectedIndex(i > 0 ? i - 1 : list.count() - 1);
    ShowWord(show, list.fileName());
}

void toggleWordDisplay(const WordShow& show, WordModeButton& Parolasi)
{
    for (QWidget* control : {static_cast<QWidget*>(&show.esempio), static_cast<QWidget*>(&show.esempiopix),
                             static_cast<QWidget*>(&Parolasi)})
        control->setVisible(!control->isVisibleTo(control->window()));
    if (show.File1.count() > 0)
        show.File1.setSelectedIndex(0);
}

void toggleWordMode(WordModeButton& Parolasi)
{
    Parolasi.setValue(Parolasi.value() == 0 ? 1 : 0);
}

void Parolasi_Click(Form& form)
{
    form.File1.setPattern(kEveryFile);
    form.scrivo->setFocus();
}

}  // namespace quillo
