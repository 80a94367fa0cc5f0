// The WAV files of "Le parole di Quillo": written and read back, other rates
// converted, a file that is no WAV refused.

#include "parole/wav_file.h"

#include "support/media_folder.h"
#include "support/parole_samples.h"
#include "support/sample_files.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace quillo::parole;
using namespace quillo::test;

class TestParoleWavFile : public QObject {
    Q_OBJECT
private slots:
    void wavRoundTrip();
};

void TestParoleWavFile::wavRoundTrip()
{
    Recording recording = tone(0, 0.5, 0, 0.5f);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("voce.wav"));
    writeFile(path, encodeWav(recording));
    QCOMPARE(readFile(path).left(4), QByteArray("RIFF"));
    QCOMPARE(readFile(path).size(), 44 + qsizetype(recording.samples.size()) * 2);
    Recording back;
    QString error;
    QVERIFY2(readWav(path, &back, &error), qPrintable(error));
    QCOMPARE(back.rate, recording.rate);
    QCOMPARE(back.samples.size(), recording.samples.size());
    QVERIFY(std::abs(back.samples[1000] - recording.samples[1000]) < 0.001f);
    // A 22050 Hz file comes at the recording rate.
    writeFile(path, quillo::test::toneWav(500));
    QVERIFY2(readWav(path, &back, &error), qPrintable(error));
    QCOMPARE(back.rate, 48000);
    QVERIFY(std::abs(back.seconds() - 0.5) < 0.01);
    writeFile(path, "RIFF not really");
    QVERIFY(!readWav(path, &back, &error));
    QVERIFY2(error.contains(QStringLiteral("non è un file WAV")), qPrintable(error));
}

QTEST_MAIN(TestParoleWavFile)
#include "test_parole_wav_file.moc"
