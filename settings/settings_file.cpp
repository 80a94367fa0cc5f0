#include "settings/settings_file.h"

#include "library/media_library.h"
#include "settings/stored_look.h"
#include "platform/base/log.h"
#include "platform/settings_file/settings_store.h"
#include "platform/sound/sound.h"

namespace quillo {

namespace {

const char* faultText(TextFault fault)
{
    return fault == TextFault::OutOfRange ? "is out of range" : "is not readable";
}

}  // namespace

Look readStoredLook(const SettingsStore& store)
{
    // Every value not taken from the file is said once, with its section
    // and key; a file that is not there yet is no fault.
    using File = StoredSettings::File;
    const StoredSettings stored = store.read();
    if (stored.file == File::Unreadable)
        qCWarning(lcQuillo, "settings not read, %s", qPrintable(stored.problem));
    else if (stored.file == File::Damaged)
        qCWarning(lcQuillo, "settings file damaged, %s; the other lines are read", qPrintable(stored.problem));
    Look look = builtInLook();
    for (const LookSetting& setting : storedLook()) {
        const QString builtIn = setting.format(builtInLook());
        const std::optional<QString> text = stored.text(setting.section, setting.key);
        if (!text) {
            if (stored.file != File::Absent)
                qCWarning(lcQuillo, "settings %s/%s %s; using %s", qPrintable(setting.section),
                          qPrintable(setting.key), stored.file == File::Unreadable ? "not read" : "missing",
                          qPrintable(builtIn));
            continue;
        }
        const TextFault fault = setting.apply(look, *text);  // leaves the built-in value when it fails
        if (fault != TextFault::None)
            qCWarning(lcQuillo, "stored %s/%s \"%s\" %s; using %s", qPrintable(setting.section),
                      qPrintable(setting.key), qPrintable(text->left(80)), faultText(fault), qPrintable(builtIn));
    }
    return look;
}

void LoadSavedSettings(const LookParts& parts, const SettingsStore& store)
{
    showLook(parts, readStoredLook(store));
}

void SaveSettings(const Look& look, SettingsStore& store, Sound& sound, MediaLibrary& media)
{
    for (const LookSetting& setting : storedLook())
        store.write(setting.section, setting.key, setting.format(look));

    QString why;
    if (!store.commit(&why)) {
        qCWarning(lcQuillo, "the appearance was not saved: %s", qPrintable(why));
        sound.playDefault();
        return;
    }
    sound.play(media.pathOf(LibraryFolder::Letters, kSavedFirst));
    sound.play(media.pathOf(LibraryFolder::Letters, kSavedSecond));
}

}  // namespace quillo
