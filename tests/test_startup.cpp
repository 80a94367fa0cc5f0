// Start-up: what Form_Load sets up on fake services, and how the real program
// starts, or refuses to, over a media folder beside it.
#include "platform/base/failure.h"
#include "app/parla.h"
#include "commands/key_dispatcher.h"
#include "form/key_codes.h"
#include "app/startup.h"
#include "platform/desktop/single_instance.h"
#include "support/fake_platform.h"
#include "support/media_folder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QRandomGenerator>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstring>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using quillo::Parla;
using quillo::test::FakePlatform;
using quillo::test::FakeScreen;
using quillo::test::MediaFolder;

namespace {

bool squareOutline(const QWidget* control)
{
    return control->mask().isEmpty() || control->mask() == QRegion(control->rect());
}

// A copy of the real program in a fresh folder with alfabeto/ and parole/,
// and immagini/ only when asked. A copy, not a link: the program finds its
// media beside its real path.
class ProgramCopy {
public:
    explicit ProgramCopy(bool withPictures)
    {
        QDir dir(path());
        dir.mkpath(QStringLiteral("alfabeto"));
        dir.mkpath(QStringLiteral("parole"));
        if (withPictures)
            dir.mkpath(QStringLiteral("immagini"));
        QFile letter(dir.filePath(QStringLiteral("alfabeto/a.wav")));
        if (letter.open(QIODevice::WriteOnly))
            letter.write(MediaFolder::tinyWav());
        copied_ = QFile::copy(QStringLiteral(QUILLO_BINARY), binary());
    }
    bool ok() const { return dir_.isValid() && copied_; }
    QString path() const { return dir_.path(); }
    QString binary() const { return dir_.filePath(QStringLiteral("quillo")); }

    // A runtime folder nested so deep that a socket in it would have too
    // long a path, as under a build folder at a deep path.
    bool useDeepRuntimeFolder()
    {
        runtimeFolder_ = runtime_.path() + QStringLiteral("/%1/%1").arg(QString(70, u'd'));
        return QDir().mkpath(runtimeFolder_) &&
               QFile::setPermissions(runtimeFolder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // A runtime folder whose socket path is exactly `bytes` long.
    bool useRuntimeFolderForSocketOf(int bytes)
    {
        const qsizetype name = QFile::encodeName(QStringLiteral("/quillo-%1.socket").arg(::getuid())).size();
        const qsizetype base = QFile::encodeName(runtime_.path()).size() + 1;  // and its '/'
        if (bytes - name - base < 1)
            return false;
        runtimeFolder_ = runtime_.path() + u'/' + QString(bytes - name - base, u'r');
        return QDir().mkpath(runtimeFolder_) &&
               QFile::setPermissions(runtimeFolder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Every start of this copy shares its runtime folder, so a second start
    // meets the first. EXTRA adds to or replaces the environment.
    void start(QProcess& process, const QProcessEnvironment& extra = {}) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config_.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder());
        env.insert(extra);
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(QDir::tempPath());  // not the program's folder
        process.start(binary(), {});
    }
    QString runtimeFolder() const { return runtimeFolder_.isEmpty() ? runtime_.path() : runtimeFolder_; }
    // Where the program puts its socket for this runtime folder.
    QString socket() const
    {
        const QByteArray was = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeFolder()));
        const QString path = quillo::SingleInstance::socketPath();
        qputenv("XDG_RUNTIME_DIR", was);
        return path;
    }

private:
    QTemporaryDir dir_;
    QTemporaryDir config_;
    QTemporaryDir runtime_;  // each copy is its own session: never a second start
    QString runtimeFolder_;
    bool copied_ = false;
};

}  // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void formLoadSetsUpTheWindow();
    void formLoadOnOtherScreens_data();
    void formLoadOnOtherScreens();
    void formLoadNeedsThePictureFolder();
    void programRefusesToStartWithoutPictures();
    void programRunsUntilASignal_data();
    void programRunsUntilASignal();
    void secondStartLeavesTheFirst_data();
    void secondStartLeavesTheFirst();
    void programStartsWithoutARuntimeFolder();
    void abandonedSocketsAreRemoved();
};

void TestStartup::formLoadSetsUpTheWindow()
{
    MediaFolder media;
    media.addBasics();
    FakePlatform fake(media.path());
    Parla form(fake.platform);
    QCOMPARE(fake.random->seeds, 0);
    form.Busy = -1;
    Form_Load(form);

    QCOMPARE(form.File1.folder(), media.path() + QStringLiteral("/immagini/"));
    QCOMPARE(form.File1.names(), (QStringList{"ape.png", "casa.png"}));
    QCOMPARE(form.File1.selectedIndex(), -1);
    QCOMPARE(fake.random->seeds, 1);
    QCOMPARE(fake.random->draws, 0);

    // 1024 x 768 pixels at 15 twips each: 15360 x 11520 twips.
    const quillo::TwipsRect sheet = form.twips(form.scrivo);
    QCOMPARE(sheet.left, 120.0);
    QCOMPARE(sheet.top, 1440.0);
    QCOMPARE(sheet.width, 15140.0);
    QCOMPARE(sheet.height, 9980.0);
    QCOMPARE(form.scrivo->geometry(), QRect(8, 96, 1009, 665));
    // The other controls stay where they were.
    QCOMPARE(form.esempio->geometry(), QRect(8, 8, 617, 81));
    QCOMPARE(form.Parolasi->geometry(), QRect(744, 8, 49, 33));

    QCOMPARE(form.Busy, qint16(0));
    QVERIFY(squareOutline(form.scrivo));
    QVERIFY(squareOutline(form.esempio));
    QCOMPARE(form.CornerRadius, qint16(40));
    QCOMPARE(form.SoundOff, qint16(0));
    QVERIFY(fake.sound->played.isEmpty());
    QVERIFY(fake.messages->shown.isEmpty());
    QCOMPARE(form.scrivo->toPlainText(), QString());
    QCOMPARE(form.esempio->text(), QString());

    // The first corner step starts from 40.
    scrivo_KeyDown(form, quillo::vk::kF4, 0);
    QCOMPARE(form.CornerRadius, qint16(50));
    QVERIFY(!squareOutline(form.scrivo));
    QVERIFY(!squareOutline(form.esempio));
}

void TestStartup::formLoadOnOtherScreens_data()
{
    QTest::addColumn<int>("widthPx");
    QTest::addColumn<int>("heightPx");
    QTest::addColumn<double>("twipsPerPixel");
    QTest::addColumn<double>("sheetWidthTwips");
    QTest::addColumn<double>("sheetHeightTwips");
    QTest::addColumn<QRect>("sheetPixels");

    // 28800 - 220 = 28580 twips = 1905.3 px; 16200 - 1540 = 14660 twips = 977.3 px.
    QTest::newRow("1920x1080 at 15") << 1920 << 1080 << 15.0 << 28580.0 << 14660.0 << QRect(8, 96, 1905, 977);
    // 15360 - 220 = 15140 twips = 1261.7 px; 9600 - 1540 = 8060 twips = 671.7 px.
    QTest::newRow("1280x800 at 12") << 1280 << 800 << 12.0 << 15140.0 << 8060.0 << QRect(10, 120, 1262, 672);
    // A screen too small for the sheet: nothing negative reaches the widget.
    QTest::newRow("100x100 at 15") << 100 << 100 << 15.0 << 1280.0 << -40.0 << QRect(8, 96, 85, 0);
}

void TestStartup::formLoadOnOtherScreens()
{
    QFETCH(int, widthPx);
    QFETCH(int, heightPx);
    QFETCH(double, twipsPerPixel);
    QFETCH(double, sheetWidthTwips);
    QFETCH(double, sheetHeightTwips);
    QFETCH(QRect, sheetPixels);

    MediaFolder media;
    FakePlatform fake(media.path());
    fake.platform.screen = std::make_unique<FakeScreen>(widthPx, heightPx, twipsPerPixel);
    Parla form(fake.platform);
    Form_Load(form);
    QCOMPARE(form.File1.count(), 0);  // an empty picture folder is fine

    const quillo::TwipsRect sheet = form.twips(form.scrivo);
    QCOMPARE(sheet.width, sheetWidthTwips);
    QCOMPARE(sheet.height, sheetHeightTwips);
    QCOMPARE(form.scrivo->geometry(), sheetPixels);
    QVERIFY(squareOutline(form.scrivo));
    QCOMPARE(form.CornerRadius, qint16(40));

    scrivo_KeyDown(form, quillo::vk::kF4, 0);  // no crash on any size
    QCOMPARE(form.CornerRadius, qint16(50));
}

void TestStartup::formLoadNeedsThePictureFolder()
{
    MediaFolder media;
    QVERIFY(QDir(media.pictures()).removeRecursively());
    FakePlatform fake(media.path());
    Parla form(fake.platform);
    try {
        Form_Load(form);
        QFAIL("Form_Load did not refuse a missing picture folder");
    } catch (const quillo::Failure& failure) {
        QVERIFY2(failure.message().contains(QStringLiteral("immagini")), qPrintable(failure.message()));
    }
    // Nothing was changed on the way.
    QCOMPARE(fake.random->seeds, 0);
    QCOMPARE(form.CornerRadius, qint16(0));
    QCOMPARE(form.twips(form.scrivo).width, 12132.0);

    // A file in place of the folder is no better.
    media.addFile(QStringLiteral("immagini"), "not a folder");
    QVERIFY_THROWS_EXCEPTION(quillo::Failure, Form_Load(form));
}

void TestStartup::programRefusesToStartWithoutPictures()
{
    ProgramCopy program(/*withPictures=*/false);
    QVERIFY(program.ok());
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    program.start(process);
    QVERIFY(process.waitForStarted(5000));
    QVERIFY2(process.waitForFinished(5000), "the program kept running without its pictures");
    const qint64 elapsed = timer.elapsed();
    const QString err = QString::fromLocal8Bit(process.readAllStandardError());
    const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QVERIFY(process.exitCode() != 0);
    QVERIFY2(err.contains(QStringLiteral("immagini")), qPrintable(err));
    QVERIFY2(err.contains(QFileInfo(program.path()).canonicalFilePath()), qPrintable(err));
    QVERIFY2(!out.contains(QStringLiteral("shown")), qPrintable(out));
    QVERIFY2(elapsed < 3000, qPrintable(QString::number(elapsed)));
    qInfo("refused in %lld ms", elapsed);
}

void TestStartup::programRunsUntilASignal_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void TestStartup::programRunsUntilASignal()
{
    QFETCH(int, signalNumber);
    // An empty picture folder is enough to start.
    ProgramCopy program(/*withPictures=*/true);
    QVERIFY(program.ok());
    QProcess process;
    program.start(process);
    QVERIFY(process.waitForStarted(5000));
    // Long enough for the audio device to open: the audio library must not
    // take the signals over.
    const bool finished = process.waitForFinished(1000);
    if (finished)
        qWarning("%s", process.readAllStandardError().constData());
    QVERIFY2(!finished, "the program ended on its own");
    QVERIFY(QFileInfo(program.socket()).exists());

    QElapsedTimer timer;
    timer.start();
    QCOMPARE(::kill(pid_t(process.processId()), signalNumber), 0);
    QVERIFY2(process.waitForFinished(3000), "the signal did not end the program");
    qInfo("ended %lld ms after the signal", timer.elapsed());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    const QByteArray err = process.readAllStandardError();
    QVERIFY2(!err.contains("cannot start"), err.constData());
    QVERIFY2(!QFileInfo(program.socket()).exists(), "the socket outlived a clean ending");
}

void TestStartup::secondStartLeavesTheFirst_data()
{
    // 0: the test's own runtime folder; otherwise the length of the socket
    // path the runtime folder would give. A Unix socket's path holds 107
    // bytes and QLocalServer takes one less, so at 107 the short name is used.
    QTest::addColumn<int>("socketBytes");
    QTest::newRow("runtime folder") << 0;
    QTest::newRow("socket path of 106 bytes") << 106;
    QTest::newRow("socket path of exactly 107 bytes") << 107;
    QTest::newRow("runtime folder too deep for a socket") << 200;
}

void TestStartup::secondStartLeavesTheFirst()
{
    QFETCH(int, socketBytes);
    ProgramCopy program(/*withPictures=*/true);
    QVERIFY(program.ok());
    const QString inRuntime = QStringLiteral("/quillo-%1.socket").arg(::getuid());
    if (socketBytes == 200) {
        QVERIFY(program.useDeepRuntimeFolder());
        QVERIFY(QFile::encodeName(program.runtimeFolder()).size() > 107);
    } else if (socketBytes > 0) {
        QVERIFY(program.useRuntimeFolderForSocketOf(socketBytes));
        QCOMPARE(QFile::encodeName(program.runtimeFolder() + inRuntime).size(), socketBytes);
    }
    if (socketBytes > 106) {
        QVERIFY2(QFile::encodeName(program.socket()).size() <= 106, qPrintable(program.socket()));
        QVERIFY(!program.socket().startsWith(program.runtimeFolder()));
        QCOMPARE(QFileInfo(QFileInfo(program.socket()).path()).permissions() & 0x0077, QFile::Permissions());
    } else {
        QCOMPARE(program.socket(), program.runtimeFolder() + inRuntime);
    }
    QProcess first;
    program.start(first);
    QVERIFY(first.waitForStarted(5000));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(program.socket()).exists(), 5000);

    auto secondStartEnds = [&program] {
        QProcess second;
        program.start(second);
        return second.waitForFinished(5000) && second.exitStatus() == QProcess::NormalExit && second.exitCode() == 0;
    };
    QVERIFY2(secondStartEnds(), "a second start did not end with 0");
    QCOMPARE(first.state(), QProcess::Running);

    // A run that crashes leaves its socket behind; it answers nobody, and
    // the next start takes its place.
    first.kill();
    QVERIFY(first.waitForFinished(5000));
    QVERIFY(QFileInfo(program.socket()).exists());
    QProcess next;
    program.start(next);
    QVERIFY(next.waitForStarted(5000));
    QVERIFY2(!next.waitForFinished(1000), next.readAllStandardError().constData());
    QVERIFY2(secondStartEnds(), "the start after a crash does not answer a second one");
    next.kill();
    QVERIFY(next.waitForFinished(5000));
}

void TestStartup::programStartsWithoutARuntimeFolder()
{
    ProgramCopy program(/*withPictures=*/true);
    QVERIFY(program.ok());
    QProcess process;
    // A runtime folder that cannot exist, below a regular file, and a regular
    // file where Qt's fallback, TMPDIR/runtime-USER, would go.
    QTemporaryDir tmp;
    QFile fallback(QDir(tmp.path()).filePath(QStringLiteral("runtime-") + QString::fromLocal8Bit(::getpwuid(::getuid())->pw_name)));
    QVERIFY(fallback.open(QIODevice::WriteOnly));
    QProcessEnvironment unusable;
    unusable.insert(QStringLiteral("XDG_RUNTIME_DIR"), program.binary() + QStringLiteral("/runtime"));
    unusable.insert(QStringLiteral("TMPDIR"), tmp.path());
    program.start(process, unusable);
    QVERIFY(process.waitForStarted(5000));
    QVERIFY2(!process.waitForFinished(1000), "the program did not start without a runtime folder");
    QCOMPARE(::kill(pid_t(process.processId()), SIGTERM), 0);
    QVERIFY(process.waitForFinished(3000));
    QCOMPARE(process.exitCode(), 0);
    const QByteArray err = process.readAllStandardError();
    QVERIFY2(err.contains("runtime folder"), err.constData());
}

void TestStartup::abandonedSocketsAreRemoved()
{
    // Runtime folders too deep for a socket give one short name each in the
    // user's own folder; a Quillo killed outright leaves its socket there.
    ProgramCopy program(/*withPictures=*/true);
    QVERIFY(program.ok() && program.useDeepRuntimeFolder());
    const QString folder = QFileInfo(program.socket()).path();
    const QString tag = QString::number(::getpid()) + u'-' + QString::number(QRandomGenerator::global()->generate());
    const QByteArray dead = QFile::encodeName(folder + QStringLiteral("/dead-%1.socket").arg(tag));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    QVERIFY(fd >= 0 && dead.size() < qsizetype(sizeof address.sun_path));
    std::memcpy(address.sun_path, dead.constData(), size_t(dead.size()));
    QCOMPARE(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(fd);  // bound, never listened on: what a killed run leaves
    QLocalServer live;  // another session's Quillo, still running
    const QString livePath = folder + QStringLiteral("/live-%1.socket").arg(tag);
    QVERIFY(live.listen(livePath));

    QProcess process;
    program.start(process);
    QVERIFY(process.waitForStarted(5000));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(program.socket()), 5000);
    QVERIFY(!QFileInfo::exists(QFile::decodeName(dead)));
    QVERIFY(QFileInfo::exists(livePath));
    process.kill();
    QVERIFY(process.waitForFinished(5000));
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
