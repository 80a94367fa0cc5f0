#pragma once

#include <QList>
#include <QString>

namespace quillo {

// The per-user settings store, addressed by section and key, every value a
// text: QSettings, INI format, user scope, organisation and application
// "QuilloNuvi" ($XDG_CONFIG_HOME/QuilloNuvi/QuilloNuvi.ini). Tests use it as it
// is, with a scratch config folder.
class SettingsStore {
public:
    // The stored text, or `fallback` when the key is absent.
    QString read(const QString& section, const QString& key, const QString& fallback);
    void write(const QString& section, const QString& key, const QString& value);
    // Makes the writes lasting. False, with the reason, when they could not be
    // stored; the earlier stored values are then left as they were.
    bool commit(QString* why);
    static QString filePath();

private:
    struct Pending {
        QString key;
        QString value;
    };
    QList<Pending> pending_;
};

}  // namespace quillo
