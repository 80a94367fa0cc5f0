// Recording through a real sound server: a private PulseAudio with a null
// sink, its monitor the default source. A known tone, 1 s with half a second
// of silence on each side, is played into the sink while
// `quillo-parole add ... --record 3` records; the saved word is the tone
// with about 50 ms of silence on each side, at the library's loudness.

#include "parole/sound_levels.h"
#include "parole/wav_file.h"

#include "support/pulse_server.h"
#include "support/sample_files.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cmath>

using namespace quillo::parole;

class TestParoleRecording : public QObject {
    Q_OBJECT
private slots:
    void toneThroughTheServer();
};

void TestParoleRecording::toneThroughTheServer()
{
    if (!quillo::test::PulseServer::installed())
        QSKIP("pulseaudio is not installed");
    if (QStandardPaths::findExecutable(QStringLiteral("paplay")).isEmpty())
        QSKIP("paplay is not installed (pulseaudio-utils)");
    quillo::test::PulseServer server;
    server.useInThisProcess();
    QVERIFY2(server.start(), qPrintable(server.errors()));
    QCOMPARE(QProcess::execute(QStringLiteral("pactl"), {QStringLiteral("set-default-source"), QStringLiteral("quillo.monitor")}), 0);

    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("tono.png"));
    QImage image(32, 32, QImage::Format_RGB32);
    image.fill(Qt::cyan);
    QVERIFY(image.save(picture));
    // 48 kHz mono 16-bit: 0.5 s silence, 1 s of 440 Hz at -12 dBFS, 0.5 s silence.
    constexpr int kRate = 48000;
    QByteArray pcm(2 * kRate * 2, '\0');
    for (int i = 0; i < kRate; ++i) {
        const qint16 s = qint16(std::lround(0.25 * 32767 * std::sin(2 * M_PI * 440 * i / kRate)));
        qToLittleEndian(s, pcm.data() + 2 * (kRate / 2 + i));
    }
    const QString tone = dir.filePath(QStringLiteral("tono.wav"));
    QFile toneFile(tone);
    QVERIFY(toneFile.open(QIODevice::WriteOnly));
    toneFile.write(quillo::test::wavFile(pcm, kRate, 1, 16));
    toneFile.close();

    QProcess parole;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    parole.setProcessEnvironment(env);
    parole.setProcessChannelMode(QProcess::SeparateChannels);
    parole.start(QFileInfo(QStringLiteral(QUILLO_BINARY)).absolutePath() + QStringLiteral("/quillo-parole"),
                 {QStringLiteral("add"), QStringLiteral("tono"), QStringLiteral("--picture"), picture,
                  QStringLiteral("--record"), QStringLiteral("3")});
    // It says so once the microphone is capturing.
    for (QDeadlineTimer deadline(10000); !parole.canReadLine() && !deadline.hasExpired();)
        parole.waitForReadyRead(100);
    const QString started = QString::fromUtf8(parole.readLine());
    QVERIFY2(started.startsWith(QStringLiteral("registro per 3 secondi")),
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

QTEST_MAIN(TestParoleRecording)
#include "test_parole_recording.moc"
