#include "platform/settings_store.h"

#include <QSettings>
#include <QStringList>

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
    if (value.typeId() == QMetaType::QStringList)  // an unquoted comma in the file
        return value.toStringList().join(QLatin1String(", "));
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
    for (const Pending& w : writes)
        settings.setValue(w.key, w.value);
    settings.sync();
    switch (settings.status()) {
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
