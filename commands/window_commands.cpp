#include "commands/window_commands.h"

#include "form/form.h"
#include "form/rounded_outline.h"
#include "settings/settings_file.h"

namespace quillo {

void applyStoredAppearance(Form& form)
{
    LoadSavedSettings(form);
    form.SoundOff = 0;
    form.esempio->setVisible(true);
    form.esempiopix->setVisible(true);
    form.Parolasi->setVisible(true);
}

short nextCornerValue(short corner)
{
    const int sum = int(corner) + 10;  // wider than 16 bits: a stored 32767 cannot overflow
    return sum > 180 ? short(0) : short(sum);
}

void nextCornerStep(Form& form)
{
    form.CornerRadius = nextCornerValue(form.CornerRadius);
    Arrotondata(form, form.scrivo);
    Arrotondata(form, form.esempio);
}

void quit(Form& form)
{
    if (form.quitHold.enabled())
        form.quitHold.start();
    else
        form.endProgram();
}

void toggleSound(Form& form)
{
    form.SoundOff = qint16(~form.SoundOff);
}

void clearSheet(Form& form)
{
    form.scrivo->setPlainText(QString());
}

}  // namespace quillo
