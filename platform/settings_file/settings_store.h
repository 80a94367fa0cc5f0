#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

namespace quillo {

// One reading of the settings file: what it held, and how well it read.
struct StoredSettings {
    enum class File {
        Absent,      // no file yet: every key is absent, and that is no fault
        Good,        // read and parsed cleanly
        Damaged,     // read, but some lines are not settings: the rest is read
        Unreadable,  // not read at all (refused, too large, no permission)
    };
    File file = File::Absent;
    QString problem;  // for Damaged and Unreadable: the file and what is wrong with it
    QMap<QString, QString> texts;  // "Section/Key" -> stored text

    // The stored text, or nothing when the key is absent.
    std::optional<QString> text(const QString& section, const QString& key) const;
};

// The per-user settings store, addressed by section and key, every value a
// text: QSettings, INI format, user scope, organisation and application
// "QuilloNuvi" ($XDG_CONFIG_HOME/QuilloNuvi/QuilloNuvi.ini). Tests use it as it
// is, with a scratch config folder.
class SettingsStore {
public:
    // Reads the file afresh. A FIFO or a device is never opened, a file over
    // 1 MB never read.
    StoredSettings read() const;
    void write(const QString& section, const QString& key, const QString& value);
    // Makes the writes lasting, all or nothing. The sections written hold
    // just the keys written; other sections of a file that parsed cleanly are
    // kept, and nothing of a file that did not is. False, with the reason,
    // when the writes could not be stored; the earlier stored values are then
    // left as they were.
    bool commit(QString* why);
    static QString filePath();

private:
    struct Pending {
        QString key;
        QString value;
    };
    static QStringList sectionsOf(const QList<Pending>& writes);
    QList<Pending> pending_;
};

}  // namespace quillo
