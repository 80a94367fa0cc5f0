#include "settings/settings_file.h"

#include "form/form.h"
#include "form/rounded_outline.h"
#include "feedback/media_paths.h"
#include "settings/stored_look.h"
#include "platform/base/log.h"

namespace quillo {

void LoadSavedSettings(Form& form)
{
    SettingsStore& store = *form.platform().settings;
    for (const LookSetting& setting : storedLook()) {
        // A text that does not convert is treated like an absent key.
        const QString text = store.read(setting.section, setting.key, setting.builtIn);
        if (!setting.apply(form, text)) {
            qCWarning(lcQuillo, "stored %s/%s \"%s\" is not usable; using %s", qPrintable(setting.section),
                      qPrintable(setting.key), qPrintable(text.left(80)), qPrintable(setting.builtIn));
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
    const QStringList letters = media::lettersFolders(form);
    sound.play(media::fileIn(letters, media::kSavedFirst));
    sound.play(media::fileIn(letters, media::kSavedSecond));
}

}  // namespace quillo
