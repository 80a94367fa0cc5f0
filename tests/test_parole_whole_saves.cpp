// A save to the family's library is whole or nothing, and every failure says
// its cause: a disk that is full or read-only, a folder or a lock that is not
// what it should be, a step that fails half-way, a process killed half-way.
// After each, the library is byte for byte as it was. The disks are small
// tmpfs mounts, made only where the test may mount (as root); the rest runs
// anywhere.

#include "parole/file_batch.h"
#include "parole/library_lock.h"
#include "parole/word_library.h"

#include "support/media_folder.h"
#include "support/parole_samples.h"
#include "support/sample_files.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

using namespace quillo::parole;
using namespace quillo::test;

namespace {

// Every file under `folder` (hidden ones too) with its bytes, or its kind
// when it is not a regular file.
QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString name = QDir(folder).relativeFilePath(info.filePath());
        files[name] = info.isDir() ? QByteArray("folder") : info.isFile() ? readFile(info.filePath()) : QByteArray("other");
    }
    return files;
}

// A tmpfs of its own, unmounted when it goes.
struct SmallDisk {
    QTemporaryDir dir;
    bool mounted = false;
    explicit SmallDisk(const char* options)
    {
        mounted = ::geteuid() == 0 && ::mount("tmpfs", QFile::encodeName(dir.path()).constData(), "tmpfs", 0, options) == 0;
    }
    ~SmallDisk()
    {
        if (mounted)
            ::umount2(QFile::encodeName(dir.path()).constData(), MNT_DETACH);
    }
    bool readOnly()
    {
        return ::mount(nullptr, QFile::encodeName(dir.path()).constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }
    // Fills the disk's space and, with `inodes`, its names.
    void fill(bool inodes)
    {
        QFile filler(dir.filePath(QStringLiteral("filler")));
        if (filler.open(QIODevice::WriteOnly)) {
            const QByteArray block(4096, 'x');
            while (filler.write(block) == block.size() && filler.flush()) {
            }
        }
        for (int i = 0; inodes && i < 100000; ++i) {
            const int fd = ::open(QFile::encodeName(dir.filePath(QStringLiteral("f%1").arg(i))).constData(),
                                  O_CREAT | O_WRONLY, 0644);
            if (fd < 0)
                break;
            ::close(fd);
        }
    }
};

QImage greenPhoto()
{
    QImage photo(40, 30, QImage::Format_RGB32);
    photo.fill(Qt::green);
    return photo;
}

}  // namespace

class TestParoleWholeSaves : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        bundled_.reset(new MediaFolder);
        bundled_->addBasics();
        bundled_->addLetter(QStringLiteral("g.wav"));
    }
    void cleanup() { FileBatch::setFaultForTests({}); }
    void stepFailingHalfWay();
    void killedHalfWay();
    void notWhatItShouldBe();
    void fullAndReadOnlyDisks();

private:
    std::unique_ptr<MediaFolder> bundled_;
};

void TestParoleWholeSaves::stepFailingHalfWay()
{
    QTemporaryDir dir;
    const quillo::MediaLibrary libraries{bundled_->path(), dir.filePath(QStringLiteral("quillo"))};
    const Recording voice = tone(0, 0.6, 0, 0.3f);
    QCOMPARE(addWord(libraries, QStringLiteral("giulia"), greenPhoto(), voice), QString());
    QImage clear(40, 30, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    const auto before = snapshot(libraries.user());

    // The picture fails to take its place after the voice took its own: the
    // voice it replaced comes back, and the old JPEG stays (the new one is
    // a PNG, which would have removed it).
    struct Fault {
        const char* where;
        int number;
        const char* says;
    };
    const Fault faults[] = {{"giulia.png", ENOSPC, "il disco è pieno"},
                            {"giulia.png", EROFS, "il disco è di sola lettura"},
                            {"giulia.wav", EACCES, "non hai il permesso"},
                            {"giulia.jpg", EPERM, "non hai il permesso"}};
    for (const Fault& fault : faults) {
        FileBatch::setFaultForTests([&fault](const QByteArray& target) {
            return target.endsWith(fault.where) ? fault.number : 0;
        });
        const QString said = addWord(libraries, QStringLiteral("giulia"), clear, tone(0, 0.3, 0, 0.5f));
        QVERIFY2(said.endsWith(QString::fromUtf8(fault.says) + u'.'), qPrintable(said));
        QCOMPARE(snapshot(libraries.user()), before);
    }
    // A removal of both parts, the voice refusing to go: the picture stays.
    FileBatch::setFaultForTests([](const QByteArray& target) { return target.endsWith("giulia.wav") ? EBUSY : 0; });
    QVERIFY(removeWord(libraries, QStringLiteral("giulia")).contains(QStringLiteral("occupato")));
    QCOMPARE(snapshot(libraries.user()), before);
    FileBatch::setFaultForTests({});
    QCOMPARE(addWord(libraries, QStringLiteral("giulia"), clear, voice), QString());
    QCOMPARE(QDir(libraries.user() + QStringLiteral("/immagini")).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("giulia.png")});
}

void TestParoleWholeSaves::killedHalfWay()
{
    QTemporaryDir dir;
    const quillo::MediaLibrary libraries{bundled_->path(), dir.filePath(QStringLiteral("quillo"))};
    QCOMPARE(addWord(libraries, QStringLiteral("giulia"), greenPhoto(), tone(0, 0.6, 0, 0.3f)), QString());
    const auto before = snapshot(libraries.user());

    // A save killed between its voice and its picture, as kill -9 would.
    const pid_t child = ::fork();
    if (child == 0) {
        FileBatch::setFaultForTests([](const QByteArray& target) {
            if (target.endsWith(".jpg"))
                ::_exit(9);
            return 0;
        });
        QImage red(40, 30, QImage::Format_RGB32);
        red.fill(Qt::red);
        addWord(libraries, QStringLiteral("giulia"), red, tone(0, 0.3, 0, 0.5f));
        ::_exit(0);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QCOMPARE(WEXITSTATUS(status), 9);
    QVERIFY(snapshot(libraries.user()) != before);  // half a word, for now

    // The next change, or the window's start, undoes it first.
    {
        const LibraryLock lock(libraries.user(), 0);
        QVERIFY(lock.locked());
        tidyLibrary(libraries);
    }
    QCOMPARE(snapshot(libraries.user()), before);

    // A hidden file a killed write left: kept while it may be a save's
    // own, removed once it is older than a few minutes.
    const QString leftover = libraries.user() + QStringLiteral("/parole/.giulia.wav.a1B2c3");
    writeFile(leftover, "half");
    tidyLibrary(libraries);
    QVERIFY(QFileInfo::exists(leftover));
    const utimbuf old{std::time(nullptr) - kLeftoverSeconds - 10, std::time(nullptr) - kLeftoverSeconds - 10};
    QCOMPARE(::utime(QFile::encodeName(leftover).constData(), &old), 0);
    QCOMPARE(removeWord(libraries, QStringLiteral("giulia"), VoicePart), QString());
    QVERIFY(!QFileInfo::exists(leftover));
}

void TestParoleWholeSaves::notWhatItShouldBe()
{
    const Recording voice = tone(0, 0.6, 0, 0.3f);
    struct Case {
        const char* name;      // what is not what it should be
        const char* says;
    };
    const Case cases[] = {{"immagini", "al posto di una cartella c'è un file."},
                          {"parole", "al posto di una cartella c'è un file."},
                          {".lock", "il file .lock: non è un file normale."}};
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const quillo::MediaLibrary libraries{bundled_->path(), dir.filePath(QStringLiteral("quillo"))};
        QVERIFY(QDir().mkpath(libraries.user()));
        const QByteArray fifo = QFile::encodeName(libraries.user() + u'/' + QString::fromUtf8(c.name));
        QCOMPARE(::mkfifo(fifo.constData(), 0644), 0);
        const auto before = snapshot(libraries.user());
        QElapsedTimer timer;
        timer.start();
        const QString said = addWord(libraries, QStringLiteral("giulia"), greenPhoto(), voice);
        QVERIFY2(said.endsWith(QString::fromUtf8(c.says)), qPrintable(said));
        QVERIFY(timer.elapsed() < 2000);  // never waits on the pipe
        QCOMPARE(snapshot(libraries.user()), before);
    }
    // A link, or a folder, in place of the lock.
    QTemporaryDir dir;
    const quillo::MediaLibrary libraries{bundled_->path(), dir.filePath(QStringLiteral("quillo"))};
    QVERIFY(QDir().mkpath(libraries.user()));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("elsewhere")), libraries.user() + QStringLiteral("/.lock")));
    QVERIFY(LibraryLock(libraries.user(), 0).problem().endsWith(QStringLiteral("non è un file normale.")));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("elsewhere"))));
    QVERIFY(QFile::remove(libraries.user() + QStringLiteral("/.lock")));
    QVERIFY(QDir().mkpath(libraries.user() + QStringLiteral("/.lock")));
    QVERIFY(LibraryLock(libraries.user(), 0).problem().endsWith(QStringLiteral("al posto del file c'è una cartella.")));

    // Two locks at once: the second is told the library is busy, and takes
    // it once the first is gone; no lock file is left behind.
    QVERIFY(QDir().rmdir(libraries.user() + QStringLiteral("/.lock")));
    auto first = std::make_unique<LibraryLock>(libraries.user(), 0);
    QVERIFY(first->locked());
    const LibraryLock busy(libraries.user(), 0);
    QVERIFY(busy.busy() && !busy.locked());
    first.reset();
    QVERIFY(!QFileInfo::exists(libraries.user() + QStringLiteral("/.lock")));
    QVERIFY(LibraryLock(libraries.user(), 0).locked());
}

void TestParoleWholeSaves::fullAndReadOnlyDisks()
{
    const Recording voice = tone(0, 0.6, 0, 0.3f);
    QImage noisy(300, 300, QImage::Format_RGB32);
    for (int y = 0; y < noisy.height(); ++y) {
        for (int x = 0; x < noisy.width(); ++x)
            noisy.setPixel(x, y, qRgb((x * 7919 + y * 104729) % 256, (x * y) % 256, (x + y * 31) % 256));
    }
    struct Case {
        const char* options;
        int filled;  // 0 nothing, 1 the space, 2 the space and the names
        bool readOnly;
        const char* says;
    };
    const Case cases[] = {{"size=256k", 1, false, "il disco è pieno."},
                          {"size=256k,nr_inodes=64", 2, false, "il disco è pieno."},
                          {"size=256k", 0, true, "il disco è di sola lettura."}};
    for (const Case& c : cases) {
        SmallDisk disk(c.options);
        if (!disk.mounted)
            QSKIP("a small tmpfs cannot be mounted here (not root)");
        const quillo::MediaLibrary libraries{bundled_->path(), disk.dir.filePath(QStringLiteral("quillo"))};
        QCOMPARE(addWord(libraries, QStringLiteral("giulia"), greenPhoto(), voice), QString());
        if (c.filled)
            disk.fill(c.filled == 2);
        if (c.readOnly)
            QVERIFY(disk.readOnly());
        const auto before = snapshot(libraries.user());
        const QString said = addWord(libraries, QStringLiteral("giulia"), noisy, tone(0, 2, 0, 0.3f));
        QVERIFY2(said.endsWith(QString::fromUtf8(c.says)), qPrintable(said));
        QCOMPARE(snapshot(libraries.user()), before);
    }
}

QTEST_MAIN(TestParoleWholeSaves)
#include "test_parole_whole_saves.moc"
