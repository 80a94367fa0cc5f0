// Recording through a real sound server: a private PulseAudio with a null
// sink, and a microphone made of its monitor through a remapped source, the
// default source: a real source, where a monitor itself is never recorded
// from. A known tone, 1 s with half a second of silence on each side, is
// played into the sink while `quillo-parole add ... --record 5` records (a
// null sink may take a while to start a stream); the saved word is the tone
// with about 50 ms of silence on each side, at the library's loudness. The
// window records the same way, plays it back and keeps it as a key's letter.

#include "parole/parole_window.h"
#include "parole/sound_levels.h"
#include "parole/wav_file.h"

#include "support/pulse_server.h"
#include "support/sample_files.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cmath>

using namespace quillo::parole;

class TestParoleRecording : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void toneThroughTheServer();
    void toneThroughTheWindow();

private:
    std::unique_ptr<quillo::test::PulseServer> server_;
    QTemporaryDir dir_;
    QString tone_;
};

void TestParoleRecording::initTestCase()
{
    if (!quillo::test::PulseServer::installed())
        QSKIP("pulseaudio is not installed");
    if (QStandardPaths::findExecutable(QStringLiteral("paplay")).isEmpty())
        QSKIP("paplay is not installed (pulseaudio-utils)");
    server_ = std::make_unique<quillo::test::PulseServer>();
    server_->useInThisProcess();
    QVERIFY2(server_->start(), qPrintable(server_->errors()));
    const auto pactl = [](const QStringList& arguments) { return QProcess::execute(QStringLiteral("pactl"), arguments); };
    QCOMPARE(pactl({QStringLiteral("load-module"), QStringLiteral("module-remap-source"), QStringLiteral("master=quillo.monitor"),
                    QStringLiteral("source_name=microfono")}), 0);
    QCOMPARE(pactl({QStringLiteral("set-default-source"), QStringLiteral("microfono")}), 0);
    QCOMPARE(pactl({QStringLiteral("set-default-sink"), QStringLiteral("quillo")}), 0);

    // 48 kHz mono 16-bit: 0.5 s silence, 1 s of 440 Hz at -12 dBFS, 0.5 s silence.
    constexpr int kRate = 48000;
    QByteArray pcm(2 * kRate * 2, '\0');
    for (int i = 0; i < kRate; ++i) {
        const qint16 s = qint16(std::lround(0.25 * 32767 * std::sin(2 * M_PI * 440 * i / kRate)));
        qToLittleEndian(s, pcm.data() + 2 * (kRate / 2 + i));
    }
    tone_ = dir_.filePath(QStringLiteral("tono.wav"));
    QFile toneFile(tone_);
    QVERIFY(toneFile.open(QIODevice::WriteOnly));
    toneFile.write(quillo::test::wavFile(pcm, kRate, 1, 16));
}

void TestParoleRecording::toneThroughTheServer()
{
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("tono.png"));
    QImage image(32, 32, QImage::Format_RGB32);
    image.fill(Qt::cyan);
    QVERIFY(image.save(picture));
    const QString& tone = tone_;

    QProcess parole;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    parole.setProcessEnvironment(env);
    parole.setProcessChannelMode(QProcess::SeparateChannels);
    parole.start(QFileInfo(QStringLiteral(QUILLO_BINARY)).absolutePath() + QStringLiteral("/quillo-parole"),
                 {QStringLiteral("add"), QStringLiteral("tono"), QStringLiteral("--picture"), picture,
                  QStringLiteral("--record"), QStringLiteral("5")});
    // It says so once the microphone is capturing.
    for (QDeadlineTimer deadline(10000); !parole.canReadLine() && !deadline.hasExpired();)
        parole.waitForReadyRead(100);
    const QString started = QString::fromUtf8(parole.readLine());
    QVERIFY2(started.startsWith(QStringLiteral("Registro per 5 secondi")),
             qPrintable(started + QString::fromUtf8(parole.readAllStandardError())));
    QCOMPARE(QProcess::execute(QStringLiteral("paplay"), {QStringLiteral("--device=quillo"), tone}), 0);
    QVERIFY(parole.waitForFinished(15000));
    const QString said = QString::fromUtf8(parole.readAllStandardOutput() + parole.readAllStandardError());
    QVERIFY2(parole.exitCode() == 0, qPrintable(said));

    Recording saved;
    QString error;
    QVERIFY2(readWav(dir.filePath(QStringLiteral("data/quillo/parole/tono.wav")), &saved, &error), qPrintable(error));
    const double loudness = loudnessOf(saved);
    qInfo("saved %.3f s at %.2f LUFS, peak %.2f dBFS", saved.seconds(), loudness, peakOf(saved));
    QVERIFY2(std::abs(saved.seconds() - 1.1) < 0.05, qPrintable(said));
    QVERIFY(std::abs(loudness - kTargetLoudness) < 1.0);
    QVERIFY(peakOf(saved) <= kPeakCeiling);
    QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("data/quillo/immagini/tono.jpg"))));
}

void TestParoleRecording::toneThroughTheWindow()
{
    QTemporaryDir user;
    const quillo::MediaLibrary libraries{QFileInfo(QStringLiteral(QUILLO_BINARY)).absolutePath(), user.filePath(QStringLiteral("quillo"))};
    ParoleWindow window(libraries);
    window.show();
    auto* record = window.findChild<QPushButton*>(QStringLiteral("record"));
    auto* message = window.findChild<QLabel*>(QStringLiteral("message"));
    QVERIFY(record && message);
    QTest::mouseClick(record, Qt::LeftButton);
    QCOMPARE(record->text(), QStringLiteral("Ferma"));
    // A microphone and a speaker: nothing is missing.
    QVERIFY(!window.findChild<QLabel*>(QStringLiteral("sound"))->isVisible());
    // Played while the window's event loop runs, as a parent speaks.
    QProcess paplay;
    paplay.start(QStringLiteral("paplay"), {QStringLiteral("--device=quillo"), tone_});
    QTRY_VERIFY_WITH_TIMEOUT(paplay.state() == QProcess::NotRunning, 15000);
    QCOMPARE(paplay.exitCode(), 0);
    QTest::qWait(300);
    QTest::mouseClick(record, Qt::LeftButton);
    // The microphone here hears the sink the window's own player holds open:
    // the server's rewinds on that sink can stretch the tone by a few tenths.
    QVERIFY2(message->text().contains(QRegularExpression(QStringLiteral("Registrata la voce \\(1,[1-4] s\\)"))),
             qPrintable(message->text()));

    auto* listen = window.findChild<QPushButton*>(QStringLiteral("listen"));
    QElapsedTimer played;
    played.start();
    QTest::mouseClick(listen, Qt::LeftButton);
    QVERIFY2(!message->property("problem").toBool(), qPrintable(message->text()));
    QVERIFY2(played.elapsed() >= 1000, qPrintable(QString::number(played.elapsed())));  // heard to its end

    QTest::keyClicks(window.findChild<QLineEdit*>(QStringLiteral("letter")), QStringLiteral("t"));
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("saveLetter")), Qt::LeftButton);
    QVERIFY2(message->text().contains(QStringLiteral("«t» ora ha la tua voce")), qPrintable(message->text()));
    Recording saved;
    QString error;
    QVERIFY2(readWav(libraries.user() + QStringLiteral("/alfabeto/t.wav"), &saved, &error), qPrintable(error));
    QVERIFY(saved.seconds() > 1.05 && saved.seconds() < 1.45);
    QVERIFY(std::abs(loudnessOf(saved) - kTargetLoudness) < 1.0);
}

QTEST_MAIN(TestParoleRecording)
#include "test_parole_recording.moc"
