#include "commands/word_list_commands.h"

#include "feedback/word_display.h"
#include "form/form.h"
#include "platform/files/wildcard.h"

namespace quillo {

void nextWord(Form& form)
{
    PictureList& list = form.File1;
    list.setPattern(kEveryFile);
    const int i = list.selectedIndex();
    const int n = list.count();
    if (n == 0)
        return;  // nothing to select: the selection stays -1 and no word is shown
    list.setSelectedIndex(i >= n - 1 ? 0 : i + 1);
    ShowWord(form, list.fileName());
}

void previousWord(Form& form)
{
    PictureList& list = form.File1;
    const int i = list.selectedIndex();
    list.setSelectedIndex(i > 0 ? i - 1 : list.count() - 1);
    ShowWord(form, list.fileName());
}

void toggleWordDisplay(Form& form)
{
    for (QWidget* control : {static_cast<QWidget*>(form.esempio), static_cast<QWidget*>(form.esempiopix),
                             static_cast<QWidget*>(form.Parolasi)})
        control->setVisible(!control->isVisibleTo(control->window()));
    if (form.File1.count() > 0)
        form.File1.setSelectedIndex(0);
}

void toggleWordMode(Form& form)
{
    form.Parolasi->setValue(form.Parolasi->value() == 0 ? 1 : 0);
    Parolasi_Click(form);
}

void Parolasi_Click(Form& form)
{
    form.File1.setPattern(kEveryFile);
    form.scrivo->setFocus();
}

}  // namespace quillo
