// The real SDL sound in real time. With SDL's dummy driver, which takes sound
// in real time and plays nothing: play() lasts as long as the sound. With no
// device at all: every play fails at once and says so once (SDL picks its
// driver once per start of its audio, so that case runs this program again in
// a child). Through a private PulseAudio server that is killed, started late
// and frozen: sound comes back by itself, and closing never waits long; one
// frozen from the start is said once, and the program still ends cleanly.

#include "platform/program_exit.h"
#include "platform/sound/sdl_capture.h"
#include "platform/sound/sdl_sound.h"
#include "platform/sound/sound_server.h"
#include "support/log_capture.h"
#include "support/pulse_server.h"
#include "support/sample_files.h"

#include <QApplication>
#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <SDL.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace quillo;
using test::PulseServer;
using test::toneWav;

namespace {

const char* const kNoDeviceChild = "--no-device-child";
const char* const kFrozenServerChild = "--frozen-server-child";

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

// In the child, with a sound server that is frozen from the start: plays a
// good file every 100 ms for `seconds`, printing how many plays answered
// false, the longest one in ms, and the time the end took, then leaves as
// Quillo does.
int frozenServerChild(const char* wavPath, int seconds)
{
    auto sound = std::make_unique<SdlSound>();
    int failed = 0;
    qint64 longest = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < seconds * 1000) {
        QElapsedTimer one;
        one.start();
        failed += sound->play(QString::fromLocal8Bit(wavPath)) ? 0 : 1;
        longest = qMax(longest, one.elapsed());
        QThread::msleep(100);
    }
    clock.restart();
    sound.reset();
    std::printf("%d %lld %lld\n", failed, static_cast<long long>(longest), static_cast<long long>(clock.elapsed()));
    return finishProcess(0);
}

// A device whose closing hangs until the test lets it go.
std::atomic<bool> letClose{false};
void closeWhenLetGo(quint32 device)
{
    while (!letClose)
        SDL_Delay(5);
    SDL_CloseAudioDevice(device);
}

// A sound server that says nothing until the test lets it answer.
std::atomic<bool> letAnswer{false};
bool answerWhenLetGo(std::string*, bool*)
{
    while (!letAnswer)
        SDL_Delay(5);
    return true;
}

// Plays `path` every 100 ms until it is heard; how long that took, or -1 when
// it was not heard within `withinMs`.
qint64 msUntilHeard(SdlSound& sound, const QString& path, int withinMs)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < withinMs) {
        if (sound.play(path))
            return clock.elapsed();
        QTest::qWait(100);
    }
    return -1;
}

// How much longer than SdlDevice's own waits a key may take here, on a
// busy machine: under what the key waited before (150 ms), so that a wait
// on the server or the device shows.
constexpr qint64 kMarginMs = 80;

// Plays `path` as a key does: how long the key was held up beyond the
// sound's own length (`soundMs` and its tail, when it was heard).
qint64 keyWait(SdlSound& sound, const QString& path, int soundMs, bool* heard)
{
    QElapsedTimer clock;
    clock.start();
    *heard = sound.play(path);
    return clock.elapsed() - (*heard ? soundMs + 250 : 0);
}

#define NEED_PULSEAUDIO()                                                              \
    do {                                                                               \
        if (!PulseServer::installed()) {                                               \
            if (qgetenv("CI") == "true")                                               \
                QFAIL("pulseaudio is not installed (CI installs every tool)");         \
            QSKIP("pulseaudio is not installed");                                      \
        }                                                                              \
    } while (false)

}  // namespace

class SdlSoundLiveTest : public QObject {
    Q_OBJECT
private slots:
    void playLastsAsLongAsTheSound();
    void windowKeepsRunningWhileASoundPlays();
    void noDeviceFailsAtOnceAndSaysSoOnce();
    void closingGivesUpOnADeviceThatDoesNotClose();
    void aSlowServerHoldsNoKeyAndTheLastSoundComesLate();
    void soundComesBackWhenTheServerDoes();
    void soundStartsWhenTheServerStartsLate();
    void aFrozenServerStallsNeitherKeysNorTheEnd();
    void aServerFrozenAtStartIsSaidOnceAndTheEndIsClean();
    void theServerIsAskedBeforeAudioStarts_data();
    void theServerIsAskedBeforeAudioStarts();

private:
    QTemporaryDir dir_;
};

void SdlSoundLiveTest::playLastsAsLongAsTheSound()
{
    qputenv("SDL_AUDIODRIVER", "dummy");
    SdlSound sound;
    QTRY_VERIFY_WITH_TIMEOUT(sound.open(), 5000);  // opening on its thread
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

void SdlSoundLiveTest::windowKeepsRunningWhileASoundPlays()
{
    SdlSound sound;
    QTRY_VERIFY_WITH_TIMEOUT(sound.open(), 5000);  // opening on its thread
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

void SdlSoundLiveTest::noDeviceFailsAtOnceAndSaysSoOnce()
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

void SdlSoundLiveTest::closingGivesUpOnADeviceThatDoesNotClose()
{
    qputenv("SDL_AUDIODRIVER", "dummy");
    letClose = false;
    auto sound = std::make_unique<SdlSound>(&closeWhenLetGo);
    QTRY_VERIFY_WITH_TIMEOUT(sound->open(), 5000);  // opening on its thread
    QVERIFY(sound->play(writeFile(dir_, QStringLiteral("50ms.wav"), toneWav(50))));
    QElapsedTimer clock;
    clock.start();
    sound.reset();
    const qint64 ms = clock.elapsed();
    letClose = true;
    QVERIFY2(ms >= 450 && ms < SdlDevice::kCloseWait.count() + 150, qPrintable(QString::number(ms)));
}

void SdlSoundLiveTest::aSlowServerHoldsNoKeyAndTheLastSoundComesLate()
{
    qputenv("SDL_AUDIODRIVER", "dummy");
    letAnswer = false;
    SdlSound sound(nullptr, &answerWhenLetGo);
    const QString first = writeFile(dir_, QStringLiteral("60ms.wav"), toneWav(60));
    const QString last = writeFile(dir_, QStringLiteral("80ms.wav"), toneWav(80));
    for (const QString& path : {first, last}) {
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!sound.play(path));
        QVERIFY2(clock.elapsed() < SdlDevice::kAskWait.count() + kMarginMs, qPrintable(QString::number(clock.elapsed())));
    }
    QTest::qWait(300);
    QCOMPARE(sound.soundsPlayed(), 0);
    letAnswer = true;
    // Once the device is open the last key is heard, and only that one.
    QTRY_COMPARE_WITH_TIMEOUT(sound.soundsPlayed(), 1, 3000);
    QTest::qWait(300);
    QCOMPARE(sound.soundsPlayed(), 1);
    QVERIFY(sound.play(first));
    QCOMPARE(sound.soundsPlayed(), 2);
}

void SdlSoundLiveTest::soundComesBackWhenTheServerDoes()
{
    NEED_PULSEAUDIO();
    PulseServer server;
    server.useInThisProcess();
    QVERIFY2(server.start(), qPrintable(server.errors()));
    const QString beep = writeFile(dir_, QStringLiteral("120ms.wav"), toneWav(120));
    const QString longer = writeFile(dir_, QStringLiteral("1500ms.wav"), toneWav(1500));
    test::LogCapture log;
    SdlSound sound;
    // The device opens while the window is built (300 ms is a slow build):
    // the first sound then starts as fast as any later one, not after the
    // device's start.
    QTest::qWait(300);
    QElapsedTimer first;
    first.start();
    QVERIFY(sound.play(beep));
    QVERIFY2(first.elapsed() < 120 + 100, qPrintable(QString::number(first.elapsed())));
    // The device runs at the server's own rate and channels, not the recordings'.
    QCOMPARE(sound.deviceFormat().rate, 48000);
    QCOMPARE(sound.deviceFormat().channels, 2);

    // Killed during a sound: the sound ends there, not after its length.
    QTimer::singleShot(300, [&] { server.kill(); });
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!sound.play(longer));
    QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
    // With no server, keys are not held up.
    for (int i = 0; i < 3; ++i) {
        clock.restart();
        QVERIFY(!sound.play(beep));
        QVERIFY2(clock.elapsed() < SdlDevice::kKeyWait.count() + kMarginMs, qPrintable(QString::number(clock.elapsed())));
        QTest::qWait(SdlDevice::kRetryInterval.count() / 2);  // a new try every other key
    }
    QVERIFY(server.start());
    const qint64 back = msUntilHeard(sound, beep, 5000);
    QVERIFY2(back >= 0 && back <= 3000, qPrintable(QString::number(back)));
    const QString said = log.text();
    QCOMPARE(said.count(QStringLiteral("sound lost")), 1);
    QCOMPARE(said.count(QStringLiteral("sound is back")), 1);
}

void SdlSoundLiveTest::soundStartsWhenTheServerStartsLate()
{
    NEED_PULSEAUDIO();
    PulseServer server;
    server.useInThisProcess();
    const QString beep = writeFile(dir_, QStringLiteral("120ms.wav"), toneWav(120));
    test::LogCapture log;
    SdlSound sound;
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!sound.play(beep));
    QVERIFY(!sound.play(beep));
    // The first may wait for the opening begun with the program (which finds no server).
    QVERIFY2(clock.elapsed() < SdlDevice::kStallMarginMs + 100, qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(server.start(), qPrintable(server.errors()));
    const qint64 back = msUntilHeard(sound, beep, 5000);
    QVERIFY2(back >= 0 && back <= 3000, qPrintable(QString::number(back)));
    const QString said = log.text();
    QCOMPARE(said.count(QStringLiteral("no sound")), 1);
    QCOMPARE(said.count(QStringLiteral("sound works now")), 1);
}

void SdlSoundLiveTest::aFrozenServerStallsNeitherKeysNorTheEnd()
{
    NEED_PULSEAUDIO();
    PulseServer server;
    server.useInThisProcess();
    QVERIFY2(server.start(), qPrintable(server.errors()));
    const QString beep = writeFile(dir_, QStringLiteral("120ms.wav"), toneWav(120));
    const QString longer = writeFile(dir_, QStringLiteral("600ms.wav"), toneWav(600));
    auto sound = std::make_unique<SdlSound>();
    QTRY_VERIFY_WITH_TIMEOUT(sound->open(), 5000);  // opening on its thread
    QVERIFY(sound->play(beep));

    // Frozen during a sound: the sound ends once the device takes nothing
    // more, well before its length, and the keys after it are not held up
    // by the frozen device.
    QTimer::singleShot(200, [&] { server.freeze(); });
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!sound->play(longer));
    QVERIFY2(clock.elapsed() < 600, qPrintable(QString::number(clock.elapsed())));
    for (int i = 0; i < 3; ++i) {
        clock.restart();
        QVERIFY(!sound->play(beep));
        QVERIFY2(clock.elapsed() < SdlDevice::kKeyWait.count() + kMarginMs, qPrintable(QString::number(clock.elapsed())));
    }
    clock.restart();
    sound.reset();
    QVERIFY2(clock.elapsed() < SdlDevice::kCloseWait.count() + 100, qPrintable(QString::number(clock.elapsed())));
    // The closing left behind ends once the server is gone for good.
    server.thaw();
    server.kill();
}

void SdlSoundLiveTest::aServerFrozenAtStartIsSaidOnceAndTheEndIsClean()
{
    NEED_PULSEAUDIO();
    PulseServer server;
    server.useInThisProcess();
    QVERIFY2(server.start(), qPrintable(server.errors()));
    server.freeze();
    const QString beep = writeFile(dir_, QStringLiteral("100ms.wav"), toneWav(100));
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kFrozenServerChild), beep, QStringLiteral("5")});
    const bool ended = child.waitForFinished(20000);
    server.thaw();
    server.kill();
    QVERIFY(ended);
    const QString out = QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed();
    const QString err = QString::fromLocal8Bit(child.readAllStandardError());
    // Left behind inside the audio library, the opening does not crash or
    // hold up the process's end.
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    const QStringList fields = out.split(u' ');
    QCOMPARE(fields.size(), 3);
    QVERIFY2(fields[0].toInt() >= 20, qPrintable(out));  // every play failed
    QVERIFY2(fields[1].toInt() < SdlDevice::kKeyWait.count() + kMarginMs, qPrintable(out));
    QVERIFY2(fields[2].toInt() < SdlDevice::kCloseWait.count() + 100, qPrintable(out));
    QCOMPARE(err.count(QStringLiteral("no sound")), 1);
    QVERIFY2(err.contains(QStringLiteral("quillo: no sound (the sound server does not answer)")), qPrintable(err));
}

void SdlSoundLiveTest::theServerIsAskedBeforeAudioStarts_data()
{
    // How the server is set up; what it is found to offer; why the
    // microphone does not start (empty: it starts; with only a sink's
    // monitor, SDL records that).
    QTest::addColumn<QString>("server");
    QTest::addColumn<int>("reach");
    QTest::addColumn<bool>("output");
    QTest::addColumn<bool>("input");
    QTest::addColumn<QString>("microphone");
    using Reach = SoundServerState::Reach;
    QTest::newRow("no server") << "none" << int(Reach::NoServer) << false << false << "audio could not start";
    QTest::newRow("no sink") << "nosink" << int(Reach::Answered) << false << false
                             << "the sound server has no output device";
    QTest::newRow("a sink, no source but its monitor") << "sink" << int(Reach::Answered) << true << false << "";
    QTest::newRow("a sink and a microphone") << "sink+source" << int(Reach::Answered) << true << true << "";
    QTest::newRow("frozen") << "frozen" << int(Reach::Silent) << false << false << "the sound server does not answer";
}

void SdlSoundLiveTest::theServerIsAskedBeforeAudioStarts()
{
    QFETCH(QString, server);
    QFETCH(int, reach);
    QFETCH(bool, output);
    QFETCH(bool, input);
    QFETCH(QString, microphone);
    NEED_PULSEAUDIO();
    PulseServer pulse(48000, server != u"nosink");
    pulse.useInThisProcess();
    if (server != u"none")
        QVERIFY2(pulse.start(), qPrintable(pulse.errors()));
    if (server == u"sink+source")
        QVERIFY(pulse.pactl({QStringLiteral("load-module"), QStringLiteral("module-null-source"), QStringLiteral("source_name=mic")}));
    if (server == u"frozen")
        pulse.freeze();

    QElapsedTimer clock;
    clock.start();
    const SoundServerState state = askSoundServer(std::chrono::milliseconds(500));
    QVERIFY(clock.elapsed() < 1500);
    QCOMPARE(int(state.reach), reach);
    QCOMPARE(state.output, output);
    QCOMPARE(state.input, input);

    // Keys, once the opening begun with the program has ended, wait neither
    // on the server nor on a device; with a sink they are heard. (A server
    // that does not answer is not waited on a second time here: a child
    // meets it, in aServerFrozenAtStartIsSaidOnceAndTheEndIsClean. With the
    // null source loaded, the sink takes no sound: left out.)
    if (server != u"frozen" && server != u"sink+source") {
        const QString beep = writeFile(dir_, QStringLiteral("30ms.wav"), toneWav(30));
        SdlSound sound;
        sound.open();  // as long as the opening takes, no longer
        bool heard = false;
        for (int i = 0; i < 3; ++i) {
            const qint64 waited = keyWait(sound, beep, 30, &heard);
            QVERIFY2(waited < SdlDevice::kKeyWait.count() + kMarginMs, qPrintable(QString::number(waited)));
        }
        QCOMPARE(heard, output);
        sound.close();
    }
    // The microphone says why it does not start, and nothing crashes.
    if (server != u"frozen") {
        SdlCapture capture;
        QString why;
        QCOMPARE(capture.start(&why), microphone.isEmpty());
        QVERIFY2(microphone.isEmpty() ? why.isEmpty() : why.startsWith(microphone), qPrintable(why));
        capture.stop();
    }
    pulse.thaw();
}

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], kFrozenServerChild) == 0)
        return frozenServerChild(argv[2], std::atoi(argv[3]));
    if (argc == 3 && std::strcmp(argv[1], kNoDeviceChild) == 0)
        return noDeviceChild(argv[2]);
    QApplication app(argc, argv);
    SdlSoundLiveTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_sdl_sound_live.moc"
