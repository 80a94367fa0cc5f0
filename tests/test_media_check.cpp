// quillo-media-check, run as a parent would run it: on the bundled library,
// on a small complete library, on libraries with one fault planted each, and
// on the bundled library beside one of the user's own.

#include "platform/files/file_name.h"
#include "support/media_folder.h"
#include "support/sample_files.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <sys/stat.h>

#include <algorithm>

using quillo::test::MediaFolder;

namespace {

// Built beside quillo, so by default it looks at the build folder's media links.
QString checkerPath()
{
    return QFileInfo(QStringLiteral(QUILLO_BINARY)).absolutePath() + QStringLiteral("/quillo-media-check");
}

struct Outcome {
    int exitCode = -1;
    QStringList lines;
};

// `dataHome`: the XDG_DATA_HOME the checker sees; by default one without
// a library of the user's.
Outcome runChecker(const QStringList& arguments = {}, const QString& dataHome = QStringLiteral("/nonexistent"))
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    process.setProcessEnvironment(env);
    process.start(checkerPath(), arguments);
    process.waitForFinished(30000);
    Outcome outcome;
    outcome.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    outcome.lines = text.split(u'\n', Qt::SkipEmptyParts);
    return outcome;
}

// A PNG whose header claims a huge size, with almost no pixel data: the
// checker must judge it by the header and never try to decode it.
QByteArray hugePngHeader(quint32 width, quint32 height)
{
    return quillo::test::pngFile(width, height, 8, 2, qCompress(QByteArray(64, '\0')).mid(4));  // 8-bit RGB
}

// An honest PCM recording of `dataBytes` of sound, the file made that long
// without writing the sound (a sparse file: it costs the disk nothing).
bool writeSparseWav(const QString& path, int rate, int channels, int bits, qint64 dataBytes)
{
    QByteArray header = quillo::test::wavFile({}, rate, channels, bits);
    qToLittleEndian(quint32(36 + dataBytes), header.data() + 4);
    qToLittleEndian(quint32(dataBytes), header.data() + 40);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(header) == header.size() && file.resize(header.size() + dataBytes);
}

// Everything the program needs, a few traps that are not faults (hidden
// junk, case-blind names, a picture exactly as wide as allowed), and nothing
// wrong.
void fillCompleteLibrary(MediaFolder& media)
{
    for (char c = 'a'; c <= 'z'; ++c)
        media.addLetter(QStringLiteral("%1.wav").arg(QLatin1Char(c)));
    for (char c = '0'; c <= '9'; ++c)
        media.addLetter(QStringLiteral("%1.wav").arg(QLatin1Char(c)));
    media.addLetter(QStringLiteral("boh.wav"));
    media.addLetter(QStringLiteral("à.wav"));
    media.addFile(QStringLiteral("alfabeto/LEGGIMI.txt"), "non una registrazione\n");
    for (const char* word : {"Bravo.WAV", "ape.wav", "casa.wav", "gufo.wav", "nulla.wav", "zebra.wav"})
        media.addWord(QString::fromLatin1(word));
    media.addPicture(QStringLiteral("ape.png"));
    media.addPicture(QStringLiteral("casa.png"));
    media.addPicture(QStringLiteral("Gufo.PNG"));
    media.addPicture(QStringLiteral("nulla.png"));
    media.addFile(QStringLiteral("immagini/zebra.png"), quillo::test::pictureFile(12000, 2, QColor(40, 160, 40)));
    // Hidden files are not Quillo's business, whatever they hold.
    media.addFile(QStringLiteral("alfabeto/.DS_Store"), "junk");
    media.addFile(QStringLiteral("alfabeto/.e.wav"), "junk");
    media.addFile(QStringLiteral("parole/.A.wav"), "junk");
    media.addFile(QStringLiteral("immagini/._ape.png"), "junk");
    media.addFile(QStringLiteral("immagini/.Ape.png"), "junk");
}

constexpr int kCompleteRecordings = 26 + 10 + 2 + 6;  // letters, digits, boh and à, words
constexpr int kCompletePictures = 5;

}  // namespace

class TestMediaCheck : public QObject {
    Q_OBJECT

private slots:
    void bundledLibraryIsAllGood();
    void completeLibraryIsAllGood();
    void missingFolderArgumentIsReported();
    void plantedFaultIsFound_data();
    void plantedFaultIsFound();
    void usersLibraryBesideTheBundledOne_data();
    void usersLibraryBesideTheBundledOne();
};

void TestMediaCheck::bundledLibraryIsAllGood()
{
    QVERIFY2(QFileInfo(checkerPath()).isExecutable(), qPrintable(checkerPath()));
    const QDir media(QStringLiteral(QUILLO_SOURCE_DIR "/media"));
    const int recordings = int(QDir(media.filePath(QStringLiteral("alfabeto"))).entryList({QStringLiteral("*.wav")}, QDir::Files).size()
                               + QDir(media.filePath(QStringLiteral("parole"))).entryList({QStringLiteral("*.wav")}, QDir::Files).size());
    const int pictures = int(QDir(media.filePath(QStringLiteral("immagini"))).entryList(QDir::Files).size());
    const QString allGood = QStringLiteral("tutto a posto / all good: %1 recordings, %2 pictures").arg(recordings).arg(pictures);

    // With no argument: the media beside the checker (the build folder's links).
    const Outcome beside = runChecker();
    QCOMPARE(beside.lines.value(0), allGood);
    QCOMPARE(beside.lines.size(), 2);  // then the pictures per letter
    QCOMPARE(beside.exitCode, 0);

    const Outcome named = runChecker({media.path() + u'/'});
    QCOMPARE(named.lines, beside.lines);
    QCOMPARE(named.exitCode, 0);
}

void TestMediaCheck::completeLibraryIsAllGood()
{
    MediaFolder media;
    fillCompleteLibrary(media);
    const Outcome outcome = runChecker({media.path()});
    QCOMPARE(outcome.lines, (QStringList{QStringLiteral("tutto a posto / all good: %1 recordings, %2 pictures")
                                             .arg(kCompleteRecordings)
                                             .arg(kCompletePictures),
                                         QStringLiteral("immagini per lettera / pictures per letter: a 1, c 1, g 1, n 1, z 1")}));
    QCOMPARE(outcome.exitCode, 0);
}

void TestMediaCheck::missingFolderArgumentIsReported()
{
    MediaFolder media;
    const QString nowhere = media.path() + QStringLiteral("/nessuna");
    const Outcome outcome = runChecker({nowhere});
    QCOMPARE(outcome.lines, QStringList{nowhere + QStringLiteral(": la cartella non esiste / the folder does not exist")});
    QCOMPARE(outcome.exitCode, 1);
}

// Each row plants faults in a complete library, then expects a line that
// begins with `expected` and exactly `problems` problem lines in all; with
// no problems, the all-good report. Plantings: "rm:PATH", "rmdir:FOLDER",
// "wav:PATH", "png:PATH", "bytes:PATH" (not a recording nor a picture),
// "empty:PATH", "half:PATH" (the first half of what is there),
// "huge:PATH:WxH" (a header claiming that size), "minutes:PATH:N" (an
// honest 8 kHz 8-bit mono recording of N minutes), "megabytes:PATH:N" (an
// honest 48 kHz stereo 16-bit one of N MB), "lying:PATH" (a short recording
// whose data length claims 2 GB), "latin1:PATH" (a recording whose name is
// written in Latin-1, not UTF-8).
void TestMediaCheck::plantedFaultIsFound_data()
{
    QTest::addColumn<QStringList>("plant");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("problems");

    for (const char* folder : {"alfabeto", "parole", "immagini"})
        QTest::addRow("no folder %s", folder) << QStringList{QStringLiteral("rmdir:%1").arg(QLatin1String(folder))}
                                              << QStringLiteral("manca la cartella %1 / folder %1 is missing").arg(QLatin1String(folder))
                                              << 1;

    QTest::newRow("no letter") << QStringList{QStringLiteral("rm:alfabeto/q.wav")}
                               << QStringLiteral("alfabeto/q.wav: manca: la lettera q / missing: letter q") << 1;
    QTest::newRow("no digit") << QStringList{QStringLiteral("rm:alfabeto/7.wav")}
                              << QStringLiteral("alfabeto/7.wav: manca: la cifra 7 / missing: digit 7") << 1;
    QTest::newRow("no fallback") << QStringList{QStringLiteral("rm:alfabeto/boh.wav")}
                                 << QStringLiteral("alfabeto/boh.wav: manca: il suono dei tasti senza registrazione / "
                                                   "missing: the sound of keys without a recording")
                                 << 1;
    QTest::newRow("no word cue") << QStringList{QStringLiteral("rm:alfabeto/d.wav")}
                                 << QStringLiteral("alfabeto/d.wav: manca: la lettera d e l'avviso prima della parola / "
                                                   "missing: letter d and the cue before a word")
                                 << 1;
    QTest::newRow("no o") << QStringList{QStringLiteral("rm:alfabeto/o.wav")}
                          << QStringLiteral("alfabeto/o.wav: manca: la lettera o e la conferma del salvataggio") << 1;
    QTest::newRow("no k") << QStringList{QStringLiteral("rm:alfabeto/k.wav")}
                          << QStringLiteral("alfabeto/k.wav: manca: la lettera k e la conferma del salvataggio") << 1;
    QTest::newRow("no praise") << QStringList{QStringLiteral("rm:parole/Bravo.WAV")}
                               << QStringLiteral("parole/bravo.wav: manca: la lode / missing: the praise") << 1;

    QTest::newRow("picture not a picture")
        << QStringList{QStringLiteral("bytes:immagini/ape.png")}
        << QStringLiteral("immagini/ape.png: l'immagine non si apre / the picture does not open (") << 1;
    QTest::newRow("picture cut short") << QStringList{QStringLiteral("half:immagini/casa.png")}
                                       << QStringLiteral("immagini/casa.png: l'immagine non si apre / the picture does not open")
                                       << 1;
    QTest::newRow("picture too wide") << QStringList{QStringLiteral("huge:immagini/nave.png:20001x10"), QStringLiteral("wav:parole/nave.wav")}
                                      << QStringLiteral("immagini/nave.png: l'immagine è troppo grande: Quillo apre foto di al "
                                                        "massimo 20000 pixel per lato e 250 megapixel / the picture is too "
                                                        "large: Quillo opens pictures of at most 20000 pixels a side and 250 "
                                                        "megapixels (20001x10 px)")
                                      << 1;
    QTest::newRow("picture too many pixels")
        << QStringList{QStringLiteral("huge:immagini/nave.png:16000x16000"), QStringLiteral("wav:parole/nave.wav")}
        << QStringLiteral("immagini/nave.png: l'immagine è troppo grande: Quillo apre foto di") << 1;
    QTest::newRow("four-letter extension")
        << QStringList{QStringLiteral("rm:immagini/ape.png"), QStringLiteral("png:immagini/ape.jpeg")}
        << QStringLiteral("immagini/ape.jpeg: l'estensione non è di tre lettere, la parola uscirebbe \"ape.\" / "
                          "the extension is not three letters, the word would come out as \"ape.\"")
        << 1;
    QTest::newRow("no extension") << QStringList{QStringLiteral("rm:immagini/ape.png"), QStringLiteral("png:immagini/ape")}
                                  << QStringLiteral("immagini/ape: l'estensione non è di tre lettere, la parola uscirebbe \"\"") << 1;
    QTest::newRow("picture without its word")
        << QStringList{QStringLiteral("png:immagini/gatto.png")}
        << QStringLiteral("immagini/gatto.png: manca la registrazione della parola, parole/gatto.wav / "
                          "its word has no recording, parole/gatto.wav")
        << 1;

    QTest::newRow("letter recording not a sound")
        << QStringList{QStringLiteral("bytes:alfabeto/a.wav")}
        << QStringLiteral("alfabeto/a.wav: la registrazione non si carica / the recording does not load (") << 1;
    QTest::newRow("empty word recording")
        << QStringList{QStringLiteral("empty:parole/ape.wav")}
        << QStringLiteral("parole/ape.wav: la registrazione non si carica / the recording does not load") << 1;
    QTest::newRow("recording cut inside its header")
        << QStringList{QStringLiteral("half:alfabeto/à.wav")}
        << QStringLiteral("alfabeto/à.wav: la registrazione non si carica / the recording does not load") << 1;

    // Recordings as the player takes them: beyond its bounds it plays the
    // chime; a data length that claims more than the file holds plays what
    // the file holds.
    const QString chime = QStringLiteral("Quillo suona il segnale al suo posto / ");
    QTest::newRow("recording over ten minutes")
        << QStringList{QStringLiteral("minutes:alfabeto/a.wav:11")}
        << QStringLiteral("alfabeto/a.wav: la registrazione è troppo lunga, ") + chime
               + QStringLiteral("the recording is too long, Quillo plays the chime instead (11.0 minutes; at most 10)")
        << 1;
    QTest::newRow("two minutes are fine") << QStringList{QStringLiteral("minutes:parole/nulla.wav:2")}
                                          << QStringLiteral("tutto a posto") << 0;
    QTest::newRow("recording over 64 MB")
        << QStringList{QStringLiteral("megabytes:parole/ape.wav:70")}
        << QStringLiteral("parole/ape.wav: la registrazione vuole troppa memoria, ") + chime
               + QStringLiteral("the recording needs too much memory, Quillo plays the chime instead (")
        << 1;
    QTest::newRow("file over 100 MB")
        << QStringList{QStringLiteral("megabytes:parole/casa.wav:101")}
        << QStringLiteral("parole/casa.wav: il file è troppo grande, ") + chime + QStringLiteral("the file is too large") << 1;
    QTest::newRow("data length that lies") << QStringList{QStringLiteral("lying:alfabeto/b.wav")}
                                           << QStringLiteral("tutto a posto") << 0;

    QTest::newRow("letters differ in case only")
        << QStringList{QStringLiteral("wav:alfabeto/A.wav")}
        << QStringLiteral("alfabeto: A.wav, a.wav differiscono solo per maiuscole e minuscole, Quillo usa ciascuno per il "
                          "nome scritto così / A.wav, a.wav differ only in letter case, Quillo uses each for its name spelled so")
        << 1;
    // A name that is not UTF-8 is read as Latin-1, as Quillo reads it.
    QTest::newRow("name in Latin-1") << QStringList{QStringLiteral("latin1:alfabeto/è.wav")}
                                     << QStringLiteral("tutto a posto / all good: %1 recordings").arg(kCompleteRecordings + 1) << 0;
    QTest::newRow("name in Latin-1 beside its UTF-8 twin")
        << QStringList{QStringLiteral("latin1:alfabeto/à.wav")}
        << QStringLiteral("alfabeto: à.wav, \\xe0.wav si leggono come lo stesso nome, \\xe0.wav non si sente mai, Quillo trova "
                          "prima à.wav / à.wav, \\xe0.wav read as the same name, \\xe0.wav is never heard, Quillo finds à.wav first")
        << 1;
    QTest::newRow("name in Latin-1 with a colon")
        << QStringList{QStringLiteral("latin1:parole/è:a.wav")}
        << QStringLiteral("parole/\\xe8:a.wav: nome impossibile su altri sistemi: contiene :") << 1;
    QTest::newRow("pictures differ in case only")
        << QStringList{QStringLiteral("png:immagini/Ape.png")}
        << QStringLiteral("immagini: Ape.png, ape.png differiscono solo per maiuscole e minuscole") << 1;

    const QString impossible = QStringLiteral(": nome impossibile su altri sistemi: ");
    QTest::newRow("colon") << QStringList{QStringLiteral("wav:alfabeto/a:b.wav")}
                           << QStringLiteral("alfabeto/a:b.wav") + impossible + QStringLiteral("contiene : / name impossible on other systems: contains :")
                           << 1;
    QTest::newRow("backslash") << QStringList{QStringLiteral("wav:parole/casa\\nuova.wav")}
                               << QStringLiteral("parole/casa\\nuova.wav") + impossible + QStringLiteral("contiene \\") << 1;
    QTest::newRow("control character")  // spelled out, so the report stays one line per problem
        << QStringList{QStringLiteral("wav:alfabeto/tab\t.wav")}
        << QStringLiteral("alfabeto/tab\\x09.wav") + impossible + QStringLiteral("contiene \\x09") << 1;
    QTest::newRow("star") << QStringList{QStringLiteral("wav:alfabeto/*.wav")}
                          << QStringLiteral("alfabeto/*.wav") + impossible
                                 + QStringLiteral("contiene * o ?, che Quillo legge come caratteri jolly / "
                                                  "name impossible on other systems: contains * or ?, which Quillo reads as wildcards")
                          << 1;
    QTest::newRow("question mark") << QStringList{QStringLiteral("wav:alfabeto/?.wav")}
                                   << QStringLiteral("alfabeto/?.wav") + impossible + QStringLiteral("contiene * o ?") << 1;
    QTest::newRow("ends in space") << QStringList{QStringLiteral("wav:parole/casa.wav ")}
                                   << QStringLiteral("parole/casa.wav ") + impossible + QStringLiteral("finisce con uno spazio / ") << 1;
    QTest::newRow("ends in dot")  // the extension is wrong too
        << QStringList{QStringLiteral("png:immagini/casa.png.")}
        << QStringLiteral("immagini/casa.png.") + impossible + QStringLiteral("finisce con un punto / ") << 2;
    QTest::newRow("reserved name") << QStringList{QStringLiteral("wav:alfabeto/con.wav")}
                                   << QStringLiteral("alfabeto/con.wav") + impossible
                                          + QStringLiteral("è un nome riservato di Windows / name impossible on other systems: "
                                                           "is a reserved Windows name")
                                   << 1;
    QTest::newRow("reserved name, any case") << QStringList{QStringLiteral("wav:parole/Lpt1.wav")}
                                             << QStringLiteral("parole/Lpt1.wav") + impossible + QStringLiteral("è un nome riservato") << 1;
}

void TestMediaCheck::plantedFaultIsFound()
{
    QFETCH(QStringList, plant);
    QFETCH(QString, expected);
    QFETCH(int, problems);

    MediaFolder media;
    fillCompleteLibrary(media);
    for (const QString& step : plant) {
        const QString kind = step.section(u':', 0, 0);
        const QString rest = step.section(u':', 1);
        const QString path = media.path() + u'/' + rest;
        if (kind == QLatin1String("rm")) {
            QVERIFY2(QFile::remove(path), qPrintable(path));
        } else if (kind == QLatin1String("rmdir")) {
            QVERIFY(QDir(path).removeRecursively());
        } else if (kind == QLatin1String("wav")) {
            media.addFile(rest, MediaFolder::tinyWav());
        } else if (kind == QLatin1String("png")) {
            media.addFile(rest, quillo::test::pictureFile(16, 16, QColor(40, 160, 40)));
        } else if (kind == QLatin1String("bytes")) {
            media.addFile(rest, "Questo non e' un file multimediale.\n");
        } else if (kind == QLatin1String("empty")) {
            media.addFile(rest, {});
        } else if (kind == QLatin1String("half")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            file.close();
            media.addFile(rest, bytes.left(rest.endsWith(QLatin1String(".wav")) ? 20 : bytes.size() / 2));
        } else if (kind == QLatin1String("minutes")) {
            QVERIFY(writeSparseWav(media.path() + u'/' + rest.section(u':', 0, 0), 8000, 1, 8,
                                   rest.section(u':', 1).toLongLong() * 60 * 8000));
        } else if (kind == QLatin1String("megabytes")) {
            QVERIFY(writeSparseWav(media.path() + u'/' + rest.section(u':', 0, 0), 48000, 2, 16,
                                   rest.section(u':', 1).toLongLong() << 20));
        } else if (kind == QLatin1String("lying")) {
            QByteArray wav = quillo::test::toneWav(200);
            qToLittleEndian(quint32(0x7FFFFFF0), wav.data() + 40);
            media.addFile(rest, wav);
        } else if (kind == QLatin1String("latin1")) {
            media.addFile(quillo::decodeFileName(rest.toLatin1()), MediaFolder::tinyWav());
        } else if (kind == QLatin1String("huge")) {
            const QStringList size = rest.section(u':', 1).split(u'x');
            media.addFile(rest.section(u':', 0, 0), hugePngHeader(size[0].toUInt(), size[1].toUInt()));
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown planting ") + step));
        }
    }

    const Outcome outcome = runChecker({media.path()});
    const QString report = outcome.lines.join(u'\n');
    if (problems == 0) {
        QVERIFY2(outcome.lines.value(0).startsWith(expected), qPrintable(report));
        QCOMPARE(outcome.exitCode, 0);
        return;
    }
    QCOMPARE(outcome.exitCode, 1);
    QVERIFY2(std::any_of(outcome.lines.cbegin(), outcome.lines.cend(), [&](const QString& line) { return line.startsWith(expected); }),
             qPrintable(QStringLiteral("no line beginning\n  %1\nin\n%2").arg(expected, report)));
    QVERIFY2(outcome.lines.size() == problems + 1, qPrintable(report));  // the problems, then the count
    QCOMPARE(outcome.lines.last(), QStringLiteral("problemi: %1 in %2 / problems: %1 in %2").arg(problems).arg(media.path()));
}

// Without an argument the checker looks at the bundled library and at the
// user's, under XDG_DATA_HOME. Plantings as above, in the user's library
// ("rm:." removes all of it), plus "fifo:PATH" and "loop:PATH" (a link to
// itself). `expected`: the user's lines, each after the label, in order;
// the bundled library is all good in every row.
void TestMediaCheck::usersLibraryBesideTheBundledOne_data()
{
    QTest::addColumn<QStringList>("plant");
    QTest::addColumn<QStringList>("expected");

    const QStringList good{QStringLiteral("wav:alfabeto/a.wav"), QStringLiteral("png:immagini/7nani.png"),
                           QStringLiteral("wav:parole/7nani.wav"), QStringLiteral("png:immagini/Gatto.jpg"),
                           QStringLiteral("png:immagini/xilofono.png")};
    // Gatto.jpg and xilofono.png take the places of bundled pictures, with
    // the bundled recordings; 7nani brings a digit.
    QTest::newRow("all good") << good << QStringList{QStringLiteral("tutto a posto / all good: 2 recordings, 3 pictures")};
    QTest::newRow("only pictures") << QStringList{QStringLiteral("png:immagini/gatto.png"), QStringLiteral("rm:alfabeto"),
                                                  QStringLiteral("rm:parole")}
                                   << QStringList{QStringLiteral("tutto a posto / all good: 0 recordings, 1 pictures")};
    QTest::newRow("a word recorded nowhere")
        << QStringList{QStringLiteral("png:immagini/giulia.png")}
        << QStringList{QStringLiteral("immagini/giulia.png: manca la registrazione della parola, parole/giulia.wav / "
                                      "its word has no recording, parole/giulia.wav"),
                       QStringLiteral("problemi: 1 in %1")};
    QTest::newRow("a recording that does not load")
        << QStringList{QStringLiteral("bytes:alfabeto/a.wav")}
        << QStringList{QStringLiteral("alfabeto/a.wav: la registrazione non si carica / the recording does not load ("),
                       QStringLiteral("problemi: 1 in %1")};
    QTest::newRow("a file in its place")
        << QStringList{QStringLiteral("rm:."), QStringLiteral("bytes:.")}
        << QStringList{QStringLiteral("%1: non è una cartella, Quillo usa solo la libreria inclusa / "
                                      "it is not a folder, Quillo uses the bundled library alone"),
                       QStringLiteral("problemi: 1 in %1")};
    QTest::newRow("a FIFO in its place") << QStringList{QStringLiteral("rm:."), QStringLiteral("fifo:.")}
                                         << QStringList{QStringLiteral("%1: non è una cartella"), QStringLiteral("problemi: 1 in %1")};
    QTest::newRow("a loop in its place") << QStringList{QStringLiteral("rm:."), QStringLiteral("loop:.")}
                                         << QStringList{QStringLiteral("%1: i collegamenti girano in tondo, Quillo usa solo la libreria inclusa / its links go round in a loop"),
                                                        QStringLiteral("problemi: 1 in %1")};
    QTest::newRow("a file for its pictures")
        << QStringList{QStringLiteral("rm:immagini"), QStringLiteral("bytes:immagini"), QStringLiteral("wav:alfabeto/a.wav")}
        << QStringList{QStringLiteral("immagini: non è una cartella, Quillo non la usa / it is not a folder, Quillo leaves it out"),
                       QStringLiteral("problemi: 1 in %1")};
}

void TestMediaCheck::usersLibraryBesideTheBundledOne()
{
    QFETCH(QStringList, plant);
    QFETCH(QStringList, expected);

    QTemporaryDir dataHome;
    const QString own = dataHome.filePath(QStringLiteral("quillo"));
    for (const char* folder : {"alfabeto", "parole", "immagini"})
        QVERIFY(QDir(own).mkpath(QString::fromLatin1(folder)));
    for (const QString& step : plant) {
        const QString kind = step.section(u':', 0, 0);
        const QString path = QDir::cleanPath(own + u'/' + step.section(u':', 1));
        QFile file(path);
        if (kind == QLatin1String("rm")) {
            QVERIFY(QDir(path).removeRecursively());
        } else if (kind == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == QLatin1String("loop")) {
            QVERIFY(QFile::link(path, path));
        } else {
            QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
            file.write(kind == QLatin1String("wav")   ? MediaFolder::tinyWav()
                       : kind == QLatin1String("png") ? quillo::test::pictureFile(16, 16, QColor(40, 160, 40))
                                                      : QByteArray("Questo non e' un file multimediale.\n"));
        }
    }

    const Outcome outcome = runChecker({}, dataHome.path());
    const QString report = outcome.lines.join(u'\n');
    const QString bundled = QStringLiteral("libreria inclusa / bundled library: ");
    const QString yours = QStringLiteral("la tua libreria / your library: ");
    QVERIFY2(outcome.lines.value(0).startsWith(bundled + QStringLiteral("tutto a posto / all good")), qPrintable(report));
    QStringList mine;
    for (const QString& line : outcome.lines) {
        if (line.startsWith(yours))
            mine << line.mid(yours.size());
    }
    QVERIFY2(mine.size() == expected.size(), qPrintable(report));
    for (qsizetype i = 0; i < expected.size(); ++i)
        QVERIFY2(mine.at(i).startsWith(QString(expected.at(i)).replace(QStringLiteral("%1"), own)), qPrintable(report));
    const bool allGood = expected.size() == 1;
    QCOMPARE(outcome.exitCode, allGood ? 0 : 1);
    QCOMPARE(outcome.lines.size(), 1 + expected.size() + (allGood ? 1 : 0));
    if (allGood) {
        // The pictures per letter are those of both libraries, each word once.
        const QString perLetter = outcome.lines.last();
        QVERIFY2(perLetter.startsWith(QStringLiteral("immagini per lettera, le due librerie insieme / pictures per letter, "
                                                     "both libraries: ")),
                 qPrintable(perLetter));
        const bool digit = plant.contains(QStringLiteral("png:immagini/7nani.png"));
        QCOMPARE(perLetter.contains(QStringLiteral(": 7 1, a ")), digit);
        // gatto and xilofono are bundled words too: they count once.
        const QDir pictures(QStringLiteral(QUILLO_SOURCE_DIR "/media/immagini"));
        for (const char* letter : {"g", "x"}) {
            const qsizetype bundledCount = pictures.entryList({QStringLiteral("%1*").arg(QLatin1String(letter))}, QDir::Files).size();
            QVERIFY2(perLetter.contains(QStringLiteral(", %1 %2").arg(QLatin1String(letter)).arg(bundledCount)), qPrintable(perLetter));
        }
    }
}

QTEST_GUILESS_MAIN(TestMediaCheck)
#include "test_media_check.moc"
