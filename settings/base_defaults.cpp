#include "settings/base_defaults.h"

#include "form/form.h"

namespace quillo {

void LoadBaseDefaults(Form& form)
{
    form.SoundOff = 0;
    form.scrivo->setFontName(QStringLiteral("Arial"));
    form.scrivo->setFontSize(48);
    form.scrivo->setBackColor(0xFFFFFF);
    form.scrivo->setForeColor(0);
    form.Parolasi->setValue(1);
    form.esempio->setVisible(true);
    form.esempiopix->setVisible(true);
    form.Parolasi->setVisible(true);
}

}  // namespace quillo
