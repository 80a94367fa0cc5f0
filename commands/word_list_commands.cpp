#include "commands/word_list_commands.h"

#include "app/parla.h"

namespace quillo {

namespace {
const QString kAllFiles = QStringLiteral("*.*");
}

void nextWord(Parla& form)
{
    PictureList& list = form.File1;
    list.setPattern(kAllFiles);
    const int i = list.selectedIndex();
    const int n = list.count();
    if (n == 0)
        return;  // nothing to select: the selection stays -1 and no word is shown
    list.setSelectedIndex(i >= n - 1 ? 0 : i + 1);
    form.ShowWord(list.fileName());
}

void previousWord(Parla& form)
{
    PictureList& list = form.File1;
    const int i = list.selectedIndex();
    list.setSelectedIndex(i > 0 ? i - 1 : list.count() - 1);
    form.ShowWord(list.fileName());
}

void toggleWordDisplay(Parla& form)
{
    form.esempio->setVisible(!form.esempio->isVisibleTo(&form));
    form.esempiopix->setVisible(!form.esempiopix->isVisibleTo(&form));
    form.Parolasi->setVisible(!form.Parolasi->isVisibleTo(&form));
    if (form.File1.count() > 0)
        form.File1.setSelectedIndex(0);
}

void toggleWordMode(Parla& form)
{
    form.Parolasi->setValue(form.Parolasi->value() == 0 ? 1 : 0);
    form.Parolasi_Click();
}

void wordModeClicked(Parla& form)
{
    form.File1.setPattern(kAllFiles);
    form.scrivo->setFocus();
}

}  // namespace quillo
