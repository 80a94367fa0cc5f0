#include "platform/settings_store.h"

#include <QSettings>
#include <QStringList>

#include <utility>

namespace quillo {

namespace {
const QString kName = QStringLiteral("QuilloNuvi");

QSettings open()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, kName, kName);
}
}  // namespace

QString QtSettingsStore::filePath()
{
    return open().fileName();
}

QString QtSettingsStore::read(const QString& section, const QString& key, const QString& fallback)
{
    // A fresh reader each time: the file is read anew on every load.
    const QSettings settings = open();
    const QVariant value = settings.value(section + u'/' + key);
    if (!value.isValid())
        return fallback;
    // An unquoted comma in the file splits the text, and the blanks around it
    // are lost: join without them, so that a size typed as "43,5" comes back.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u',');
    return value.toString();
}

void QtSettingsStore::write(const QString& section, const QString& key, const QString& value)
{
    pending_.append({section + u'/' + key, value});
}

bool QtSettingsStore::commit(QString* why)
{
    const QList<Pending> writes = std::exchange(pending_, {});
    QSettings settings = open();
    QList<std::pair<QString, QVariant>> previous;
    for (const Pending& w : writes) {
        previous.append({w.key, settings.value(w.key)});
        settings.setValue(w.key, w.value);
    }
    settings.sync();
    const QSettings::Status status = settings.status();
    if (status != QSettings::NoError) {
        // QSettings keeps changes it could not store in a cache shared by every
        // QSettings on this file: later reads would see them and a later sync
        // would store them. Put the earlier values back.
        for (auto it = previous.crbegin(); it != previous.crend(); ++it) {
            if (it->second.isValid())
                settings.setValue(it->first, it->second);
            else
                settings.remove(it->first);
        }
    }
    switch (status) {
    case QSettings::NoError:
        return true;
    case QSettings::AccessError:
        if (why)
            *why = QStringLiteral("cannot write %1").arg(settings.fileName());
        return false;
    case QSettings::FormatError:
        if (why)
            *why = QStringLiteral("%1 is not a valid settings file").arg(settings.fileName());
        return false;
    }
    return false;
}

}  // namespace quillo
