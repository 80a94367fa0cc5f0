#pragma once

#include <QList>
#include <QString>

namespace quillo {

// The per-user settings store, addressed by section and key; every value is a
// text.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text, or `fallback` when the key is absent.
    virtual QString read(const QString& section, const QString& key, const QString& fallback) = 0;
    virtual void write(const QString& section, const QString& key, const QString& value) = 0;
    // Makes the writes lasting. False, with the reason, when they could not be
    // stored; the earlier stored values are then left as they were.
    virtual bool commit(QString* why) = 0;
};

// The real store: QSettings, INI format, user scope, organisation and
// application "QuilloNuvi" ($XDG_CONFIG_HOME/QuilloNuvi/QuilloNuvi.ini).
class QtSettingsStore final : public SettingsStore {
public:
    QString read(const QString& section, const QString& key, const QString& fallback) override;
    void write(const QString& section, const QString& key, const QString& value) override;
    bool commit(QString* why) override;
    static QString filePath();

private:
    struct Pending {
        QString key;
        QString value;
    };
    QList<Pending> pending_;
};

}  // namespace quillo
