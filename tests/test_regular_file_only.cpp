// Only regular files are ever opened. A picture and a recording are listed
// as the program lists them, then swapped, before they are loaded, for a
// FIFO, a twin of /dev/null made with mknod, or a link to either: the load
// fails at once and nothing in their place is opened, which inotify would
// see (IN_OPEN is reported for FIFOs and device nodes as for files).

#include "platform/files/file_search.h"
#include "library/picture_loader.h"
#include "platform/files/regular_file.h"
#include "platform/sound/wav_decoder.h"
#include "support/media_folder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

using namespace quillo;
using test::MediaFolder;

namespace {

// The names in the watched folders that something opened.
class OpenWatch {
public:
    OpenWatch() : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}
    ~OpenWatch()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool watch(const QString& folder)
    {
        return fd_ >= 0 && ::inotify_add_watch(fd_, QFile::encodeName(folder).constData(), IN_OPEN) >= 0;
    }
    QStringList opened()
    {
        QStringList names;
        alignas(inotify_event) char buffer[4096];
        for (ssize_t got; (got = ::read(fd_, buffer, sizeof buffer)) > 0;) {
            for (char* at = buffer; at < buffer + got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                if (event->len > 0)
                    names << QString::fromLocal8Bit(event->name);
                at += sizeof(inotify_event) + event->len;
            }
        }
        return names;
    }

private:
    int fd_;
};

}  // namespace

class RegularFileOnlyTest : public QObject {
    Q_OBJECT
private slots:
    void swappedAfterListingNeverOpened_data();
    void swappedAfterListingNeverOpened();
    void aRegularFileStillOpens();
};

void RegularFileOnlyTest::swappedAfterListingNeverOpened_data()
{
    QTest::addColumn<QString>("folder");  // immagini or alfabeto
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("swap");  // fifo, device, link-fifo, link-device
    for (const auto& [folder, name] : {std::pair{"immagini", "ape.png"}, std::pair{"alfabeto", "a.wav"}}) {
        for (const char* swap : {"fifo", "device", "link-fifo", "link-device"})
            QTest::addRow("%s/%s, %s", folder, name, swap) << QString::fromLatin1(folder) << QString::fromLatin1(name)
                                                            << QString::fromLatin1(swap);
    }
}

void RegularFileOnlyTest::swappedAfterListingNeverOpened()
{
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(QString, swap);
    MediaFolder media;
    media.addBasics();
    const QString dir = media.path() + u'/' + folder + u'/';
    QVERIFY(listMatchingFiles(dir, QStringLiteral("*.*")).contains(name));

    // What takes its place lives beside the media, in a folder watched too.
    QTemporaryDir elsewhere;
    const QString stand = elsewhere.filePath(QStringLiteral("stand-in"));
    const QString path = dir + name;
    QVERIFY(QFile::remove(path));
    const QByteArray target = QFile::encodeName(swap.startsWith(u"link") ? stand : path);
    if (swap.endsWith(u"fifo")) {
        QCOMPARE(::mkfifo(target.constData(), 0600), 0);
    } else if (::mknod(target.constData(), S_IFCHR | 0600, makedev(1, 3)) != 0) {
        // A QSKIP would count the whole test as skipped: the row just ends.
        qInfo("mknod is refused here (%s): nothing to check", std::strerror(errno));
        return;
    }
    if (swap.startsWith(u"link"))
        QVERIFY(QFile::link(stand, path));

    OpenWatch watch;
    QVERIFY(watch.watch(dir) && watch.watch(elsewhere.path()));
    // The watch sees the stand-in opened, where the file system lets it be.
    const int probe = ::open(target.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (probe >= 0) {
        ::close(probe);
        QVERIFY2(!watch.opened().isEmpty(), "inotify does not see the stand-in opened");
    }
    watch.opened();

    QElapsedTimer clock;
    clock.start();
    QString why;
    if (folder == u"immagini") {
        quillo::PictureTrouble trouble;
        QVERIFY(loadPicture(path, QSize(32, 32), &trouble).isNull());
        QCOMPARE(trouble.kind, quillo::PictureTrouble::NotRegular);
        QVERIFY2(trouble.message.endsWith(QStringLiteral("not a regular file")), qPrintable(trouble.message));
    } else {
        const DecodedWav wav = decodeWavFile(path, PcmFormat::commonServer());
        QCOMPARE(wav.refusal, WavRefusal::NotOpened);
        QVERIFY(wav.pcm.isEmpty());
        QCOMPARE(wav.detail, QStringLiteral("not a regular file"));
    }
    quillo::FileRefusal refusal = quillo::FileRefusal::Failed;
    QVERIFY(!openRegularFile(path, &why, &refusal));
    QCOMPARE(refusal, quillo::FileRefusal::NotRegular);
    QVERIFY(clock.elapsed() < 100);
    // Once nothing is there, it is missing, told apart from a refusal.
    QVERIFY(QFile::remove(path));
    QVERIFY(!openRegularFile(path, &why, &refusal));
    QCOMPARE(refusal, quillo::FileRefusal::Missing);
    const QStringList opened = watch.opened();
    QVERIFY2(opened.isEmpty(), qPrintable(opened.join(u' ')));
}

void RegularFileOnlyTest::aRegularFileStillOpens()
{
    // Through links too, and the watch sees each open: what the rows above
    // rely on.
    MediaFolder media;
    media.addBasics();
    QTemporaryDir elsewhere;
    const QString link = elsewhere.filePath(QStringLiteral("a.wav"));
    QVERIFY(QFile::link(media.letters() + QStringLiteral("a.wav"), link));
    OpenWatch watch;
    QVERIFY(watch.watch(media.letters()) && watch.watch(media.pictures()));
    QCOMPARE(decodeWavFile(link, PcmFormat::commonServer()).refusal, WavRefusal::None);
    QVERIFY(!loadPicture(media.pictures() + QStringLiteral("ape.png"), QSize(32, 32)).isNull());
    const QStringList opened = watch.opened();
    QVERIFY2(opened.contains(QStringLiteral("a.wav")) && opened.contains(QStringLiteral("ape.png")),
             qPrintable(opened.join(u' ')));
}

QTEST_MAIN(RegularFileOnlyTest)

#include "test_regular_file_only.moc"
