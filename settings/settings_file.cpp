#include "settings/settings_file.h"

#include "form/form.h"
#include "form/rounded_outline.h"
#include "feedback/media_paths.h"
#include "settings/setting_values.h"
#include "platform/log.h"


namespace quillo {

namespace {

const QString kScreen = QStringLiteral("Screen");
const QString kApp = QStringLiteral("App");

// Reads one key; a text that does not convert is treated like an absent key.
template <typename Parse>
auto readSetting(SettingsStore& store, const QString& section, const QString& key, const QString& fallback,
                 Parse parse)
{
    const QString text = store.read(section, key, fallback);
    auto value = parse(text);
    if (!value) {
        qCWarning(lcQuillo, "stored %s/%s \"%s\" is not usable; using %s", qPrintable(section),
                     qPrintable(key), qPrintable(text.left(80)), qPrintable(fallback));
        value = parse(fallback);
    }
    return *value;
}

std::optional<QString> parseFontName(const QString& text)
{
    const QString name = text.trimmed();
    if (name.isEmpty() || name.size() > 256)
        return std::nullopt;
    return name;
}

}  // namespace

void LoadSavedSettings(Form& form)
{
    SettingsStore& store = *form.platform().settings;
    form.scrivo->setFontName(readSetting(store, kScreen, QStringLiteral("Fontname"), QStringLiteral("Arial"), parseFontName));
    form.scrivo->setFontSize(readSetting(store, kScreen, QStringLiteral("Fontsize"), QStringLiteral("48"), parseFontSize));
    form.scrivo->setBackColor(readSetting(store, kScreen, QStringLiteral("Backcolor"), QStringLiteral("16777215"), parseInt32));
    form.scrivo->setForeColor(readSetting(store, kScreen, QStringLiteral("Forecolor"), QStringLiteral("0"), parseInt32));
    form.CornerRadius = readSetting(store, kScreen, QStringLiteral("Circ"), QStringLiteral("0"), parseInt16);
    form.Parolasi->setValue(readSetting(store, kApp, QStringLiteral("Parolasi"), QStringLiteral("1"), parseCheckValue));
    Arrotondata(form, form.scrivo);
    Arrotondata(form, form.esempio);
}

void SaveSettings(Form& form)
{
    SettingsStore& store = *form.platform().settings;
    store.write(kScreen, QStringLiteral("Fontname"), form.scrivo->fontName());
    store.write(kScreen, QStringLiteral("Fontsize"), formatFontSize(form.scrivo->fontSize()));
    store.write(kScreen, QStringLiteral("Backcolor"), QString::number(form.scrivo->backColor()));
    store.write(kScreen, QStringLiteral("Forecolor"), QString::number(form.scrivo->foreColor()));
    store.write(kScreen, QStringLiteral("Circ"), QString::number(form.CornerRadius));
    store.write(kApp, QStringLiteral("Parolasi"), QString::number(form.Parolasi->value()));

    Sound& sound = *form.platform().sound;
    QString why;
    if (!store.commit(&why)) {
        qCWarning(lcQuillo, "the appearance was not saved: %s", qPrintable(why));
        sound.playDefault();
        return;
    }
    const QString letters = media::lettersFolder(form.mediaFolder());
    sound.play(media::fileIn(letters, media::kSavedFirst));
    sound.play(media::fileIn(letters, media::kSavedSecond));
}

}  // namespace quillo
