#include "platform/files/settings_store.h"

#include "platform/base/log.h"
#include "platform/files/regular_file.h"
#include "platform/files/save_target.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

namespace quillo {

namespace {
const QString kName = QStringLiteral("QuilloNuvi");
// A settings file holds a handful of short lines; anything far larger is not
// ours and is not worth reading.
constexpr qint64 kMaxFileSize = 1024 * 1024;

QSettings open()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, kName, kName);
}

// Why the file at `path` must not be handed to QSettings (which would block on
// a FIFO or read a huge file whole), or an empty text when it may be read. A
// missing file is fine: it reads as empty.
QString whyUnreadable(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {};
    if (!info.isFile())
        return QStringLiteral("%1 is not a regular file").arg(path);
    if (info.size() > kMaxFileSize)
        return QStringLiteral("%1 is larger than 1 MB").arg(path);
    return {};
}

// The keys and values of the file at `path`, or none when it cannot be read or
// parsed. The parse is made on a private copy: QSettings keeps parsed files in
// a cache shared by path and reports a format error only on the read that
// parsed the file, so a settings object on the real path can report a bad file
// as good.
QList<std::pair<QString, QVariant>> keysOfGoodFile(const QString& path)
{
    const std::unique_ptr<QFile> file = openRegularFile(path);
    if (!file || file->size() > kMaxFileSize)
        return {};
    QTemporaryFile copy;
    if (!copy.open() || copy.write(file->read(kMaxFileSize)) < 0 || !copy.flush())
        return {};
    const QSettings parsed(copy.fileName(), QSettings::IniFormat);
    if (parsed.status() != QSettings::NoError)
        return {};
    QList<std::pair<QString, QVariant>> keys;
    for (const QString& key : parsed.allKeys())
        keys.append({key, parsed.value(key)});
    return keys;
}

}  // namespace

QString SettingsStore::filePath()
{
    // Where QSettings keeps a user-scope INI file, found without opening it:
    // a QSettings object reads its file as soon as it is made.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' + kName + u'/'
           + kName + QStringLiteral(".ini");
}

QString SettingsStore::read(const QString& section, const QString& key, const QString& fallback)
{
    const QString refused = whyUnreadable(filePath());
    if (!refused.isEmpty()) {
        qCWarning(lcQuillo, "settings not read, %s: %s", qPrintable(refused), qPrintable(key));
        return fallback;
    }
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

void SettingsStore::write(const QString& section, const QString& key, const QString& value)
{
    pending_.append({section + u'/' + key, value});
}

bool SettingsStore::commit(QString* why)
{
    // The new file is written beside the old one and renamed over it, so the
    // old file stays byte-identical unless the whole new one was stored. The
    // settings object of the real file is never changed: QSettings would keep
    // unstored changes in a shared cache and write them later.
    const QList<Pending> writes = std::exchange(pending_, {});
    const auto fail = [&](const QString& reason) {
        if (why)
            *why = reason;
        return false;
    };
    const QString settingsPath = filePath();
    if (!QDir().mkpath(QFileInfo(settingsPath).absolutePath()))
        return fail(QStringLiteral("cannot write %1").arg(settingsPath));
    const SaveTarget target = saveTargetOf(settingsPath);
    const QString cannotWrite = QStringLiteral("cannot write %1").arg(target.path);
    if (!target.linkReplaced.isEmpty())
        qCWarning(lcQuillo, "replacing the link %s with a settings file: %s; that is left as it was",
                  qPrintable(settingsPath), qPrintable(target.linkReplaced));

    QTemporaryFile staged(target.path + QStringLiteral(".XXXXXX"));
    if (!staged.open())
        return fail(cannotWrite);
    staged.close();
    {
        QSettings fresh(staged.fileName(), QSettings::IniFormat);
        // Keep the other keys of a good file; a file that cannot be read or
        // parsed is replaced whole. What a link that is replaced leads to is
        // not read.
        if (target.linkReplaced.isEmpty()) {
            for (const auto& [key, value] : keysOfGoodFile(target.path))
                fresh.setValue(key, value);
        }
        for (const Pending& w : writes)
            fresh.setValue(w.key, w.value);
        fresh.sync();
        if (fresh.status() != QSettings::NoError)
            return fail(cannotWrite);
    }
    QString refused;
    if (!renameOnto(staged.fileName(), target, &refused))
        return fail(QStringLiteral("%1: %2").arg(cannotWrite, refused));
    staged.setAutoRemove(false);
    return true;
}

}  // namespace quillo
