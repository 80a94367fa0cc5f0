// The real SDL sound, through SDL's disk driver: what reaches the device is
// written to a file, so the test can check which samples were heard, in
// which order. SDL_DISKAUDIODELAY=0 makes the device take sound as fast as
// it can, so the test does not wait in real time. (The dummy driver and the
// case of no device are in test_sdl_sound_live.cpp: SDL picks its driver
// once per program.)

#include "platform/files/file_name.h"
#include "platform/sound/sdl_sound.h"
#include "support/process_memory.h"
#include "support/log_capture.h"
#include "support/media_folder.h"
#include "support/sample_files.h"

#include <QApplication>
#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>

#include <sys/stat.h>

using namespace quillo;
using test::wavFile;

namespace {

// SDL's own default rate, at which the disk driver runs unless told otherwise.
constexpr int kDiskRate = 22050;

// A tone whose samples are never zero, so that silence and sound can be told
// apart sample by sample.
QByteArray tonePcm(double hz, int ms, int rate = kDiskRate, int channels = 1)
{
    const int frames = rate * ms / 1000;
    QByteArray pcm;
    QDataStream out(&pcm, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    for (int i = 0; i < frames; ++i) {
        qint16 v = qint16(std::lround(9000 * std::sin(2 * M_PI * hz * i / rate)));
        if (v == 0)
            v = 1;
        for (int c = 0; c < channels; ++c)
            out << v;
    }
    return pcm;
}

struct Run {
    qsizetype start;   // in samples, from the start of the examined capture
    qsizetype length;  // in samples
};

// The stretches of non-zero samples, joining those split by fewer than
// `gap` zero samples (a converted sound may cross zero exactly).
QList<Run> soundRuns(const QByteArray& capture, int gap = 1)
{
    const auto* s = reinterpret_cast<const qint16*>(capture.constData());
    const qsizetype n = capture.size() / 2;
    QList<Run> runs;
    qsizetype lastSound = -1;
    for (qsizetype i = 0; i < n; ++i) {
        if (s[i] == 0)
            continue;
        if (runs.isEmpty() || i - lastSound > gap)
            runs.append({i, 0});
        runs.last().length = i - runs.last().start + 1;
        lastSound = i;
    }
    return runs;
}

// Where `pcm` appears in the capture, on a sample boundary; -1 when it does not.
qsizetype findSamples(const QByteArray& capture, const QByteArray& pcm, qsizetype from = 0)
{
    for (qsizetype at = capture.indexOf(pcm, from); at >= 0; at = capture.indexOf(pcm, at + 1)) {
        if (at % 2 == 0)
            return at;
    }
    return -1;
}

// Two channels of different tones, interleaved.
QByteArray stereoPcm(const QByteArray& left, const QByteArray& right)
{
    QByteArray pcm;
    for (qsizetype i = 0; i + 1 < left.size() && i + 1 < right.size(); i += 2)
        pcm.append(left.mid(i, 2)).append(right.mid(i, 2));
    return pcm;
}

}  // namespace

class SdlSoundDiskTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void playsSoundsWholeAndInOrder();
    void convertsOtherFormats();
    void unplayableFilesGiveTheDefaultSoundQuickly();
    void letterCueAndWordAreHeardWholeOneAfterTheOther();
    void recordingsThatWouldCostTooMuchAreRefused();
    void fifosAtFixedPathsAreRefusedAtOnce();
    void deviceAtTheServersFormatKeepsTheRecordingsOwn();
    void cleanupTestCase();

private:
    // Starts a new stretch of the capture; capture() returns what was written since.
    void mark();
    QByteArray capture();
    QString writeWav(const QString& name, const QByteArray& wav);

    QTemporaryDir dir_;
    std::unique_ptr<SdlSound> sound_;
    qint64 mark_ = 0;
};

void SdlSoundDiskTest::initTestCase()
{
    QVERIFY(dir_.isValid());
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(dir_.filePath(QStringLiteral("capture.raw"))));
    qputenv("SDL_DISKAUDIODELAY", "0");
    sound_ = std::make_unique<SdlSound>();
    QTRY_VERIFY_WITH_TIMEOUT(sound_->open(), 5000);  // opening on its thread
    QVERIFY(sound_->hasDevice());
}

void SdlSoundDiskTest::cleanupTestCase()
{
    sound_.reset();  // closes the device before the capture file goes
}

void SdlSoundDiskTest::mark()
{
    mark_ = QFileInfo(dir_.filePath(QStringLiteral("capture.raw"))).size();
    mark_ -= mark_ % 2;
}

QByteArray SdlSoundDiskTest::capture()
{
    QFile file(dir_.filePath(QStringLiteral("capture.raw")));
    if (!file.open(QIODevice::ReadOnly) || !file.seek(mark_))
        return {};
    QByteArray bytes = file.readAll();
    bytes.truncate(bytes.size() - bytes.size() % 2);
    return bytes;
}

QString SdlSoundDiskTest::writeWav(const QString& name, const QByteArray& wav)
{
    QFile file(dir_.filePath(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(wav);
    return file.fileName();
}

void SdlSoundDiskTest::playsSoundsWholeAndInOrder()
{
    const QByteArray pcm[3] = {tonePcm(440, 200), tonePcm(660, 120), tonePcm(880, 300)};
    mark();
    for (int i = 0; i < 3; ++i)
        QVERIFY(sound_->play(writeWav(QStringLiteral("tone%1.wav").arg(i), wavFile(pcm[i]))));
    const QByteArray out = capture();

    // The device runs at the recordings' own rate and format: the very samples arrive.
    qsizetype at = 0;
    for (int i = 0; i < 3; ++i) {
        const qsizetype found = findSamples(out, pcm[i], at);
        QVERIFY2(found >= 0, qPrintable(QStringLiteral("sound %1 not heard whole, in order").arg(i)));
        at = found + pcm[i].size();
    }
    // Nothing else was heard, and each sound is heard once, with silence between.
    const QList<Run> runs = soundRuns(out);
    QCOMPARE(runs.size(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(runs[i].length, pcm[i].size() / 2);
}

void SdlSoundDiskTest::convertsOtherFormats()
{
    // 100 ms at 44100 Hz stereo, and 200 ms at 11025 Hz in 8 bits.
    const QString stereo = writeWav(QStringLiteral("stereo.wav"), wavFile(tonePcm(500, 100, 44100, 2), 44100, 2));
    QByteArray eightBit;
    for (int i = 0; i < 11025 / 5; ++i)
        eightBit.append(char((128 + int(std::lround(90 * std::sin(2 * M_PI * 300 * i / 11025.0)))) | 1));
    const QString narrow = writeWav(QStringLiteral("narrow.wav"), wavFile(eightBit, 11025, 1, 8));

    mark();
    QVERIFY(sound_->play(stereo));
    QVERIFY(sound_->play(narrow));
    const QList<Run> runs = soundRuns(capture(), 64);
    QCOMPARE(runs.size(), 2);
    QVERIFY2(std::abs(runs[0].length - 2205) < 40, qPrintable(QString::number(runs[0].length)));
    QVERIFY2(std::abs(runs[1].length - 4410) < 40, qPrintable(QString::number(runs[1].length)));
}

void SdlSoundDiskTest::unplayableFilesGiveTheDefaultSoundQuickly()
{
    const QString missing = dir_.filePath(QStringLiteral("missing.wav"));
    const QString empty = writeWav(QStringLiteral("empty.wav"), {});
    const QString garbage = writeWav(QStringLiteral("garbage.wav"), QByteArray("RIFF\x10\0\0\0WAVEjunkjunkjunk", 24));
    for (const QString& path : {missing, empty, garbage, dir_.path()}) {
        mark();
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!sound_->play(path));
        const qint64 ms = clock.elapsed();
        // The device takes sound as fast as it can here: the default sound
        // and the device's last buffer are all the time spent. A refusal that
        // waited on anything would take seconds; the bound leaves room for a
        // sanitizer build on a busy machine (61 ms seen there against 50).
        QVERIFY2(ms < 150, qPrintable(QStringLiteral("%1 ms for %2").arg(ms).arg(path)));
        const QList<Run> runs = soundRuns(capture(), 64);
        QVERIFY2(runs.size() == 1 && runs[0].length > kDiskRate / 10, qPrintable(path));
    }
    // playDefault alone gives the same sound.
    mark();
    sound_->playDefault();
    QCOMPARE(soundRuns(capture(), 64).size(), 1);
}

void SdlSoundDiskTest::letterCueAndWordAreHeardWholeOneAfterTheOther()
{
    // What a letter typed in word mode plays (the typing handler's test has
    // the order): three plays at once, each heard whole after the other.
    const QByteArray letter = tonePcm(500, 150), cue = tonePcm(700, 90), word = tonePcm(900, 250);
    const QString letterPath = writeWav(QStringLiteral("a.wav"), wavFile(letter));
    const QString cuePath = writeWav(QStringLiteral("d.wav"), wavFile(cue));
    const QString wordPath = writeWav(QStringLiteral("ape.wav"), wavFile(word));
    const auto heardInOrder = [&](const QByteArray& out, const QByteArray& first, const QByteArray& last) {
        const qsizetype l = findSamples(out, first);
        const qsizetype d = findSamples(out, cue);
        const qsizetype w = findSamples(out, last);
        QVERIFY(l >= 0 && d >= 0 && w >= 0);
        QVERIFY(l + first.size() <= d);
        QVERIFY(d + cue.size() <= w);
    };
    mark();
    QVERIFY(sound_->play(letterPath));
    QVERIFY(sound_->play(cuePath));
    QVERIFY(sound_->play(wordPath));
    const QByteArray out = capture();
    heardInOrder(out, letter, word);
    QCOMPARE(soundRuns(out).size(), 3);

    // The same with names that are not UTF-8 (Latin-1, as an old stick
    // brings them): each file is opened by its name's own bytes.
    const QByteArray accented = tonePcm(600, 120), accentedWord = tonePcm(800, 200);
    test::MediaFolder latin1;  // written by the names' own bytes
    latin1.addFile(decodeFileName("\xe8.wav"), wavFile(accented));
    latin1.addFile(decodeFileName("\xe8lica.wav"), wavFile(accentedWord));
    const QString accentedPath = latin1.path() + u'/' + decodeFileName("\xe8.wav");
    const QString accentedWordPath = latin1.path() + u'/' + decodeFileName("\xe8lica.wav");
    mark();
    QVERIFY(sound_->play(accentedPath));
    QVERIFY(sound_->play(cuePath));
    QVERIFY(sound_->play(accentedWordPath));
    heardInOrder(capture(), accented, accentedWord);
}

void SdlSoundDiskTest::recordingsThatWouldCostTooMuchAreRefused()
{
    // 1 MB at 1 Hz would become 12 days of sound at the device's rate; 10 MB
    // at 1000 Hz almost three hours. A minute is a recording a parent may
    // make. The files are written first, so that only the sound's own memory
    // counts towards the peak.
    const QString slow = writeWav(QStringLiteral("1hz.wav"), wavFile(QByteArray(1 << 20, char(0x90)), 1, 1, 8));
    const QString hours = writeWav(QStringLiteral("1000hz.wav"), wavFile(QByteArray(10 << 20, char(0x90)), 1000, 1, 8));
    const qsizetype minuteSamples = kDiskRate * 60;
    const QString minute = writeWav(QStringLiteral("minute.wav"), wavFile(tonePcm(440, 60 * 1000)));
    QVERIFY(test::resetPeakResident());
    const qint64 peakBefore = test::peakResidentBytes() / (1024 * 1024);
    for (const QString& path : {slow, hours}) {
        test::LogCapture log;
        mark();
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!sound_->play(path));
        QVERIFY2(clock.elapsed() < 200, qPrintable(QStringLiteral("%1 ms for %2").arg(clock.elapsed()).arg(path)));
        QCOMPARE(soundRuns(capture(), 64).size(), 1);  // the default sound
        QVERIFY2(log.text().contains(QStringLiteral("too long to play")), qPrintable(path));
    }
    mark();
    QVERIFY(sound_->play(minute));
    const qint64 peakAfter = test::peakResidentBytes() / (1024 * 1024);
    const QList<Run> runs = soundRuns(capture(), 64);
    QCOMPARE(runs.size(), 1);
    QCOMPARE(runs[0].length, minuteSamples);
    QVERIFY2(peakAfter - peakBefore < 40, qPrintable(QStringLiteral("%1 MB -> %2 MB").arg(peakBefore).arg(peakAfter)));
}

void SdlSoundDiskTest::fifosAtFixedPathsAreRefusedAtOnce()
{
    // The word cue and the word's recording are named, not searched for: a
    // plain open of either would wait for a writer for ever.
    const QByteArray letter = tonePcm(500, 150);
    const QString letterPath = writeWav(QStringLiteral("b.wav"), wavFile(letter));
    const QStringList fifos{dir_.filePath(QStringLiteral("fifo-d.wav")), dir_.filePath(QStringLiteral("fifo-ape.wav"))};
    for (const QString& fifo : fifos)
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    test::LogCapture log;
    mark();
    QElapsedTimer clock;
    clock.start();
    QVERIFY(sound_->play(letterPath));
    for (const QString& fifo : fifos)
        QVERIFY(!sound_->play(fifo));
    QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
    // The letter, then the default sound for each of the two.
    const QByteArray out = capture();
    QVERIFY(findSamples(out, letter) >= 0);
    QCOMPARE(soundRuns(out, 64).size(), 3);
    QCOMPARE(log.text().count(QStringLiteral("not a regular file")), 2);
}

void SdlSoundDiskTest::deviceAtTheServersFormatKeepsTheRecordingsOwn()
{
    // A device at 48 kHz stereo, as a sound server would offer it.
    sound_.reset();
    qputenv("SDL_AUDIO_FREQUENCY", "48000");
    qputenv("SDL_AUDIO_CHANNELS", "2");
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(dir_.filePath(QStringLiteral("capture48.raw"))));
    sound_ = std::make_unique<SdlSound>();
    QTRY_VERIFY_WITH_TIMEOUT(sound_->open(), 5000);  // opening on its thread
    QCOMPARE(sound_->deviceFormat().rate, 48000);
    QCOMPARE(sound_->deviceFormat().channels, 2);
    mark_ = 0;
    const QString captured = dir_.filePath(QStringLiteral("capture48.raw"));
    auto captureHere = [&] {
        QFile file(captured);
        QByteArray bytes = file.open(QIODevice::ReadOnly) && file.seek(mark_) ? file.readAll() : QByteArray();
        bytes.truncate(bytes.size() - bytes.size() % 4);
        return bytes;
    };
    auto markHere = [&] { mark_ = QFileInfo(captured).size() / 4 * 4; };

    // A 48 kHz stereo recording arrives sample for sample, both channels apart.
    const QByteArray own = stereoPcm(tonePcm(440, 300, 48000), tonePcm(1250, 300, 48000));
    markHere();
    QVERIFY(sound_->play(writeWav(QStringLiteral("48k.wav"), wavFile(own, 48000, 2))));
    QByteArray out = captureHere();
    QVERIFY2(findSamples(out, own) >= 0, "the 48 kHz stereo recording was changed on its way");
    QList<Run> runs = soundRuns(out, 64);
    QCOMPARE(runs.size(), 1);
    QCOMPARE(runs[0].length, own.size() / 2);
    // A 22050 Hz mono one lasts as long at the device's rate.
    markHere();
    QVERIFY(sound_->play(writeWav(QStringLiteral("22k.wav"), wavFile(tonePcm(440, 300)))));
    runs = soundRuns(captureHere(), 64);
    QCOMPARE(runs.size(), 1);
    QVERIFY2(std::abs(runs[0].length - 2 * 14400) < 2 * 40, qPrintable(QString::number(runs[0].length)));
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    SdlSoundDiskTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_sdl_sound.moc"
