// The real SDL sound with SDL's dummy driver, which takes sound in real time
// and plays nothing: play() must last as long as the sound. And with no
// device at all: every play fails at once and says so once. SDL picks its
// driver once per program, so the no-device case runs this program again
// in a child process.

#include "platform/sdl_sound.h"
#include "support/sample_files.h"

#include <QApplication>
#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cmath>
#include <cstdio>
#include <cstring>

using namespace quillo;
using test::toneWav;

namespace {

const char* const kNoDeviceChild = "--no-device-child";

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile file(dir.filePath(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return file.fileName();
}

// In the child: plays a good file three times and the default sound once,
// printing what play() answered and how long it all took.
int noDeviceChild(const char* wavPath)
{
    QElapsedTimer clock;
    clock.start();
    SdlSound sound;
    QByteArray answers;
    for (int i = 0; i < 3; ++i)
        answers += sound.play(QString::fromLocal8Bit(wavPath)) ? "true " : "false ";
    sound.playDefault();
    std::printf("%s%s %lld\n", answers.constData(), sound.hasDevice() ? "device" : "nodevice",
                static_cast<long long>(clock.elapsed()));
    return 0;
}

}  // namespace

class SdlSoundDummyTest : public QObject {
    Q_OBJECT
private slots:
    void playLastsAsLongAsTheSound();
    void windowKeepsRunningWhileASoundPlays();
    void noDeviceFailsAtOnceAndSaysSoOnce();

private:
    QTemporaryDir dir_;
};

void SdlSoundDummyTest::playLastsAsLongAsTheSound()
{
    qputenv("SDL_AUDIODRIVER", "dummy");
    SdlSound sound;
    QVERIFY(sound.open());
    const QString longer = writeFile(dir_, QStringLiteral("300ms.wav"), toneWav(300));
    const QString shorter = writeFile(dir_, QStringLiteral("50ms.wav"), toneWav(50));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(sound.play(longer));
    const qint64 longMs = clock.restart();
    QVERIFY(sound.play(shorter));
    const qint64 shortMs = clock.elapsed();
    qInfo("300 ms sound: %lld ms in play(); 50 ms sound: %lld ms", static_cast<long long>(longMs),
          static_cast<long long>(shortMs));
    QVERIFY2(longMs >= 280, qPrintable(QString::number(longMs)));
    QVERIFY2(longMs < 300 + 250, qPrintable(QString::number(longMs)));
    QVERIFY2(shortMs >= 40 && shortMs < 50 + 250, qPrintable(QString::number(shortMs)));
}

void SdlSoundDummyTest::windowKeepsRunningWhileASoundPlays()
{
    SdlSound sound;
    QVERIFY(sound.open());
    const QString path = writeFile(dir_, QStringLiteral("200ms.wav"), toneWav(200));
    // Timers fire while the sound plays; a sound asked for from a timer then
    // is skipped rather than played inside the other.
    int ticks = 0;
    int nestedAnswers = 0;
    bool nestedResult = true;
    QTimer timer;
    timer.callOnTimeout([&] {
        ++ticks;
        if (nestedAnswers++ == 0)
            nestedResult = sound.play(path);
    });
    timer.start(20);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(sound.play(path));
    timer.stop();
    QVERIFY2(ticks >= 3, qPrintable(QString::number(ticks)));
    QVERIFY(!nestedResult);
    QVERIFY(clock.elapsed() < 200 + 250);  // the nested request did not play too
}

void SdlSoundDummyTest::noDeviceFailsAtOnceAndSaysSoOnce()
{
    const QString path = writeFile(dir_, QStringLiteral("good.wav"), toneWav(100));
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("nonexistent_driver"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kNoDeviceChild), path});
    QVERIFY(child.waitForFinished(10000));
    QCOMPARE(child.exitCode(), 0);
    const QString out = QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed();
    const QString err = QString::fromLocal8Bit(child.readAllStandardError());
    const QStringList fields = out.split(u' ');
    QCOMPARE(fields.mid(0, 4), (QStringList{QStringLiteral("false"), QStringLiteral("false"), QStringLiteral("false"),
                                            QStringLiteral("nodevice")}));
    QVERIFY2(fields.value(4).toInt() < 1000, qPrintable(out));
    QCOMPARE(err.count(QStringLiteral("no sound")), 1);
    QVERIFY2(err.startsWith(QStringLiteral("quillo: no sound")), qPrintable(err));
}

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], kNoDeviceChild) == 0)
        return noDeviceChild(argv[2]);
    QApplication app(argc, argv);
    SdlSoundDummyTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_sdl_sound_dummy.moc"
