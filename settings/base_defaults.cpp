#include "settings/base_defaults.h"

#include "app/parla.h"

namespace quillo {

void loadBaseDefaults(Parla& form)
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
