// The trimming and levelling of a voice in "Le parole di Quillo", its true-
// peak limiter, through the 16-bit file.

#include "parole/peak_limiter.h"
#include "parole/sound_levels.h"
#include "parole/wav_file.h"

#include "support/media_folder.h"
#include "support/parole_samples.h"
#include "support/sample_files.h"

#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

using namespace quillo::parole;
using namespace quillo::test;

class TestParoleSoundLevels : public QObject {
    Q_OBJECT
private slots:
    void trimmingAndLevelling_data();
    void trimmingAndLevelling();
    void silenceIsRefused();
    void levelledVoices();
};

void TestParoleSoundLevels::trimmingAndLevelling_data()
{
    QTest::addColumn<double>("before");
    QTest::addColumn<double>("after");
    QTest::addColumn<float>("amplitude");
    QTest::addColumn<int>("rate");
    QTest::newRow("quiet, half a second of silence each side") << 0.5 << 0.5 << 0.02f << 48000;
    QTest::newRow("loud, no silence") << 0.0 << 0.0 << 0.9f << 48000;
    QTest::newRow("at 22050 Hz, long silence after") << 0.2 << 2.0 << 0.1f << 22050;
}

void TestParoleSoundLevels::trimmingAndLevelling()
{
    QFETCH(double, before);
    QFETCH(double, after);
    QFETCH(float, amplitude);
    QFETCH(int, rate);
    Recording recording = tone(before, 1.0, after, amplitude, rate);
    QString error;
    QVERIFY2(prepareRecording(&recording, &error), qPrintable(error));
    // 1 s of tone with up to 50 ms of silence kept on each side.
    const double want = 1.0 + qMin(before, 0.05) + qMin(after, 0.05);
    QVERIFY2(std::abs(recording.seconds() - want) < 0.015, qPrintable(QString::number(recording.seconds())));
    QVERIFY2(std::abs(loudnessOf(recording) - kTargetLoudness) < 0.1, qPrintable(QString::number(loudnessOf(recording))));
    QVERIFY(peakOf(recording) <= kPeakCeiling);
}

void TestParoleSoundLevels::silenceIsRefused()
{
    Recording silence = tone(1, 0, 1, 0);
    QString error;
    QVERIFY(!prepareRecording(&silence, &error));
    QVERIFY(error.contains(QStringLiteral("muta")));
    // Noise far below a voice is silence too.
    Recording hiss = tone(0, 1, 0, 0.0003f);
    QVERIFY(!prepareRecording(&hiss, &error));

    // A click peaking far above its loudness: the limiter holds the click
    // under the ceiling and the voice still reaches the library's loudness.
    Recording click = tone(0.3, 1, 0.3, 0.001f);
    for (int i = 0; i < 10; ++i)
        click.samples[size_t(0.5 * 48000) + size_t(i)] = 0.9f;
    QVERIFY(prepareRecording(&click, &error));
    QVERIFY2(20 * std::log10(truePeakOf(click.samples, click.rate)) <= kPeakCeiling, qPrintable(QString::number(peakOf(click))));
    QVERIFY2(std::abs(loudnessOf(click) - kTargetLoudness) <= 1, qPrintable(QString::number(loudnessOf(click))));
}

void TestParoleSoundLevels::levelledVoices()
{
    // Ten of the bundled spoken words, each made too quiet or too loud and
    // half of them with a click at full scale, as a microphone bumped while
    // recording gives: every one saved at the library's loudness within
    // 1 LU, its true peak at or under the ceiling, through the 16-bit file.
    const QStringList words = QDir(QStringLiteral(QUILLO_SOURCE_DIR "/media/parole"))
                                  .entryList({QStringLiteral("*.wav")}, QDir::Files, QDir::Name);
    QVERIFY(words.size() >= 40);
    double lowest = 0, highest = -100;
    for (int i = 0; i < 10; ++i) {
        Recording voice;
        QString error;
        QVERIFY2(readWav(QStringLiteral(QUILLO_SOURCE_DIR "/media/parole/") + words.at(i * 4), &voice, &error), qPrintable(error));
        const float gain = float(std::pow(10.0, (-24 + 4 * i) / 20.0));
        for (float& s : voice.samples)
            s = std::clamp(s * gain, -1.0f, 1.0f);
        if (i % 2)
            for (size_t k = 0; k < 24; ++k)
                voice.samples[voice.samples.size() / 2 + k] = k % 2 ? -1.0f : 1.0f;
        QVERIFY2(prepareRecording(&voice, &error), qPrintable(error));
        Recording saved;
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("v.wav")), encodeWav(voice));
        QVERIFY2(readWav(dir.filePath(QStringLiteral("v.wav")), &saved, &error), qPrintable(error));
        const double loudness = loudnessOf(saved);
        const double truePeak = 20 * std::log10(truePeakOf(saved.samples, saved.rate));
        const QString what = QStringLiteral("%1: %2 LUFS, %3 dBTP").arg(words.at(i * 4)).arg(loudness).arg(truePeak);
        QVERIFY2(std::abs(loudness - kTargetLoudness) <= 1, qPrintable(what));
        QVERIFY2(truePeak <= kPeakCeiling, qPrintable(what));
        lowest = i ? std::min(lowest, loudness) : loudness;
        highest = std::max(highest, loudness);
    }
    qInfo("ten saved recordings: %.2f to %.2f LUFS, a spread of %.2f LU", lowest, highest, highest - lowest);
}

QTEST_MAIN(TestParoleSoundLevels)
#include "test_parole_sound_levels.moc"
