#include "change_record.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillo::child {

namespace {

QString systemError(const QString& what, const QString& path)
{
    return QStringLiteral("%1 %2: %3").arg(what, path, QString::fromLocal8Bit(std::strerror(errno)));
}

// BYTES into PATH, all or nothing: written beside it, synced, renamed over it.
QString replaceFile(const QString& path, const QByteArray& bytes, int mode, uint owner, uint group)
{
    const QByteArray target = QFile::encodeName(path);
    const QByteArray temporary = target + ".quillo-new";
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return systemError(QStringLiteral("Non posso scrivere"), path);
    qsizetype done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        ok = written > 0 || (written < 0 && errno == EINTR);
        done += written > 0 ? written : 0;
    }
    // The owner first: chown clears set-id bits that fchmod then sets.
    ok = ok && (::geteuid() != 0 || ::fchown(fd, owner, group) == 0) && ::fchmod(fd, mode_t(mode)) == 0 &&
         ::fsync(fd) == 0;
    const QString failure = ok ? QString() : systemError(QStringLiteral("Non posso scrivere"), path);
    ::close(fd);
    if (ok && ::rename(temporary.constData(), target.constData()) == 0)
        return {};
    const QString why = failure.isEmpty() ? systemError(QStringLiteral("Non posso sostituire"), path) : failure;
    ::unlink(temporary.constData());
    return why;
}

}  // namespace

bool ChangeRecord::exists() const
{
    return QFileInfo::exists(root_.file(QString::fromLatin1(kFolder) + QStringLiteral("/state")));
}

bool ChangeRecord::load()
{
    const QString folder = root_.file(QString::fromLatin1(kFolder));
    QFile state(folder + QStringLiteral("/state"));
    QFile list(folder + QStringLiteral("/changes"));
    if (!state.open(QIODevice::ReadOnly) || !list.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : state.readAll().split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0)
            state_.append({QString::fromUtf8(line.left(equals)), QString::fromUtf8(line.mid(equals + 1))});
    }
    for (const QByteArray& line : list.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() == 2 && fields[0] == "folder") {
            changes_.append({QString::fromUtf8(fields[1]), {}, true, 0, 0, 0});
        } else if (fields.size() == 6 && fields[0] == "file") {
            const QString before = fields[2] == "-" ? QString() : QString::fromUtf8(fields[2]);
            changes_.append({QString::fromUtf8(fields[1]), before, false, fields[3].toInt(nullptr, 8),
                             fields[4].toUInt(), fields[5].toUInt()});
        }
    }
    return true;
}

QByteArray ChangeRecord::before(const QString& path) const
{
    for (const Change& change : changes_)
        if (!change.folder && change.path == path && !change.before.isEmpty()) {
            QFile copy(root_.file(QString::fromLatin1(kFolder)) + QStringLiteral("/before/") + change.before);
            return copy.open(QIODevice::ReadOnly) ? copy.readAll() : QByteArray();
        }
    return {};
}

QString ChangeRecord::state(const QString& key) const
{
    for (const auto& [name, value] : state_)
        if (name == key)
            return value;
    return {};
}

QString ChangeRecord::saveList()
{
    QByteArray text;
    for (const Change& change : changes_) {
        if (change.folder)
            text += "folder\t" + change.path.toUtf8() + '\n';
        else
            text += "file\t" + change.path.toUtf8() + '\t' + (change.before.isEmpty() ? QByteArray("-") : change.before.toUtf8()) +
                    '\t' + QByteArray::number(change.mode, 8) + '\t' + QByteArray::number(change.owner) + '\t' +
                    QByteArray::number(change.group) + '\n';
    }
    return replaceFile(root_.file(QString::fromLatin1(kFolder)) + QStringLiteral("/changes"), text, 0644, 0, 0);
}

QString ChangeRecord::saveState(const QList<QPair<QString, QString>>& values)
{
    state_ = values;
    QByteArray text;
    for (const auto& [key, value] : values)
        text += key.toUtf8() + '=' + value.toUtf8() + '\n';
    const QString folder = root_.file(QString::fromLatin1(kFolder));
    // The folders above the record that are not there yet (/var/lib/quillo)
    // go too when the undo has taken the record away.
    if (changes_.isEmpty()) {
        for (QString above = QFileInfo(QString::fromLatin1(kFolder)).path();
             above != QLatin1String("/") && !QFileInfo(root_.file(above)).isDir(); above = QFileInfo(above).path())
            changes_.prepend({above, {}, true, 0, 0, 0});
    }
    if (!QDir().mkpath(folder + QStringLiteral("/before")))
        return systemError(QStringLiteral("Non posso creare"), folder);
    ::chmod(QFile::encodeName(folder + QStringLiteral("/before")).constData(), 0700);
    if (const QString why = saveList(); !why.isEmpty())
        return why;
    return replaceFile(folder + QStringLiteral("/state"), text, 0644, 0, 0);
}

QString ChangeRecord::makeFolders(const QString& folder)
{
    if (QFileInfo(root_.file(folder)).isDir())
        return {};
    if (const QString why = makeFolders(QFileInfo(folder).path()); !why.isEmpty())
        return why;
    changes_.append({folder, {}, true, 0, 0, 0});
    if (const QString why = saveList(); !why.isEmpty())
        return why;
    if (::mkdir(QFile::encodeName(root_.file(folder)).constData(), 0755) != 0)
        return systemError(QStringLiteral("Non posso creare"), folder);
    return {};
}

QString ChangeRecord::remember(const QString& path)
{
    for (const Change& change : changes_)
        if (!change.folder && change.path == path)
            return {};
    Change change{path, {}, false, 0, 0, 0};
    struct stat info {};
    const QByteArray real = QFile::encodeName(root_.file(path));
    if (::lstat(real.constData(), &info) == 0) {
        if (!S_ISREG(info.st_mode))
            return QStringLiteral("%1 non è un file normale: non lo tocco.").arg(path);
        QFile old(root_.file(path));
        if (!old.open(QIODevice::ReadOnly))
            return systemError(QStringLiteral("Non posso leggere"), path);
        change.before = QString::number(changes_.size());
        change.mode = int(info.st_mode & 07777);
        change.owner = info.st_uid;
        change.group = info.st_gid;
        const QString copy = root_.file(QString::fromLatin1(kFolder)) + QStringLiteral("/before/") + change.before;
        if (const QString why = replaceFile(copy, old.readAll(), 0600, 0, 0); !why.isEmpty())
            return why;
    }
    changes_.append(change);
    return saveList();
}

QString ChangeRecord::write(const QString& path, const QByteArray& bytes, int mode)
{
    if (QString why = makeFolders(QFileInfo(path).path()); !why.isEmpty())
        return why;
    if (QString why = remember(path); !why.isEmpty())
        return why;
    struct stat info {};
    const QString real = root_.file(path);
    if (::stat(QFile::encodeName(real).constData(), &info) == 0)
        return replaceFile(real, bytes, int(info.st_mode & 07777), info.st_uid, info.st_gid);
    return replaceFile(real, bytes, mode, 0, 0);
}

QString ChangeRecord::undo()
{
    const QString folder = root_.file(QString::fromLatin1(kFolder));
    for (qsizetype i = changes_.size() - 1; i >= 0; --i) {
        const Change& change = changes_[i];
        const QByteArray real = QFile::encodeName(root_.file(change.path));
        if (change.folder) {
            ::rmdir(real.constData());  // kept if something else lives there now
        } else if (change.before.isEmpty()) {
            if (::unlink(real.constData()) != 0 && errno != ENOENT)
                return systemError(QStringLiteral("Non posso togliere"), change.path);
        } else {
            QFile copy(folder + QStringLiteral("/before/") + change.before);
            if (!copy.open(QIODevice::ReadOnly))
                return systemError(QStringLiteral("Non trovo la copia di"), change.path);
            if (const QString why = replaceFile(root_.file(change.path), copy.readAll(), change.mode, change.owner,
                                                change.group);
                !why.isEmpty())
                return why;
        }
    }
    if (!QDir(folder).removeRecursively())
        return systemError(QStringLiteral("Non posso togliere"), QString::fromLatin1(kFolder));
    for (qsizetype i = changes_.size() - 1; i >= 0; --i)  // those above the record, now empty
        if (changes_[i].folder)
            ::rmdir(QFile::encodeName(root_.file(changes_[i].path)).constData());
    return {};
}

}  // namespace quillo::child
