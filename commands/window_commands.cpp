#include "commands/window_commands.h"

#include "app/parla.h"

namespace quillo {

void applyStoredAppearance(Parla& form)
{
    form.LoadSavedSettings();
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

void nextCornerStep(Parla& form)
{
    form.CornerRadius = nextCornerValue(form.CornerRadius);
    form.Arrotondata(form.scrivo);
    form.Arrotondata(form.esempio);
}

void toggleSound(Parla& form)
{
    form.SoundOff = qint16(~form.SoundOff);
}

void clearSheet(Parla& form)
{
    form.scrivo->setPlainText(QString());
}

}  // namespace quillo
