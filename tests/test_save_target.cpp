// Where a save goes: a settings folder that cannot be made, a disk that
// refuses writes, a settings file that is no regular file, and a settings
// file that is a link.
#include "platform/settings_file/save_target.h"
#include "support/log_capture.h"
#include "support/stored_settings.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace quillo::test;

namespace {


// What a node is, for checking that a save left it alone: its type, its
// inode, its device numbers, and what it holds (a regular file's bytes, a
// link's target, a folder's names).
struct Node {
    mode_t type = 0;
    ino_t inode = 0;
    dev_t rdev = 0;
    QString holds;

    static Node of(const QString& path)
    {
        struct stat status {};
        if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
            return {};
        Node node{status.st_mode & S_IFMT, status.st_ino, status.st_rdev, {}};
        if (S_ISREG(status.st_mode)) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                node.holds = QString::fromUtf8(file.readAll());
        } else if (S_ISLNK(status.st_mode)) {
            node.holds = QFile::symLinkTarget(path);
        } else if (S_ISDIR(status.st_mode)) {
            node.holds = QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).join(u'|');
        }
        return node;
    }
    bool operator==(const Node&) const = default;
};

}  // namespace

class TestSaveTarget : public QObject {
    Q_OBJECT

private slots:
    void init() { removeConfigFolder(); }

    void folderCannotBeCreated();
    void fileCannotBeWritten();
    void notARegularFile();
    void linkTargets_data();
    void linkTargets();
    void linkChangedBeforeRename();
};

void TestSaveTarget::folderCannotBeCreated()
{
    // Where the settings folder should be there is a file: nothing can be stored.
    const QByteArray blocker = "not a folder\n";
    {
        QFile file(configFolder());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(blocker);
    }
    {
        QSettings probe(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("QuilloNuvi"),
                        QStringLiteral("QuilloNuvi"));
        probe.setValue(QStringLiteral("Screen/Circ"), QStringLiteral("1"));
        probe.sync();
        QCOMPARE(probe.status(), QSettings::AccessError);
    }

    LookRig w;
    LogCapture err;
    w.save();
    const QString said = err.text();
    QCOMPARE(w.sound.names(), QStringList{QStringLiteral("<default>")});
    QVERIFY2(said.contains(QStringLiteral("not saved")) && said.contains(iniPath()), qPrintable(said));

    QFile file(configFolder());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), blocker);

    // Loading still works, with the defaults.
    w.sheet.setFontSize(20);
    w.load();
    verifyLook(w, kDefaults);
}

void TestSaveTarget::fileCannotBeWritten()
{
    // A first save, then the disk refuses to grow any file (as root ignores
    // permissions, a file size limit stands in for a read-only folder).
    LookRig w;
    w.corner = 30;
    w.save();
    const QByteArray before = readIni();
    QVERIFY(before.contains("Circ=30"));
    const QStringList filesBefore = QDir(configFolder()).entryList(QDir::Files | QDir::Hidden);
    w.sound.played.clear();

    w.corner = 120;
    w.sheet.setBackColor(0x00FF00);
    rlimit saved{};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit none = saved;
    none.rlim_cur = 0;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &none), 0);
    QString said;
    Look loadedMeanwhile;
    {
        LogCapture err;
        w.save();
        // Loading while the disk still refuses gives the stored values, not
        // the ones that could not be saved.
        w.load();
        loadedMeanwhile = w.look();
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
        said = err.text();
    }

    QCOMPARE(w.sound.names(), QStringList{QStringLiteral("<default>")});
    QVERIFY2(said.contains(QStringLiteral("cannot write")), qPrintable(said));
    QCOMPARE(said.count(u'\n'), 1);
    QCOMPARE(loadedMeanwhile.corner, qint16(30));
    QCOMPARE(loadedMeanwhile.backColor, kSystemBack);
    QCOMPARE(readIni(), before);
    QCOMPARE(QDir(configFolder()).entryList(QDir::Files | QDir::Hidden), filesBefore);

    // Once the disk takes writes again, the old values are still the stored ones.
    w.corner = 120;
    w.load();
    QCOMPARE(w.corner, qint16(30));
    QCOMPARE(w.sheet.backColor(), kSystemBack);
    QCOMPARE(readIni(), before);
    w.save();
    QCOMPARE(w.sound.names(), (QStringList{QStringLiteral("<default>"), QStringLiteral("o.wav"), QStringLiteral("k.wav")}));
}

void TestSaveTarget::notARegularFile()
{
    // A FIFO would block QSettings for ever and a huge file is not ours: both
    // load as defaults at once, and a save puts a good file in their place.
    QDir().mkpath(configFolder());
    QVERIFY(::mkfifo(QFile::encodeName(iniPath()).constData(), 0600) == 0);
    LookRig w;
    QElapsedTimer clock;
    clock.start();
    {
        LogCapture err;
        w.sheet.setFontSize(20);
        w.load();
        QVERIFY2(err.text().contains(QStringLiteral("not a regular file")), qPrintable(err.text()));
    }
    verifyLook(w, kDefaults);
    w.corner = 30;
    {
        LogCapture err;
        w.save();
        QVERIFY2(err.text().startsWith(QStringLiteral("quillo: replacing an unreadable settings file")),
                 qPrintable(err.text()));
    }
    QVERIFY(clock.elapsed() < 10000);
    QCOMPARE(w.sound.names(), (QStringList{QStringLiteral("o.wav"), QStringLiteral("k.wav")}));
    QVERIFY(QFileInfo(iniPath()).isFile());
    QVERIFY(iniLines().contains(QStringLiteral("Circ=30")));

    {
        QFile big(iniPath());
        QVERIFY(big.open(QIODevice::WriteOnly | QIODevice::Truncate));
        big.write("[Screen]\nCirc=70\n");
        QVERIFY(big.resize(2 * 1024 * 1024));  // sparse
    }
    LogCapture err;
    w.load();
    QVERIFY2(err.text().contains(QStringLiteral("larger than 1 MB")), qPrintable(err.text()));
    verifyLook(w, kDefaults);
}

void TestSaveTarget::linkTargets_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");  // "" when the save writes through the link

    QTest::newRow("regular file") << "regular" << "";
    QTest::newRow("character device") << "device" << "a character device";
    QTest::newRow("FIFO") << "fifo" << "a FIFO";
    QTest::newRow("dangling link") << "dangling" << "leads to nothing";
    QTest::newRow("link loop") << "loop" << "loop";
    QTest::newRow("folder") << "folder" << "a folder";
    QTest::newRow("another user's file") << "foreign" << "another user";
}

void TestSaveTarget::linkTargets()
{
    // The settings file is a link into a folder of the test's own. A save
    // writes through it only to a regular file of the user's; anything else
    // it leads to stays exactly as it was and the link becomes a file.
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath(QStringLiteral("quillo.ini"));
    const QByteArray native = QFile::encodeName(target);
    const QByteArray good = "[Screen]\nCirc=70\n";
    if (kind == u"regular" || kind == u"foreign") {
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(good);
        file.close();
        const uid_t other = ::geteuid() == 0 ? 65534 : 0;
        // A QSKIP would count the whole test as skipped: the row just ends.
        if (kind == u"foreign" && ::chown(native.constData(), other, gid_t(-1)) != 0) {
            qInfo("giving a file to another user needs root: nothing to check");
            return;
        }
    } else if (kind == u"device") {
        if (::mknod(native.constData(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
            qInfo("making a device node needs root: nothing to check");
            return;
        }
    } else if (kind == u"fifo") {
        QCOMPARE(::mkfifo(native.constData(), 0600), 0);
    } else if (kind == u"loop") {
        QVERIFY(QFile::link(elsewhere.filePath(QStringLiteral("other")), target));
        QVERIFY(QFile::link(target, elsewhere.filePath(QStringLiteral("other"))));
    } else if (kind == u"folder") {
        QVERIFY(QDir().mkpath(target));
        QFile inside(target + QStringLiteral("/kept"));
        QVERIFY(inside.open(QIODevice::WriteOnly));
    }
    const Node before = Node::of(target);
    QDir().mkpath(configFolder());
    QVERIFY(QFile::link(target, iniPath()));

    LookRig w;
    w.corner = 30;
    LogCapture err;
    w.save();
    const QString said = err.text();
    QCOMPARE(w.sound.names(), (QStringList{QStringLiteral("o.wav"), QStringLiteral("k.wav")}));
    QVERIFY(iniLines().contains(QStringLiteral("Circ=30")));
    QCOMPARE(QDir(configFolder()).entryList(QDir::Files | QDir::System | QDir::Hidden),
             QStringList{QStringLiteral("QuilloNuvi.ini")});
    if (reason.isEmpty()) {
        QCOMPARE(said, QString());
        QCOMPARE(QFileInfo(iniPath()).symLinkTarget(), target);
        QCOMPARE(Node::of(target).type, mode_t(S_IFREG));
        return;
    }
    QVERIFY(Node::of(target) == before);
    QVERIFY(!QFileInfo(iniPath()).isSymLink());
    QVERIFY2(said.contains(QStringLiteral("replacing the link ") + iniPath()) && said.contains(reason),
             qPrintable(said));
    if (kind == u"dangling")
        QVERIFY(!QFileInfo::exists(target) && !QFileInfo(target).isSymLink());
}

void TestSaveTarget::linkChangedBeforeRename()
{
    // The file a link led to when the save began is a FIFO by the time of the
    // rename: the rename is refused and the FIFO stays.
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath(QStringLiteral("quillo.ini"));
    QFile file(target);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const QString link = elsewhere.filePath(QStringLiteral("link.ini"));
    QVERIFY(QFile::link(target, link));
    const quillo::SaveTarget found = quillo::saveTargetOf(link);
    QVERIFY(found.throughLink);
    QCOMPARE(found.path, target);

    QVERIFY(QFile::remove(target));
    QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
    const QString staged = target + QStringLiteral(".new");
    QFile stagedFile(staged);
    QVERIFY(stagedFile.open(QIODevice::WriteOnly));
    stagedFile.close();
    QString why;
    QVERIFY(!quillo::renameOnto(staged, found, &why));
    QVERIFY2(why.contains(QStringLiteral("no longer a regular file")), qPrintable(why));
    QCOMPARE(Node::of(target).type, mode_t(S_IFIFO));
    QVERIFY(QFileInfo::exists(staged));
}

int main(int argc, char** argv)
{
    // The settings path is fixed at the first use of the store.
    quillo::test::TemporaryConfigHome config;
    QApplication app(argc, argv);
    TestSaveTarget test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_save_target.moc"
