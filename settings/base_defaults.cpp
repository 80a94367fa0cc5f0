#include "settings/base_defaults.h"

#include "form/form.h"
#include "settings/stored_look.h"

namespace quillo {

void LoadBaseDefaults(Form& form)
{
    form.SoundOff = 0;
    for (const LookSetting& setting : storedLook()) {
        if (setting.inBuiltInLook)
            setting.apply(form, setting.builtIn);
    }
    form.esempio->setVisible(true);
    form.esempiopix->setVisible(true);
    form.Parolasi->setVisible(true);
}

}  // namespace quillo
