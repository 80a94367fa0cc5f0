#include "commands/window_commands.h"

#include "form/form.h"
#include "form/quit_hold.h"
#include "settings/base_defaults.h"
#include "settings/settings_file.h"

#include <QPlainTextEdit>

namespace quillo {

namespace {

void soundAndWordsBack(const Appearance& appearance)
{
    appearance.SoundOff = 0;
    appearance.esempio.setVisible(true);
    appearance.esempiopix.setVisible(true);
    appearance.look.wordMode.setVisible(true);
}

}  // namespace

Appearance appearanceOf(Form& form)
{
    return {lookPartsOf(form), form.SoundOff, *form.esempio, *form.esempiopix};
}

void applyStoredAppearance(const Appearance& appearance, const SettingsStore& store)
{
    LoadSavedSettings(appearance.look, store);
    soundAndWordsBack(appearance);
}

void applyBaseAppearance(const Appearance& appearance)
{
    LoadBaseDefaults(appearance.look);
    soundAndWordsBack(appearance);
}

short nextCornerValue(short corner)
{
    const int sum = int(corner) + 10;  // wider than 16 bits: a stored 32767 cannot overflow
    return sum > 180 ? short(0) : short(sum);
}

void nextCornerStep(const Corners& corners)
{
    corners.radius = nextCornerValue(corners.radius);
    roundOutlines(corners);
}

void quit(QuitHold& hold, const std::function<void()>& endProgram)
{
    if (hold.enabled())
        hold.start();
    else
        endProgram();
}

void toggleSound(qint16& SoundOff)
{
    SoundOff = qint16(~SoundOff);
}

void clearSheet(QPlainTextEdit& sheet)
{
    sheet.setPlainText(QString());
}

}  // namespace quillo
