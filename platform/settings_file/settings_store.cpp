#include "platform/settings_file/settings_store.h"

#include "platform/base/log.h"
#include "platform/settings_file/ini_lines.h"
#include "platform/files/regular_file.h"
#include "platform/settings_file/save_target.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>
#include <utility>

namespace quillo {

namespace {
const QString kName = QStringLiteral("QuilloNuvi");
// A settings file holds a handful of short lines; anything far larger is not
// ours and is not worth reading.
constexpr qint64 kMaxFileSize = 1024 * 1024;

// The settings file's lines that QSettings may take, and how well it read.
struct FileLines {
    StoredSettings::File file = StoredSettings::File::Absent;
    QString problem;
    QByteArray kept;
};

FileLines readLines(const QString& path)
{
    using File = StoredSettings::File;
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0 && errno == ENOENT)
        return {};
    // Never blocks: a FIFO, a device or a folder is refused at once.
    QString why;
    const std::unique_ptr<QFile> file = openRegularFile(path, &why);
    if (!file)
        return {File::Unreadable, QStringLiteral("%1: %2").arg(path, why), {}};
    const QByteArray data = file->size() > kMaxFileSize ? QByteArray() : file->read(kMaxFileSize + 1);
    if (file->size() > kMaxFileSize || data.size() > kMaxFileSize)
        return {File::Unreadable, QStringLiteral("%1 is larger than 1 MB").arg(path), {}};
    if (file->error() != QFileDevice::NoError)
        return {File::Unreadable, QStringLiteral("%1: %2").arg(path, file->errorString()), {}};
    IniLines lines = iniLines(data);
    if (lines.leftOut == 0)
        return {File::Good, {}, std::move(lines.kept)};
    return {File::Damaged,
            QStringLiteral("%1: %2 of its lines are not settings, the first of them line %3")
                .arg(path)
                .arg(lines.leftOut)
                .arg(lines.firstLeftOut),
            std::move(lines.kept)};
}

QList<std::pair<QString, QVariant>> keysOf(const QSettings& settings)
{
    QList<std::pair<QString, QVariant>> keys;
    for (const QString& key : settings.allKeys())
        keys.append({key, settings.value(key)});
    return keys;
}

// The keys and values of the file that `lines` were read from at `path`. A
// good file is parsed where it is. Of a damaged one only the kept lines are
// parsed, and as QSettings reads only files, from a private copy; a copy
// that cannot be made (a full disk) gives nothing.
std::optional<QList<std::pair<QString, QVariant>>> parsed(const FileLines& lines, const QString& path)
{
    if (lines.file == StoredSettings::File::Good)
        return keysOf(QSettings(path, QSettings::IniFormat));
    QTemporaryFile copy;
    if (!copy.open() || copy.write(lines.kept) != lines.kept.size() || !copy.flush())
        return std::nullopt;
    return keysOf(QSettings(copy.fileName(), QSettings::IniFormat));
}

// What a save keeps of the file it replaces: the keys of the sections it does
// not write, and only from a file that parsed cleanly. What a link that is
// replaced leads to is not read at all.
QList<std::pair<QString, QVariant>> keysKept(const SaveTarget& target, const QStringList& writtenSections)
{
    if (!target.linkReplaced.isEmpty())
        return {};
    const FileLines old = readLines(target.path);
    switch (old.file) {
    case StoredSettings::File::Absent:
        return {};
    case StoredSettings::File::Unreadable:
        qCWarning(lcQuillo, "replacing an unreadable settings file, %s", qPrintable(old.problem));
        return {};
    case StoredSettings::File::Damaged:
        qCWarning(lcQuillo, "replacing a damaged settings file, %s", qPrintable(old.problem));
        return {};
    case StoredSettings::File::Good:
        break;
    }
    QList<std::pair<QString, QVariant>> kept;
    for (const auto& entry : parsed(old, target.path).value_or(QList<std::pair<QString, QVariant>>{})) {
        const bool written = std::any_of(writtenSections.begin(), writtenSections.end(),
                                         [&](const QString& section) { return entry.first.startsWith(section); });
        if (!written && entry.second.isValid())
            kept.append(entry);
    }
    return kept;
}

}  // namespace

std::optional<QString> StoredSettings::text(const QString& section, const QString& key) const
{
    const auto found = texts.constFind(section + u'/' + key);
    if (found == texts.constEnd())
        return std::nullopt;
    return *found;
}

QString SettingsStore::filePath()
{
    // Where QSettings keeps a user-scope INI file, found without opening it:
    // a QSettings object reads its file as soon as it is made.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' + kName + u'/'
           + kName + QStringLiteral(".ini");
}

StoredSettings SettingsStore::read() const
{
    FileLines lines = readLines(filePath());
    StoredSettings stored{lines.file, std::move(lines.problem), {}};
    if (stored.file == StoredSettings::File::Absent || stored.file == StoredSettings::File::Unreadable)
        return stored;
    const auto keys = parsed(lines, filePath());
    if (!keys) {
        stored.file = StoredSettings::File::Unreadable;
        stored.problem = QStringLiteral("%1: no room for a copy to read").arg(filePath());
        return stored;
    }
    for (const auto& [key, value] : *keys) {
        // An unquoted comma in the file splits the text, and the blanks
        // around it are lost: join without them, so that a size typed as
        // "43,5" comes back.
        stored.texts.insert(key, value.typeId() == QMetaType::QStringList ? value.toStringList().join(u',')
                                                                           : value.toString());
    }
    return stored;
}

void SettingsStore::write(const QString& section, const QString& key, const QString& value)
{
    pending_.append({section + u'/' + key, value});
}

QStringList SettingsStore::sectionsOf(const QList<Pending>& writes)
{
    QStringList sections;
    for (const Pending& w : writes) {
        const QString prefix = w.key.section(u'/', 0, 0) + u'/';
        if (!sections.contains(prefix))
            sections.append(prefix);
    }
    return sections;
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
        for (const auto& [key, value] : keysKept(target, sectionsOf(writes)))
            fresh.setValue(key, value);
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
