#include "file_batch.h"

#include "system_error.h"

#include "platform/files/file_name.h"

#include <QRandomGenerator>
#include <QSet>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillo::parole {

namespace {

std::function<int(const QByteArray&)>& fault()
{
    static std::function<int(const QByteArray&)> injected;
    return injected;
}

QByteArray folderOf(const QByteArray& path)
{
    return path.left(path.lastIndexOf('/'));
}

QString shown(const QByteArray& path)
{
    return readableFileName(decodeFileName(path));
}

// A hidden name beside `target` that is free now.
QByteArray freeNameBeside(const QByteArray& target)
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    const qsizetype slash = target.lastIndexOf('/');
    for (;;) {
        QByteArray name = target.left(slash + 1) + '.' + target.mid(slash + 1) + '.';
        for (int i = 0; i < 6; ++i)
            name += letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
        struct stat there {};
        if (::lstat(name.constData(), &there) != 0 && errno == ENOENT)
            return name;
    }
}

bool writeAll(int fd, const QByteArray& bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

void syncFolder(const QByteArray& folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Puts `from` in the place of `to`, unless a test makes it fail for the
// step of `target`.
int renameOver(const QByteArray& from, const QByteArray& to, const QByteArray& target)
{
    if (fault()) {
        if (const int number = fault()(target)) {
            errno = number;
            return -1;
        }
    }
    return ::rename(from.constData(), to.constData());
}

}  // namespace

FileBatch::FileBatch(const QString& journal) : journal_(journal.isEmpty() ? QByteArray() : encodeFileName(journal)) {}

FileBatch::~FileBatch()
{
    forget();
}

void FileBatch::forget()
{
    for (const Step& step : steps_) {
        if (!step.temporary.isEmpty())
            ::unlink(step.temporary.constData());
    }
    steps_.clear();
    // The folders made for the change go with it, when nothing else is there.
    for (auto folder = made_.crbegin(); folder != made_.crend(); ++folder)
        ::rmdir(folder->constData());
    made_.clear();
}

bool FileBatch::fail(const QString& what, const QByteArray& path, int number)
{
    problem_ = fileProblem(what.arg(shown(path)), number);
    return false;
}

bool FileBatch::write(const QString& path, const QByteArray& bytes)
{
    const QByteArray target = encodeFileName(path);
    const QByteArray folder = folderOf(target);
    if (!makeFolders(folder, &made_))
        return fail(QStringLiteral("Non riesco a creare la cartella %1"), folder, errno);
    Step step{target, target.left(target.lastIndexOf('/') + 1) + '.' + target.mid(target.lastIndexOf('/') + 1) + ".XXXXXX",
              {}};
    const int fd = ::mkstemp(step.temporary.data());
    if (fd < 0)
        return fail(QStringLiteral("Non riesco a scrivere %1"), target, errno);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    bool written = ::fchmod(fd, 0666 & ~mask) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    const int number = errno;
    written = ::close(fd) == 0 && written;
    if (!written) {
        ::unlink(step.temporary.constData());
        return fail(QStringLiteral("Non riesco a scrivere %1"), target, number ? number : errno);
    }
    steps_.push_back(step);
    return true;
}

void FileBatch::remove(const QString& path)
{
    steps_.push_back({encodeFileName(path), {}, {}});
}

bool FileBatch::writeJournal()
{
    QByteArray text;
    for (const Step& step : steps_)
        text += step.target + '\0' + step.backup + '\0' + step.temporary + '\0';
    const int fd = ::open(journal_.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return fail(QStringLiteral("Non riesco a scrivere %1"), journal_, errno);
    const bool written = writeAll(fd, text) && ::fsync(fd) == 0;
    const int number = errno;
    if (!(::close(fd) == 0 && written)) {
        ::unlink(journal_.constData());
        return fail(QStringLiteral("Non riesco a scrivere %1"), journal_, number);
    }
    syncFolder(folderOf(journal_));
    return true;
}

bool FileBatch::commit()
{
    // The old files are set aside under hidden names first (a new file's old
    // one as a second link, so that its name never goes missing meanwhile).
    for (Step& step : steps_) {
        struct stat there {};
        if (::lstat(step.target.constData(), &there) == 0)
            step.backup = freeNameBeside(step.target);
    }
    if (!journal_.isEmpty() && !writeJournal()) {
        forget();
        return false;
    }
    for (Step& step : steps_) {
        const bool removal = step.temporary.isEmpty();
        if (!step.backup.isEmpty()) {
            // A disk without hard links has the old file moved aside.
            const bool aside = removal ? renameOver(step.target, step.backup, step.target) == 0
                                       : ::link(step.target.constData(), step.backup.constData()) == 0
                                             || ((errno == EPERM || errno == EOPNOTSUPP || errno == EMLINK)
                                                 && renameOver(step.target, step.backup, step.target) == 0);
            if (!aside) {
                const int number = errno;
                const QByteArray target = step.target;  // the steps go with the undo
                undo();
                return fail(removal ? QStringLiteral("Non riesco a togliere %1") : QStringLiteral("Non riesco a sostituire %1"),
                            target, number);
            }
        }
        step.done = true;
        if (!removal && renameOver(step.temporary, step.target, step.target) != 0) {
            const int number = errno;
            const QByteArray target = step.target;
            undo();
            return fail(QStringLiteral("Non riesco a scrivere %1"), target, number);
        }
    }
    QSet<QByteArray> folders;
    for (const Step& step : steps_)
        folders.insert(folderOf(step.target));
    for (const QByteArray& folder : std::as_const(folders))
        syncFolder(folder);
    if (!journal_.isEmpty())
        ::unlink(journal_.constData());
    for (const Step& step : steps_) {
        if (!step.backup.isEmpty())
            ::unlink(step.backup.constData());
    }
    steps_.clear();
    made_.clear();
    return true;
}

void FileBatch::undo()
{
    for (auto step = steps_.rbegin(); step != steps_.rend(); ++step) {
        if (!step->done)
            continue;
        if (!step->backup.isEmpty()) {
            ::rename(step->backup.constData(), step->target.constData());
            ::unlink(step->backup.constData());  // still there when both were one file
        }
        else if (!step->temporary.isEmpty())
            ::unlink(step->target.constData());
    }
    if (!journal_.isEmpty())
        ::unlink(journal_.constData());
    forget();
}

void FileBatch::setFaultForTests(std::function<int(const QByteArray&)> injected)
{
    fault() = std::move(injected);
}

}  // namespace quillo::parole
