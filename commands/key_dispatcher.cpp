#include "commands/key_dispatcher.h"

#include "platform/base/failure.h"
#include "form/form.h"
#include "form/key_codes.h"
#include "commands/appearance_commands.h"
#include "commands/help_box.h"
#include "commands/window_commands.h"
#include "commands/word_list_commands.h"
#include "settings/base_defaults.h"
#include "settings/settings_file.h"
#include "platform/base/log.h"

#include <exception>

namespace quillo {

namespace {

void runCommand(Form& form, qint16 keyCode, bool alt)
{
    switch (keyCode) {
    case vk::kEscape: applyStoredAppearance(form); break;
    case vk::kF1: alt ? LoadBaseDefaults(form) : showHelpBox(form); break;
    case vk::kF2: alt ? SaveSettings(form) : randomBackgroundColour(form); break;
    case vk::kF3: randomTextColour(form); break;
    case vk::kF4: alt ? quit(form) : nextCornerStep(form); break;
    case vk::kF5: randomFont(form); break;
    case vk::kF6: smallerCharacters(form); break;
    case vk::kF7: largerCharacters(form); break;
    case vk::kF8: case vk::kDown: nextWord(form); break;
    case vk::kUp: previousWord(form); break;
    case vk::kF9: toggleWordDisplay(form); break;
    case vk::kF10: toggleWordMode(form); break;
    case vk::kF11: toggleSound(form); break;
    case vk::kF12: clearSheet(form); break;
    case vk::kQ: if (alt) quit(form); break;
    default: break;
    }
}

}  // namespace

void scrivo_KeyDown(Form& form, qint16 keyCode, qint16 shift)
{
    form.media().lookAgain();  // a library changed meanwhile counts from this key
    try {
        runCommand(form, keyCode, (shift & kAltBit) != 0);
    } catch (const Failure& failure) {
        qCWarning(lcQuillo, "command key %d: %s", keyCode, qPrintable(failure.message()));
    } catch (const std::exception& e) {
        qCWarning(lcQuillo, "command key %d: %s", keyCode, e.what());
    }
}

}  // namespace quillo
