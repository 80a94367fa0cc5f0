#include "settings/settings_file.h"

#include "form/form.h"
#include "library/media_library.h"
#include "form/rounded_outline.h"
#include "settings/stored_look.h"
#include "platform/base/log.h"
#include "platform/settings_file/settings_store.h"

namespace quillo {

namespace {

const char* faultText(TextFault fault)
{
    return fault == TextFault::OutOfRange ? "is out of range" : "is not readable";
}

}  // namespace

void LoadSavedSettings(Form& form)
{
    // Every value not taken from the file is said once, with its section
    // and key; a file that is not there yet is no fault.
    using File = StoredSettings::File;
    const StoredSettings stored = form.platform().settings->read();
    if (stored.file == File::Unreadable)
        qCWarning(lcQuillo, "settings not read, %s", qPrintable(stored.problem));
    else if (stored.file == File::Damaged)
        qCWarning(lcQuillo, "settings file damaged, %s; the other lines are read", qPrintable(stored.problem));
    for (const LookSetting& setting : storedLook()) {
        const std::optional<QString> text = stored.text(setting.section, setting.key);
        if (!text) {
            if (stored.file != File::Absent)
                qCWarning(lcQuillo, "settings %s/%s %s; using %s", qPrintable(setting.section),
                          qPrintable(setting.key), stored.file == File::Unreadable ? "not read" : "missing",
                          qPrintable(setting.builtIn));
            setting.apply(form, setting.builtIn);
            continue;
        }
        const TextFault fault = setting.apply(form, *text);
        if (fault != TextFault::None) {
            qCWarning(lcQuillo, "stored %s/%s \"%s\" %s; using %s", qPrintable(setting.section),
                      qPrintable(setting.key), qPrintable(text->left(80)), faultText(fault),
                      qPrintable(setting.builtIn));
            setting.apply(form, setting.builtIn);
        }
    }
    Arrotondata(form, form.scrivo);
    Arrotondata(form, form.esempio);
}

void SaveSettings(Form& form)
{
    SettingsStore& store = *form.platform().settings;
    for (const LookSetting& setting : storedLook())
        store.write(setting.section, setting.key, setting.format(form));

    Sound& sound = *form.platform().sound;
    QString why;
    if (!store.commit(&why)) {
        qCWarning(lcQuillo, "the appearance was not saved: %s", qPrintable(why));
        sound.playDefault();
        return;
    }
    sound.play(form.media().pathOf(LibraryFolder::Letters, kSavedFirst));
    sound.play(form.media().pathOf(LibraryFolder::Letters, kSavedSecond));
}

}  // namespace quillo
