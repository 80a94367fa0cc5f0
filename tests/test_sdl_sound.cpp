// The real SDL sound, through SDL's disk driver: what reaches the device is
// written to a file, so the test can check which samples were heard, in
// which order. SDL_DISKAUDIODELAY=0 makes the device take sound as fast as
// it can, so the test does not wait in real time. (The dummy driver and the
// case of no device are in test_sdl_sound_dummy.cpp: SDL picks its driver
// once per program.)

#include "app/parla.h"
#include "feedback/typing_handler.h"
#include "app/startup.h"
#include "platform/file_name.h"
#include "platform/sdl_sound.h"
#include "support/fake_platform.h"
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

using namespace quillo;
using test::wavFile;

namespace {

// A tone whose samples are never zero, so that silence and sound can be told
// apart sample by sample.
QByteArray tonePcm(double hz, int ms, int rate = SdlSound::kRate, int channels = 1)
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

// Hands plays on to the one SDL sound of the program.
class ForwardingSound final : public Sound {
public:
    explicit ForwardingSound(SdlSound& sound) : sound_(sound) {}
    bool play(const QString& path) override { return sound_.play(path); }
    void playDefault() override { sound_.playDefault(); }

private:
    SdlSound& sound_;
};

}  // namespace

class SdlSoundDiskTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void playsSoundsWholeAndInOrder();
    void convertsOtherFormats();
    void unplayableFilesGiveTheDefaultSoundQuickly();
    void typedLetterInWordModeIsHeardWithCueAndWord();
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
    QVERIFY(sound_->open());
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
        // and the device's last buffer are all the time spent.
        QVERIFY2(ms < 50, qPrintable(QStringLiteral("%1 ms for %2").arg(ms).arg(path)));
        const QList<Run> runs = soundRuns(capture(), 64);
        QVERIFY2(runs.size() == 1 && runs[0].length > SdlSound::kRate / 10, qPrintable(path));
    }
    // playDefault alone gives the same sound.
    mark();
    sound_->playDefault();
    QCOMPARE(soundRuns(capture(), 64).size(), 1);
}

void SdlSoundDiskTest::typedLetterInWordModeIsHeardWithCueAndWord()
{
    test::TemporaryConfigHome config;
    test::MediaFolder media;
    const QByteArray letter = tonePcm(500, 150), cue = tonePcm(700, 90), word = tonePcm(900, 250);
    media.addFile(QStringLiteral("alfabeto/a.wav"), wavFile(letter));
    media.addFile(QStringLiteral("alfabeto/d.wav"), wavFile(cue));
    media.addFile(QStringLiteral("parole/ape.wav"), wavFile(word));
    media.addLetter(QStringLiteral("boh.wav"));
    media.addPicture(QStringLiteral("ape.png"));

    test::FakePlatform fake(media.path());
    fake.platform.sound = std::make_unique<ForwardingSound>(*sound_);
    fake.sound = nullptr;
    Parla form(fake.platform);
    Form_Load(form);
    form.Parolasi->setValue(1);

    mark();
    scrivo_KeyPress(form, QStringLiteral("a"));
    QCOMPARE(form.esempio->text(), QStringLiteral("ape"));
    const QByteArray out = capture();
    const qsizetype a = findSamples(out, letter);
    const qsizetype d = findSamples(out, cue);
    const qsizetype w = findSamples(out, word);
    QVERIFY(a >= 0 && d >= 0 && w >= 0);
    QVERIFY(a + letter.size() <= d);
    QVERIFY(d + cue.size() <= w);
    QCOMPARE(soundRuns(out).size(), 3);

    // The same with names that are not UTF-8 (Latin-1, as an old stick
    // brings them): the letter's recording, the picture and its word's.
    const QByteArray accented = tonePcm(600, 120), accentedWord = tonePcm(800, 200);
    media.addFile(QStringLiteral("alfabeto/") + decodeFileName("\xe8.wav"), wavFile(accented));
    media.addFile(QStringLiteral("parole/") + decodeFileName("\xe8lica.wav"), wavFile(accentedWord));
    media.addPicture(decodeFileName("\xe8lica.png"));
    form.esempiopix->clear();
    mark();
    scrivo_KeyPress(form, QString::fromUtf8("è"));
    QCOMPARE(form.esempio->text(), QString::fromUtf8("èlica"));
    QVERIFY(!form.esempiopix->pixmap().isNull());
    const QByteArray second = capture();
    const qsizetype e = findSamples(second, accented);
    const qsizetype d2 = findSamples(second, cue);
    const qsizetype ew = findSamples(second, accentedWord);
    QVERIFY(e >= 0 && d2 >= 0 && ew >= 0);
    QVERIFY(e + accented.size() <= d2);
    QVERIFY(d2 + cue.size() <= ew);
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    SdlSoundDiskTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_sdl_sound.moc"
