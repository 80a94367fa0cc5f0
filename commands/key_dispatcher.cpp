#include "commands/key_dispatcher.h"

#include "platform/base/failure.h"
#include "form/form.h"
#include "form/key_codes.h"
#include "commands/appearance_commands.h"
#include "commands/help_box.h"
#include "commands/window_commands.h"
#include "commands/word_list_commands.h"
#include "feedback/word_display.h"
#include "settings/settings_file.h"
#include "platform/base/log.h"

#include <exception>

namespace quillo {

namespace {

void runCommand(Form& form, qint16 keyCode, bool alt)
{
    Platform& platform = form.platform();
    WritingSheet& sheet = *form.scrivo;
    const auto endProgram = [&form] { form.endProgram(); };
    switch (keyCode) {
    case vk::kEscape: applyStoredAppearance(appearanceOf(form), *platform.settings); break;
    case vk::kF1:
        alt ? applyBaseAppearance(appearanceOf(form))
            : showHelpBox(*platform.messages, sheet.window(), form.quitHold.enabled());
        break;
    case vk::kF2:
        alt ? SaveSettings(lookOf(lookPartsOf(form)), *platform.settings, *platform.sound, form.media())
            : randomBackgroundColour(sheet, *platform.random);
        break;
    case vk::kF3: randomTextColour(sheet, *platform.random); break;
    case vk::kF4: alt ? quit(form.quitHold, endProgram) : nextCornerStep(cornersOf(form)); break;
    case vk::kF5: randomFont(sheet, *platform.fonts, *platform.random); break;
    case vk::kF6: smallerCharacters(sheet); break;
    case vk::kF7: largerCharacters(sheet); break;
    case vk::kF8: case vk::kDown: nextWord(wordShowOf(form)); break;
    case vk::kUp: previousWord(wordShowOf(form)); break;
    case vk::kF9: toggleWordDisplay(wordShowOf(form), *form.Parolasi); break;
    case vk::kF10:
        toggleWordMode(*form.Parolasi);
        Parolasi_Click(form);
        break;
    case vk::kF11: toggleSound(form.SoundOff); break;
    case vk::kF12: clearSheet(sheet); break;
    case vk::kQ: if (alt) quit(form.quitHold, endProgram); break;
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
