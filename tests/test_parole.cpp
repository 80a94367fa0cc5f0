// "Le parole di Quillo" below its window: the word-name rules, the photo
// import, the trimming and levelling, the library's writes, and the command
// line as a script would run it.

#include "parole/photo_import.h"
#include "parole/sound_levels.h"
#include "parole/wav_file.h"
#include "parole/word_library.h"
#include "parole/word_name.h"

#include "support/media_folder.h"
#include "support/sample_files.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace quillo::parole;
using quillo::test::MediaFolder;

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
    // Qt writes no EXIF, so the orientation goes in by hand, as a phone
    // writes it: an APP1 segment right after the start marker, holding a
    // little-endian TIFF header and one IFD entry, Orientation (0x0112),
    // SHORT, 6 (turn a quarter clockwise to show it).
    Q_ASSERT(orientation == QImageIOHandler::TransformationRotate90);
    const QByteArray tiff = QByteArray("II*\0\x08\0\0\0", 8) + QByteArray("\x01\0", 2)
                          + QByteArray("\x12\x01\x03\0\x01\0\0\0\x06\0\0\0", 12) + QByteArray(4, '\0');
    const QByteArray body = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray app1("\xff\xe1", 2);
    app1 += char((body.size() + 2) >> 8);
    app1 += char((body.size() + 2) & 0xff);
    return bytes.left(2) + app1 + body + bytes.mid(2);
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
    void wavRoundTrip();
    void addReplaceRemove();
    void commandLine();
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
    QTest::newRow("wider than Quillo shows") << quillo::test::pngFile(12001, 10, 8, 2, {}) << "troppo grande";
    QTest::newRow("taller than Quillo shows") << quillo::test::pngFile(10, 12001, 8, 2, {}) << "troppo grande";
    QTest::newRow("not a picture") << QByteArray("just some text\n") << "Non è una foto";
    QTest::newRow("empty") << QByteArray() << "Non è una foto";
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
    QVERIFY(timer.elapsed() < 1000);  // refused from the header, not decoded

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

    // A click peaking far above its loudness is kept under the ceiling,
    // quieter than the target rather than clipped.
    Recording click = tone(0.3, 1, 0.3, 0.001f);
    for (int i = 0; i < 10; ++i)
        click.samples[size_t(0.5 * 48000) + size_t(i)] = 0.9f;
    QVERIFY(prepareRecording(&click, &error));
    QVERIFY(peakOf(click) <= kPeakCeiling);
    QVERIFY(peakOf(click) > kPeakCeiling - 0.1);
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
    const Libraries libraries{bundled.path(), userDir.path() + QStringLiteral("/quillo")};
    const QByteArray bundledCasa = readFile(bundled.pictures() + QStringLiteral("casa.png"));
    const QByteArray bundledVoice = readFile(bundled.words() + QStringLiteral("casa.wav"));

    QImage photo(40, 30, QImage::Format_RGB32);
    photo.fill(Qt::green);
    const Recording voice = tone(0, 0.6, 0, 0.3f);
    // A new word needs a picture.
    QVERIFY(addWord(libraries, QStringLiteral("giulia"), QImage(), voice).contains(QStringLiteral("Scegli una foto")));
    QVERIFY(!QFileInfo::exists(libraries.user));
    QCOMPARE(addWord(libraries, QStringLiteral("giulia"), photo, voice), QString());
    QVERIFY(QFileInfo::exists(libraries.user + QStringLiteral("/immagini/giulia.jpg")));
    QVERIFY(QFileInfo::exists(libraries.user + QStringLiteral("/parole/giulia.wav")));
    QVERIFY(QDir(libraries.user + QStringLiteral("/immagini")).entryList(QDir::Files | QDir::Hidden).size() == 1);

    // Replacing a bundled word writes only the user's files; a photo with
    // transparency is kept as PNG, and takes the place of the user's JPEG.
    QVERIFY(addWord(libraries, QStringLiteral("casa"), QImage(), {}).contains(QStringLiteral("Niente da salvare")));
    QCOMPARE(addWord(libraries, QStringLiteral("Casa"), photo, {}), QString());
    QImage clear(40, 30, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    QCOMPARE(addWord(libraries, QStringLiteral("casa"), clear, voice), QString());
    QCOMPARE(QDir(libraries.user + QStringLiteral("/immagini")).entryList({QStringLiteral("?asa.*")}),
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
    QCOMPARE(words[1].picture, libraries.user + QStringLiteral("/immagini/casa.png"));
    QCOMPARE(words[1].recording, libraries.user + QStringLiteral("/parole/casa.wav"));
    QVERIFY(words[2].own && !words[2].bundled);

    // Removing takes picture and recording together; a bundled word stays.
    QVERIFY(removeWord(libraries, QStringLiteral("ape")).contains(QStringLiteral("parola di Quillo")));
    QVERIFY(removeWord(libraries, QStringLiteral("nessuna")).contains(QStringLiteral("non è tra le tue")));
    QCOMPARE(removeWord(libraries, QStringLiteral("GIULIA")), QString());
    QCOMPARE(removeWord(libraries, QStringLiteral("casa")), QString());
    QVERIFY(QDir(libraries.user + QStringLiteral("/immagini")).isEmpty());
    QVERIFY(QDir(libraries.user + QStringLiteral("/parole")).isEmpty());
    QCOMPARE(listWords(libraries).size(), 2);
    QVERIFY(!listWords(libraries)[1].own);
    QCOMPARE(readFile(bundled.pictures() + QStringLiteral("casa.png")), bundledCasa);

    // A key's letter in the parent's voice.
    QCOMPARE(saveLetter(libraries, QStringLiteral("g"), voice), QString());
    QVERIFY(QFileInfo::exists(libraries.user + QStringLiteral("/alfabeto/g.wav")));
    QVERIFY(saveLetter(libraries, QStringLiteral("g"), {}).contains(QStringLiteral("Registra")));

    // A library that cannot be written says so, and nothing is half written.
    QTemporaryDir blocked;
    writeFile(blocked.filePath(QStringLiteral("quillo")), "a file, not a folder");
    const Libraries stuck{bundled.path(), blocked.filePath(QStringLiteral("quillo"))};
    QVERIFY(addWord(stuck, QStringLiteral("giulia"), photo, voice).contains(QStringLiteral("Non riesco")));
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
    const QList<Run> runs = {
        {{QStringLiteral("add"), QStringLiteral("giulia"), QStringLiteral("--picture"), photo, QStringLiteral("--recording"), voice}, 0, QStringLiteral("aggiunta la parola «giulia», con la voce")},
        {{QStringLiteral("add"), QStringLiteral("gatto"), QStringLiteral("--picture"), photo}, 0, QStringLiteral("aggiunta la parola «gatto»")},
        {{QStringLiteral("letter"), QStringLiteral("g"), QStringLiteral("--recording"), voice}, 0, QStringLiteral("registrata la lettera «g»")},
        {{QStringLiteral("remove"), QStringLiteral("gatto")}, 0, QStringLiteral("tolta la parola «gatto»")},
        {{QStringLiteral("remove"), QStringLiteral("casa")}, 1, QStringLiteral("parola di Quillo")},
        {{QStringLiteral("add"), QStringLiteral("a/b"), QStringLiteral("--picture"), photo}, 1, QStringLiteral("non può contenere /")},
        {{QStringLiteral("add"), QStringLiteral("giulia"), QStringLiteral("--picture"), voice}, 1, QStringLiteral("Non è una foto")},
        {{QStringLiteral("add"), QStringLiteral("giulia"), QStringLiteral("--picture"), photo, QStringLiteral("--recording"), photo}, 1, QStringLiteral("non è un file WAV")},
        {{QStringLiteral("add"), QStringLiteral("giulia")}, 2, QStringLiteral("--picture")},
        {{QStringLiteral("add"), QStringLiteral("giulia"), QStringLiteral("--picture"), photo, QStringLiteral("--record"), QStringLiteral("1"), QStringLiteral("--recording"), voice}, 2, QStringLiteral("non vanno insieme")},
        {{QStringLiteral("letter"), QStringLiteral("g")}, 2, QStringLiteral("--record")},
        {{QStringLiteral("letter"), QStringLiteral("g"), QStringLiteral("--record"), QStringLiteral("zero")}, 1, QStringLiteral("secondi")},
        {{QStringLiteral("canta"), QStringLiteral("giulia")}, 2, QStringLiteral("comando sconosciuto")},
        {{QStringLiteral("--bogus")}, 2, QStringLiteral("opzione sconosciuta: bogus")},
        {{QStringLiteral("add"), QStringLiteral("giulia"), QStringLiteral("--picture")}, 2, QStringLiteral("manca il valore dopo --picture")},
    };
    for (const Run& run : runs) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
        env.remove(QStringLiteral("LANG"));
        env.remove(QStringLiteral("LC_ALL"));
        process.setProcessEnvironment(env);
        process.start(paroleBinary(), run.arguments);
        QVERIFY(process.waitForFinished(30000));
        const QString out = QString::fromUtf8(run.exitCode == 0 ? process.readAllStandardOutput()
                                                                : process.readAllStandardError());
        const QString what = run.arguments.join(u' ') + QStringLiteral(" -> ") + out;
        QVERIFY2(process.exitCode() == run.exitCode, qPrintable(what));
        QVERIFY2(out.contains(run.says), qPrintable(what));
    }
    QVERIFY(QFileInfo::exists(user + QStringLiteral("/immagini/giulia.jpg")));
    QVERIFY(!QFileInfo::exists(user + QStringLiteral("/immagini/gatto.jpg")));
    Recording saved;
    QString error;
    QVERIFY2(readWav(user + QStringLiteral("/parole/giulia.wav"), &saved, &error), qPrintable(error));
    QVERIFY(std::abs(loudnessOf(saved) - kTargetLoudness) < 0.2);
    QVERIFY(QFileInfo::exists(user + QStringLiteral("/alfabeto/g.wav")));
    // Nothing but the finished files: no temporary file left beside them.
    QDir::Filters all = QDir::Files | QDir::Hidden | QDir::System;
    QCOMPARE(QDir(user + QStringLiteral("/parole")).entryList(all), QStringList{QStringLiteral("giulia.wav")});
    QCOMPARE(QDir(user + QStringLiteral("/immagini")).entryList(all), QStringList{QStringLiteral("giulia.jpg")});
}

QTEST_MAIN(TestParole)
#include "test_parole.moc"
