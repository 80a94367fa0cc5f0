// "Le parole di Quillo" below its window: the word-name rules, the photo
// import, the trimming and levelling, the library's writes, and the command
// line as a script would run it.

#include "parole/peak_limiter.h"
#include "parole/photo_import.h"
#include "parole/sound_levels.h"
#include "parole/wav_file.h"
#include "parole/word_library.h"
#include "parole/word_name.h"
#include "parole/atomic_file.h"
#include "parole/library_lock.h"
#include "parole/sentences.h"
#include "parole/system_error.h"

#include "library/picture_loader.h"

#include "support/media_folder.h"
#include "support/sample_files.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include <sys/resource.h>
#include <unistd.h>

using namespace quillo::parole;
using quillo::test::MediaFolder;

// Built under AddressSanitizer (gcc says so with a macro, clang with a feature).
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kUnderAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kUnderAddressSanitizer = true;
#else
constexpr bool kUnderAddressSanitizer = false;
#endif
#else
constexpr bool kUnderAddressSanitizer = false;
#endif

namespace {

Recording tone(double silenceBefore, double seconds, double silenceAfter, float amplitude, int rate = 48000)
{
    Recording r;
    r.rate = rate;
    r.samples.assign(size_t((silenceBefore + seconds + silenceAfter) * rate), 0.0f);
    const size_t from = size_t(silenceBefore * rate);
    for (size_t i = 0; i < size_t(seconds * rate); ++i)
        r.samples[from + i] = amplitude * float(std::sin(2 * M_PI * 440 * double(i) / rate));
    return r;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A photo whose left half is red and right half blue, saved as JPEG with the
// given EXIF orientation.
QByteArray halvesJpeg(QSize size, QImageIOHandler::Transformations orientation)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::blue);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width() / 2; ++x)
            image.setPixel(x, y, qRgb(255, 0, 0));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
    if (orientation == QImageIOHandler::TransformationNone)
        return bytes;
    Q_ASSERT(orientation == QImageIOHandler::TransformationRotate90);
    return quillo::test::turnedQuarter(bytes);
}

bool reddish(QRgb c) { return qRed(c) > 200 && qBlue(c) < 60; }
bool bluish(QRgb c) { return qBlue(c) > 200 && qRed(c) < 60; }

QString paroleBinary()
{
    return QFileInfo(QStringLiteral(QUILLO_BINARY)).absolutePath() + QStringLiteral("/quillo-parole");
}

}  // namespace

class TestParole : public QObject {
    Q_OBJECT
private slots:
    void wordNames_data();
    void wordNames();
    void letterNames();
    void photos_data();
    void photos();
    void refusedPhotos_data();
    void refusedPhotos();
    void trimmingAndLevelling_data();
    void trimmingAndLevelling();
    void silenceIsRefused();
    void levelledVoices();
    void wavRoundTrip();
    void addReplaceRemove();
    void partsAndOwners();
    void systemErrorsInItalian();
    void commandLine();
    void largestPhonePhoto();
    void concurrentSaves();
};

void TestParole::wordNames_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("refusal");  // a piece of the message; empty: accepted
    QTest::newRow("plain") << "casa" << "";
    QTest::newRow("a name") << "Giulia" << "";
    QTest::newRow("accented first letter, case aside") << "Èlia" << "";
    QTest::newRow("spaces inside") << "casa della nonna" << "";
    QTest::newRow("digit with a recording") << "7nani" << "";
    QTest::newRow("64 characters") << QString(64, u'c') << "";
    QTest::newRow("65 characters") << QString(65, u'c') << "troppo lunga";
    QTest::newRow("64 accented characters") << QString(64, u'è') << "";
    QTest::newRow("64 characters, more than a name's 255 bytes") << QStringLiteral("c") + QStringLiteral("😀").repeated(63) << "troppo lunga";
    QTest::newRow("empty") << "" << "Scrivi la parola";
    QTest::newRow("only spaces") << "   " << "Scrivi la parola";
    QTest::newRow("slash") << "a/b" << "non può contenere /";
    QTest::newRow("backslash") << "a\\b" << "non può contenere \\";
    QTest::newRow("colon") << "c:d" << "non può contenere :";
    QTest::newRow("star") << "c*" << "non può contenere *";
    QTest::newRow("question mark") << "c?" << "non può contenere ?";
    QTest::newRow("quote") << "c\"" << "non può contenere \"";
    QTest::newRow("angle brackets") << "c<>" << "non può contenere <>";
    QTest::newRow("bar") << "c|d" << "non può contenere |";
    QTest::newRow("tab") << "ca\tsa" << "carattere di controllo";
    QTest::newRow("newline") << "ca\nsa" << "carattere di controllo";
    QTest::newRow("delete") << QStringLiteral("ca\x7fsa") << "carattere di controllo";
    QTest::newRow("leading dot") << ".casa" << "cominciare con un punto";
    QTest::newRow("first letter without a recording") << "zebra" << "Nessun tasto «z»";
    QTest::newRow("first letter recorded only by the user") << "kiwi" << "";
    QTest::newRow("emoji first, no recording") << "😀casa" << "Nessun tasto «😀»";
}

void TestParole::wordNames()
{
    QFETCH(QString, word);
    QFETCH(QString, refusal);
    MediaFolder bundled;
    bundled.addBasics();
    bundled.addLetter(QStringLiteral("7.wav"));
    bundled.addLetter(QStringLiteral("è.wav"));
    bundled.addLetter(QStringLiteral("g.wav"));
    MediaFolder user;
    user.addLetter(QStringLiteral("K.wav"));
    const QStringList letters = {user.letters(), bundled.letters()};
    const QString problem = wordNameProblem(word, letters);
    if (refusal.isEmpty())
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    else
        QVERIFY2(problem.contains(refusal), qPrintable(problem));
}

void TestParole::letterNames()
{
    QVERIFY(letterNameProblem(QStringLiteral("a")).isEmpty());
    QVERIFY(letterNameProblem(QStringLiteral("è")).isEmpty());
    QVERIFY(letterNameProblem(QStringLiteral("!")).isEmpty());
    QVERIFY(letterNameProblem(QStringLiteral("😀")).isEmpty());  // a surrogate pair is one character
    QVERIFY(letterNameProblem(QStringLiteral("ab")).contains(QStringLiteral("un solo carattere")));
    QVERIFY(letterNameProblem(QString()).contains(QStringLiteral("Scrivi")));
    for (const char* bad : {"/", "*", "?", ":", "|", "\x1b"})
        QVERIFY2(letterNameProblem(QString::fromLatin1(bad)).contains(QStringLiteral("non può stare")), bad);
    QVERIFY(letterNameProblem(QStringLiteral(".")).contains(QStringLiteral("nascosto")));
}

void TestParole::photos_data()
{
    QTest::addColumn<QSize>("stored");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<QSize>("upright");
    QTest::newRow("phone photo turned a quarter") << QSize(300, 200) << int(QImageIOHandler::TransformationRotate90)
                                                  << QSize(200, 300);
    QTest::newRow("6000x4000") << QSize(6000, 4000) << int(QImageIOHandler::TransformationNone) << QSize(1024, 683);
    QTest::newRow("6000x4000 turned a quarter") << QSize(6000, 4000)
                                                << int(QImageIOHandler::TransformationRotate90) << QSize(683, 1024);
}

void TestParole::photos()
{
    QFETCH(QSize, stored);
    QFETCH(int, orientation);
    QFETCH(QSize, upright);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photo.jpg"));
    writeFile(path, halvesJpeg(stored, QImageIOHandler::Transformations(orientation)));
    QCOMPARE(int(QImageReader(path).transformation()), orientation);  // the tag is really in the file

    QString error;
    const QImage image = readPhoto(path, &error);
    QVERIFY2(!image.isNull(), qPrintable(error));
    // Within 1024 px, the shape kept (a pixel of rounding aside).
    QCOMPARE(image.width() > image.height(), upright.width() > upright.height());
    QVERIFY2(std::abs(image.width() - upright.width()) <= 1 && std::abs(image.height() - upright.height()) <= 1,
             qPrintable(QStringLiteral("%1x%2").arg(image.width()).arg(image.height())));
    QVERIFY(qMax(image.width(), image.height()) <= kLargestSide);
    if (orientation == QImageIOHandler::TransformationRotate90) {
        // The left half, red, is on top once turned upright.
        QVERIFY(reddish(image.pixel(image.width() / 2, 2)));
        QVERIFY(bluish(image.pixel(image.width() / 2, image.height() - 3)));
    } else {
        QVERIFY(reddish(image.pixel(2, image.height() / 2)));
        QVERIFY(bluish(image.pixel(image.width() - 3, image.height() / 2)));
    }
    QVERIFY(!hasTransparency(image));
    QCOMPARE(pictureFileName(QStringLiteral("nonna"), image), QStringLiteral("nonna.jpg"));
    const QImage saved = QImage::fromData(encodePicture(image), "JPEG");
    QCOMPARE(saved.size(), image.size());
}

void TestParole::refusedPhotos_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("refusal");
    const QString limit = QStringLiteral("Quillo apre foto di al massimo 20000 pixel per lato e 250 megapixel.");
    QTest::newRow("wider than Quillo shows") << quillo::test::pngFile(20001, 10, 8, 2, {}) << "(20001×10 pixel): " + limit;
    QTest::newRow("taller than Quillo shows") << quillo::test::pngFile(10, 20001, 8, 2, {}) << "(10×20001 pixel): " + limit;
    QTest::newRow("more megapixels") << quillo::test::pngFile(19000, 19000, 8, 2, {}) << "(19000×19000 pixel): " + limit;
    QTest::newRow("not a picture") << QByteArray("just some text\n") << "Non è una foto";
    QTest::newRow("empty") << QByteArray() << "Non è una foto";
    // Copied halfway: the JPEG decoder would fill the rest with grey.
    const QByteArray jpeg = halvesJpeg(QSize(1600, 1200), QImageIOHandler::TransformationNone);
    QTest::newRow("JPEG cut short") << jpeg.left(jpeg.size() / 2) << "La foto è incompleta";
    QImage noise(800, 600, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x ^ y) % 256));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    noise.save(&buffer, "PNG");
    QTest::newRow("PNG cut short") << png.left(png.size() / 2) << "La foto non si apre: il file è rovinato o incompleto.";
}

void TestParole::refusedPhotos()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, refusal);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photo.png"));
    writeFile(path, bytes);
    QString error;
    QElapsedTimer timer;
    timer.start();
    QVERIFY(readPhoto(path, &error).isNull());
    QVERIFY2(error.contains(refusal), qPrintable(error));
    QVERIFY(timer.elapsed() < 1000);  // refused from the header, or decoded at a reduced size

    // A FIFO is refused at once instead of blocking.
    const QString fifo = dir.filePath(QStringLiteral("fifo.png"));
    QCOMPARE(QProcess::execute(QStringLiteral("mkfifo"), {fifo}), 0);
    QVERIFY(readPhoto(fifo, &error).isNull());
}

void TestParole::trimmingAndLevelling_data()
{
    QTest::addColumn<double>("before");
    QTest::addColumn<double>("after");
    QTest::addColumn<float>("amplitude");
    QTest::addColumn<int>("rate");
    QTest::newRow("quiet, half a second of silence each side") << 0.5 << 0.5 << 0.02f << 48000;
    QTest::newRow("loud, no silence") << 0.0 << 0.0 << 0.9f << 48000;
    QTest::newRow("at 22050 Hz, long silence after") << 0.2 << 2.0 << 0.1f << 22050;
}

void TestParole::trimmingAndLevelling()
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

void TestParole::silenceIsRefused()
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

void TestParole::levelledVoices()
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

void TestParole::wavRoundTrip()
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

void TestParole::addReplaceRemove()
{
    MediaFolder bundled;
    bundled.addBasics();
    bundled.addLetter(QStringLiteral("g.wav"));
    QTemporaryDir userDir;
    const quillo::MediaLibrary libraries{bundled.path(), userDir.path() + QStringLiteral("/quillo")};
    const QByteArray bundledCasa = readFile(bundled.pictures() + QStringLiteral("casa.png"));
    const QByteArray bundledVoice = readFile(bundled.words() + QStringLiteral("casa.wav"));

    QImage photo(40, 30, QImage::Format_RGB32);
    photo.fill(Qt::green);
    const Recording voice = tone(0, 0.6, 0, 0.3f);
    // A new word needs a picture.
    QVERIFY(addWord(libraries, QStringLiteral("giulia"), QImage(), voice).contains(QStringLiteral("Scegli una foto")));
    QVERIFY(!QFileInfo::exists(libraries.user()));
    QCOMPARE(addWord(libraries, QStringLiteral("giulia"), photo, voice), QString());
    QVERIFY(QFileInfo::exists(libraries.user() + QStringLiteral("/immagini/giulia.jpg")));
    QVERIFY(QFileInfo::exists(libraries.user() + QStringLiteral("/parole/giulia.wav")));
    QVERIFY(QDir(libraries.user() + QStringLiteral("/immagini")).entryList(QDir::Files | QDir::Hidden).size() == 1);

    // Replacing a bundled word writes only the user's files; a photo with
    // transparency is kept as PNG, and takes the place of the user's JPEG.
    QVERIFY(addWord(libraries, QStringLiteral("casa"), QImage(), {}).contains(QStringLiteral("Niente da salvare")));
    QCOMPARE(addWord(libraries, QStringLiteral("Casa"), photo, {}), QString());
    QImage clear(40, 30, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    QCOMPARE(addWord(libraries, QStringLiteral("casa"), clear, voice), QString());
    QCOMPARE(QDir(libraries.user() + QStringLiteral("/immagini")).entryList({QStringLiteral("?asa.*")}),
             QStringList{QStringLiteral("casa.png")});
    QCOMPARE(readFile(bundled.pictures() + QStringLiteral("casa.png")), bundledCasa);
    QCOMPARE(readFile(bundled.words() + QStringLiteral("casa.wav")), bundledVoice);

    const QList<WordEntry> words = listWords(libraries);
    QStringList names;
    for (const WordEntry& entry : words)
        names << entry.word;
    QCOMPARE(names, (QStringList{QStringLiteral("ape"), QStringLiteral("casa"), QStringLiteral("giulia")}));
    QVERIFY(!words[0].own && words[0].bundled);
    QVERIFY(words[1].own && words[1].bundled);
    QCOMPARE(words[1].picture, libraries.user() + QStringLiteral("/immagini/casa.png"));
    QCOMPARE(words[1].recording, libraries.user() + QStringLiteral("/parole/casa.wav"));
    QVERIFY(words[2].own && !words[2].bundled);

    // Removing takes picture and recording together; a bundled word stays.
    QVERIFY(removeWord(libraries, QStringLiteral("ape")).contains(QStringLiteral("parola di Quillo")));
    QVERIFY(removeWord(libraries, QStringLiteral("nessuna")).contains(QStringLiteral("non è tra le tue")));
    QCOMPARE(removeWord(libraries, QStringLiteral("GIULIA")), QString());
    QCOMPARE(removeWord(libraries, QStringLiteral("casa")), QString());
    QVERIFY(QDir(libraries.user() + QStringLiteral("/immagini")).isEmpty());
    QVERIFY(QDir(libraries.user() + QStringLiteral("/parole")).isEmpty());
    QCOMPARE(listWords(libraries).size(), 2);
    QVERIFY(!listWords(libraries)[1].own);
    QCOMPARE(readFile(bundled.pictures() + QStringLiteral("casa.png")), bundledCasa);

    // A key's letter in the parent's voice.
    QCOMPARE(saveLetter(libraries, QStringLiteral("g"), voice), QString());
    QVERIFY(QFileInfo::exists(libraries.user() + QStringLiteral("/alfabeto/g.wav")));
    QVERIFY(saveLetter(libraries, QStringLiteral("g"), {}).contains(QStringLiteral("Registra")));

    // A library that cannot be written says so, and nothing is half written.
    QTemporaryDir blocked;
    writeFile(blocked.filePath(QStringLiteral("quillo")), "a file, not a folder");
    const quillo::MediaLibrary stuck{bundled.path(), blocked.filePath(QStringLiteral("quillo"))};
    QVERIFY(addWord(stuck, QStringLiteral("giulia"), photo, voice).contains(QStringLiteral("Non riesco")));
}

void TestParole::partsAndOwners()
{
    MediaFolder bundled;
    bundled.addBasics();
    bundled.addLetter(QStringLiteral("g.wav"));
    QTemporaryDir userDir;
    const quillo::MediaLibrary libraries{bundled.path(), userDir.path() + QStringLiteral("/quillo")};
    QImage photo(40, 30, QImage::Format_RGB32);
    photo.fill(Qt::green);
    const Recording voice = tone(0, 0.6, 0, 0.3f);

    // A voice over a bundled word, no photo: listed as the user's voice over
    // Quillo's, removable alone, and Quillo's comes back.
    QCOMPARE(addWord(libraries, QStringLiteral("casa"), QImage(), voice), QString());
    QCOMPARE(addWord(libraries, QStringLiteral("giulia"), photo, {}), QString());
    struct Expected {
        const char* word;
        Owner picture;
        Owner voice;
    };
    const Expected expected[] = {{"ape", Owner::Quillo, Owner::Quillo},
                                 {"casa", Owner::Quillo, Owner::YoursOverQuillo},
                                 {"giulia", Owner::Yours, Owner::None}};
    const QList<WordEntry> words = listWords(libraries);
    QCOMPARE(words.size(), 3);
    for (qsizetype i = 0; i < words.size(); ++i) {
        QCOMPARE(words[i].word, QString::fromUtf8(expected[i].word));
        QCOMPARE(words[i].pictureOwner, expected[i].picture);
        QCOMPARE(words[i].voiceOwner, expected[i].voice);
        QCOMPARE(wordEntry(libraries, words[i].word).voiceOwner, expected[i].voice);
    }
    QCOMPARE(ownerText(Owner::YoursOverQuillo), QStringLiteral("tua, al posto di quella di Quillo"));
    QCOMPARE(removalQuestion(words[1], BothParts),
             QStringLiteral("Togliere la tua voce di «casa»? Torna la voce di Quillo. Non si può annullare."));
    QCOMPARE(removalQuestion(words[2], BothParts),
             QStringLiteral("Togliere la tua foto di «giulia»? «giulia» non sarà più tra le parole. Non si può annullare."));
    QVERIFY(removeWord(libraries, QStringLiteral("casa"), PicturePart).contains(QStringLiteral("è di Quillo")));
    QVERIFY(removeWord(libraries, QStringLiteral("giulia"), VoicePart).contains(QStringLiteral("non ha la tua voce")));
    QCOMPARE(removeWord(libraries, QStringLiteral("casa"), VoicePart), QString());
    QCOMPARE(wordEntry(libraries, QStringLiteral("casa")).voiceOwner, Owner::Quillo);

    // A photo and a voice of the user's, taken back one at a time.
    QCOMPARE(addWord(libraries, QStringLiteral("giulia"), QImage(), voice), QString());
    WordEntry giulia = wordEntry(libraries, QStringLiteral("giulia"));
    QCOMPARE(giulia.ownParts(), int(BothParts));
    QCOMPARE(removedSentence(giulia, VoicePart), QStringLiteral("Ho tolto la tua voce di «giulia». «giulia» resterà senza voce."));
    QCOMPARE(removeWord(libraries, QStringLiteral("giulia"), VoicePart), QString());
    QCOMPARE(wordEntry(libraries, QStringLiteral("giulia")).pictureOwner, Owner::Yours);
    QCOMPARE(removeWord(libraries, QStringLiteral("giulia"), PicturePart), QString());
    QVERIFY(wordEntry(libraries, QStringLiteral("giulia")).word.isEmpty());

    // A key's voice: the user's over Quillo's, then Quillo's again.
    QCOMPARE(letterEntry(libraries, QStringLiteral("g")).owner, Owner::Quillo);
    QVERIFY(removeLetter(libraries, QStringLiteral("g")).contains(QStringLiteral("non ha la tua voce")));
    QCOMPARE(saveLetter(libraries, QStringLiteral("g"), voice), QString());
    const LetterEntry g = letterEntry(libraries, QStringLiteral("g"));
    QCOMPARE(g.owner, Owner::YoursOverQuillo);
    QCOMPARE(g.recording, libraries.user() + QStringLiteral("/alfabeto/g.wav"));
    QCOMPARE(letterRemovedSentence(g), QStringLiteral("Ho tolto la tua voce del tasto «g». Torna quella di Quillo."));
    QCOMPARE(removeLetter(libraries, QStringLiteral("G")), QString());  // letter case aside, as Quillo finds it
    QCOMPARE(letterEntry(libraries, QStringLiteral("g")).owner, Owner::Quillo);

    // A library held by another save past the wait: refused, nothing written.
    QLockFile held(libraries.user() + u'/' + LibraryLock::fileName());
    QVERIFY(held.tryLock(0));
    const LibraryLock second(libraries.user(), 100);
    QVERIFY(!second.locked());
    QCOMPARE(second.problem(), QStringLiteral("La libreria è occupata da un altro salvataggio: riprova tra poco."));
}

void TestParole::systemErrorsInItalian()
{
    struct Case {
        int number;
        const char* reason;
    };
    const Case cases[] = {{ENOENT, "il file o la cartella non c'è"}, {EACCES, "non hai il permesso"},
                          {ENOSPC, "il disco è pieno"},             {EROFS, "il disco è di sola lettura"},
                          {EBUSY, "il file è occupato"},            {EIO, "un errore del sistema"}};
    for (const Case& c : cases) {
        const QString said = fileProblem(QStringLiteral("Non riesco a scrivere x"), c.number);
        QVERIFY2(said.startsWith(QStringLiteral("Non riesco a scrivere x: ")) && said.contains(QString::fromUtf8(c.reason)),
                 qPrintable(said));
        QVERIFY2(!said.contains(QString::fromLocal8Bit(std::strerror(c.number))), qPrintable(said));
    }
    // From the English text a QSaveFile gives.
    QCOMPARE(errorNumberOf(QStringLiteral("Permission denied")), EACCES);
    QCOMPARE(errorNumberOf(QStringLiteral("No space left on device")), ENOSPC);

    // A folder that cannot be written, for real (root may write anywhere).
    if (::geteuid() == 0)
        return;
    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("quillo/parole"))));
    QFile::setPermissions(dir.filePath(QStringLiteral("quillo/parole")), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QString error;
    QVERIFY(!writeFileAtomically(dir.filePath(QStringLiteral("quillo/parole/rosa.wav")), "x", &error));
    QVERIFY2(error.endsWith(QStringLiteral(": non hai il permesso.")), qPrintable(error));
}

void TestParole::commandLine()
{
    if (!QFileInfo::exists(paroleBinary()))
        QSKIP("quillo-parole is not built");
    QTemporaryDir dir;
    const QString photo = dir.filePath(QStringLiteral("foto.jpg"));
    writeFile(photo, halvesJpeg(QSize(64, 48), QImageIOHandler::TransformationNone));
    const QString voice = dir.filePath(QStringLiteral("voce.wav"));
    writeFile(voice, quillo::test::toneWav(800));
    const QString user = dir.filePath(QStringLiteral("data/quillo"));

    struct Run {
        QStringList arguments;
        int exitCode;
        QString says;  // on stdout when 0, else on stderr
    };
    const QString add = QStringLiteral("add"), letter = QStringLiteral("letter"), remove = QStringLiteral("remove");
    const QString picture = QStringLiteral("--picture"), recording = QStringLiteral("--recording");
    const QList<Run> runs = {
        {{add, QStringLiteral("giulia"), picture, photo, recording, voice}, 0, QStringLiteral("Aggiunta la parola «giulia» con la tua voce.")},
        {{add, QStringLiteral("gianni"), picture, photo}, 0, QStringLiteral("Aggiunta la parola «gianni».")},
        // A voice over one of Quillo's words, without a photo; then taken back.
        {{add, QStringLiteral("gatto"), recording, voice}, 0, QStringLiteral("Salvata la parola «gatto» con la tua voce.")},
        {{remove, QStringLiteral("gatto"), picture}, 1, QStringLiteral("La foto di «gatto» è di Quillo")},
        {{remove, QStringLiteral("gatto"), QStringLiteral("--voice")}, 0, QStringLiteral("Ho tolto la tua voce di «gatto». Torna la voce di Quillo.")},
        {{remove, QStringLiteral("gatto")}, 1, QStringLiteral("«gatto» è una parola di Quillo")},
        {{add, QStringLiteral("giraffa"), picture, photo}, 0, QStringLiteral("Salvata la parola «giraffa».")},
        {{remove, QStringLiteral("giraffa"), picture}, 0, QStringLiteral("Ho tolto la tua foto di «giraffa». Torna la foto di Quillo.")},
        {{add, QStringLiteral("gnomo"), recording, voice}, 1, QStringLiteral("Scegli una foto per la parola «gnomo».")},
        {{letter, QStringLiteral("g"), recording, voice}, 0, QStringLiteral("Il tasto «g» ora ha la tua voce.")},
        {{letter, QStringLiteral("g"), QStringLiteral("--remove")}, 0, QStringLiteral("Ho tolto la tua voce del tasto «g». Torna quella di Quillo.")},
        {{letter, QStringLiteral("g"), QStringLiteral("--remove")}, 1, QStringLiteral("Il tasto «g» non ha la tua voce.")},
        {{remove, QStringLiteral("gianni")}, 0, QStringLiteral("Ho tolto la tua foto di «gianni». «gianni» non sarà più tra le parole.")},
        {{remove, QStringLiteral("casa")}, 1, QStringLiteral("parola di Quillo")},
        {{add, QStringLiteral("a/b"), picture, photo}, 1, QStringLiteral("non può contenere /")},
        {{add, QStringLiteral("giulia"), picture, voice}, 1, QStringLiteral("Non è una foto")},
        {{add, QStringLiteral("giulia"), picture, photo, recording, photo}, 1, QStringLiteral("non è un file WAV")},
        // Bad usage, every kind of it: 2.
        {{add, QStringLiteral("giulia")}, 2, QStringLiteral("Il comando add vuole la foto")},
        {{add, QStringLiteral("giulia"), picture, photo, QStringLiteral("--record"), QStringLiteral("1"), recording, voice}, 2, QStringLiteral("non vanno insieme")},
        {{letter, QStringLiteral("g")}, 2, QStringLiteral("--record")},
        {{letter, QStringLiteral("g"), QStringLiteral("--record"), QStringLiteral("abc")}, 2, QStringLiteral("--record vuole i secondi")},
        {{letter, QStringLiteral("g"), QStringLiteral("--record"), QStringLiteral("0")}, 2, QStringLiteral("--record vuole i secondi")},
        {{letter, QStringLiteral("g"), QStringLiteral("--remove"), recording, voice}, 2, QStringLiteral("Il comando letter vuole")},
        {{add, QStringLiteral("giulia"), QStringLiteral("--voice")}, 2, QStringLiteral("valgono solo con remove")},
        {{remove, QStringLiteral("giulia"), QStringLiteral("--remove")}, 2, QStringLiteral("--remove vale solo con letter")},
        {{QStringLiteral("canta"), QStringLiteral("giulia")}, 2, QStringLiteral("Comando sconosciuto")},
        {{QStringLiteral("--bogus")}, 2, QStringLiteral("Opzione sconosciuta: bogus")},
        {{add, QStringLiteral("giulia"), picture}, 2, QStringLiteral("Manca il valore dopo --picture")},
    };
    for (const Run& run : runs) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
        env.remove(QStringLiteral("LANG"));
        env.remove(QStringLiteral("LC_ALL"));
        process.setProcessEnvironment(env);
        process.start(paroleBinary(), QStringList{run.arguments});
        QVERIFY(process.waitForFinished(30000));
        const QString out = QString::fromUtf8(run.exitCode == 0 ? process.readAllStandardOutput()
                                                                : process.readAllStandardError());
        const QString what = run.arguments.join(u' ') + QStringLiteral(" -> ") + out;
        QVERIFY2(process.exitCode() == run.exitCode, qPrintable(what));
        QVERIFY2(out.contains(run.says), qPrintable(what));
    }
    QVERIFY(QFileInfo::exists(user + QStringLiteral("/immagini/giulia.jpg")));
    QVERIFY(!QFileInfo::exists(user + QStringLiteral("/immagini/gianni.jpg")));
    QVERIFY(!QFileInfo::exists(user + QStringLiteral("/immagini/giraffa.jpg")));
    Recording saved;
    QString error;
    QVERIFY2(readWav(user + QStringLiteral("/parole/giulia.wav"), &saved, &error), qPrintable(error));
    QVERIFY(std::abs(loudnessOf(saved) - kTargetLoudness) < 0.2);
    QVERIFY(!QFileInfo::exists(user + QStringLiteral("/alfabeto/g.wav")));
    // Nothing but the finished files: no temporary file left beside them.
    const QDir::Filters all = QDir::Files | QDir::Hidden | QDir::System;
    QCOMPARE(QDir(user + QStringLiteral("/parole")).entryList(all), QStringList{QStringLiteral("giulia.wav")});
    QCOMPARE(QDir(user + QStringLiteral("/immagini")).entryList(all), QStringList{QStringLiteral("giulia.jpg")});
}

void TestParole::largestPhonePhoto()
{
    if (!QFileInfo::exists(paroleBinary()))
        QSKIP("quillo-parole is not built");
    // A 200-megapixel phone photo held sideways, as the largest sensors take
    // it: taken through the command line, turned upright, in little memory.
    QTemporaryDir dir;
    const QString photo = dir.filePath(QStringLiteral("foto.jpg"));
    writeFile(photo, quillo::test::turnedQuarter(quillo::test::flatJpeg(16320, 12240)));
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    process.setProcessEnvironment(env);
    process.start(paroleBinary(), {QStringLiteral("add"), QStringLiteral("giulia"), QStringLiteral("--picture"), photo});
    QVERIFY(process.waitForFinished(60000));
    QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
    // The largest resident size of any child so far: this one, the only
    // large one.
    rusage usage{};
    QCOMPARE(::getrusage(RUSAGE_CHILDREN, &usage), 0);
    const double megabytes = double(usage.ru_maxrss) / 1024;
    qInfo("peak RSS of a 200-megapixel import: %.0f MB", megabytes);
    // AddressSanitizer's shadow memory and quarantine say nothing of the
    // program's own: the bound holds for the plain build.
    if (!kUnderAddressSanitizer)
        QVERIFY2(megabytes < 300, qPrintable(QString::number(megabytes)));
    QCOMPARE(QImage(dir.filePath(QStringLiteral("data/quillo/immagini/giulia.jpg"))).size(), QSize(768, 1024));

    // Quillo itself shows a picture of that size, put in its folder by hand.
    quillo::PictureTrouble error;
    const QImage shown = quillo::loadPicture(photo, QSize(400, 300), &error);
    QVERIFY2(!shown.isNull(), qPrintable(error.message));
    QCOMPARE(shown.size(), QSize(400, 300));
}

void TestParole::concurrentSaves()
{
    if (!QFileInfo::exists(paroleBinary()))
        QSKIP("quillo-parole is not built");
    // Two saves of the same word at once (in two spellings), over and over:
    // each ends whole, and each says truly whether it saved. The photo and
    // the voice of the word always come from the same save.
    QTemporaryDir dir;
    const QString user = dir.filePath(QStringLiteral("data/quillo"));
    const QString photos[2] = {dir.filePath(QStringLiteral("rosso.jpg")), dir.filePath(QStringLiteral("blu.jpg"))};
    writeFile(photos[0], halvesJpeg(QSize(64, 48), QImageIOHandler::TransformationNone));
    QImage blue(64, 48, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    QVERIFY(blue.save(photos[1], "JPEG"));
    const QString voices[2] = {dir.filePath(QStringLiteral("corta.wav")), dir.filePath(QStringLiteral("lunga.wav"))};
    writeFile(voices[0], quillo::test::toneWav(600));
    writeFile(voices[1], quillo::test::toneWav(1500));
    const QString spellings[2] = {QStringLiteral("doppia"), QStringLiteral("Doppia")};
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    // Under the sanitizers, the leak check at the end of fifty racing
    // processes on a busy machine can crash its own tracer; this test is
    // about the library's lock, and the other tests look for leaks.
    if (env.contains(QStringLiteral("ASAN_OPTIONS")))
        env.insert(QStringLiteral("ASAN_OPTIONS"), env.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":detect_leaks=0"));
    for (int round = 0; round < 25; ++round) {
        QProcess saves[2];
        for (int i : {0, 1}) {
            saves[i].setProcessEnvironment(env);
            saves[i].start(paroleBinary(), {QStringLiteral("add"), spellings[i], QStringLiteral("--picture"), photos[i],
                                            QStringLiteral("--recording"), voices[i]});
        }
        bool saved[2];
        for (int i : {0, 1}) {
            QVERIFY(saves[i].waitForFinished(30000));
            const QString err = QString::fromUtf8(saves[i].readAllStandardError());
            QVERIFY2(saves[i].exitCode() == 0 || err.contains(QStringLiteral("La libreria è occupata")), qPrintable(err));
            saved[i] = saves[i].exitCode() == 0;
        }
        QVERIFY(saved[0] || saved[1]);
        const QStringList pictures = QDir(user + QStringLiteral("/immagini")).entryList(QDir::Files | QDir::Hidden);
        const QStringList recordings = QDir(user + QStringLiteral("/parole")).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(pictures.size(), 1);
        QCOMPARE(recordings.size(), 1);
        // Which save the word is from: by the photo's colour and the voice's length.
        const int byPhoto = reddish(QImage(user + QStringLiteral("/immagini/") + pictures[0]).pixel(2, 24)) ? 0 : 1;
        Recording heard;
        QString error;
        QVERIFY2(readWav(user + QStringLiteral("/parole/") + recordings[0], &heard, &error), qPrintable(error));
        const int byVoice = heard.seconds() > 1.0 ? 1 : 0;
        QCOMPARE(byPhoto, byVoice);
        QVERIFY(saved[byPhoto]);
        QCOMPARE(pictures[0].chopped(4), spellings[byPhoto]);
    }
}

QTEST_MAIN(TestParole)
#include "test_parole.moc"
