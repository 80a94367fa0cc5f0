// The command line of "Le parole di Quillo", as a script would run it, and
// saves racing each other.

#include "parole/sound_levels.h"
#include "parole/wav_file.h"

#include "support/media_folder.h"
#include "support/parole_samples.h"
#include "support/sample_files.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace quillo::parole;
using namespace quillo::test;

class TestParoleCommandLine : public QObject {
    Q_OBJECT
private slots:
    void commandLine();
    void concurrentSaves();
};

void TestParoleCommandLine::commandLine()
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
        // Spaces at either end are left out, as the window leaves them out.
        {{add, QStringLiteral(" gatto"), recording, voice}, 0, QStringLiteral("Salvata la parola «gatto» con la tua voce.")},
        {{remove, QStringLiteral("gatto"), picture}, 1, QStringLiteral("La foto di «gatto» è di Quillo")},
        {{remove, QStringLiteral("gatto "), QStringLiteral("--voice")}, 0, QStringLiteral("Ho tolto la tua voce di «gatto». Torna la voce di Quillo.")},
        // The photo of the family's own word taken alone: its voice stays,
        // said so, and can be taken after it, by name.
        {{add, QStringLiteral("giuseppina"), picture, photo, recording, voice}, 0, QStringLiteral("Aggiunta la parola «giuseppina» con la tua voce.")},
        {{remove, QStringLiteral("giuseppina"), picture}, 0, QStringLiteral("Ho tolto la tua foto di «giuseppina». «giuseppina» non sarà più tra le parole. La tua voce di «giuseppina» resta")},
        {{remove, QStringLiteral("giuseppina"), picture}, 1, QStringLiteral("«giuseppina» non ha la tua foto: ha solo la tua voce")},
        {{remove, QStringLiteral("giuseppina"), QStringLiteral("--voice")}, 0, QStringLiteral("Ho tolto la tua voce di «giuseppina». «giuseppina» non sarà più nella lista.")},
        {{remove, QStringLiteral("giuseppina"), QStringLiteral("--voice")}, 1, QStringLiteral("«giuseppina» non ha la tua voce.")},
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
        {{QStringLiteral("--bogus")}, 2, QStringLiteral("Opzione sconosciuta: --bogus.")},
        {{add, QStringLiteral("giulia"), picture}, 2, QStringLiteral("Manca il valore dopo --picture")},
        {{add, QStringLiteral("giulia"), picture, photo, picture, photo}, 2, QStringLiteral("--picture è ripetuta")},
        {{add, QStringLiteral("giulia"), QStringLiteral("-picture"), photo}, 2,
         QStringLiteral("Le opzioni si scrivono con due trattini: --picture, non -picture.")},
        {{remove, QStringLiteral("giulia"), QStringLiteral("--voice=si")}, 2, QStringLiteral("--voice non vuole un valore.")},
        // --help names every command, option and exit status.
        {{QStringLiteral("--help")}, 0, QStringLiteral("Uscita:\n  0   fatto")},
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
        // Only the program's own Italian: none of Qt's English, nor a library's.
        for (const char* english : {"Unknown", "Unexpected", "Missing", "ALSA"})
            QVERIFY2(!out.contains(QLatin1String(english)), qPrintable(what));
        if (run.arguments == QStringList{QStringLiteral("--help")}) {
            for (const char* named : {"add PAROLA ", "letter CARATTERE ", "remove PAROLA ", "child NOME ", "--picture FOTO ",
                                      "--voice ", "--record SECONDI ", "--recording FILE.wav ", "--remove ", "--help ",
                                      "  1   ", "  2   "})
                QVERIFY2(out.contains(QLatin1String(named)), named);
        }
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

    // Refused whole, each saying why: a voice that cannot be recorded (no
    // microphone) takes its photo with it, and a pipe in place of the lock
    // is refused at once, never waited on.
    const auto refusedRun = [&](const QStringList& arguments, const char* audio) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("SDL_AUDIODRIVER"), QString::fromLatin1(audio));
        process.setProcessEnvironment(env);
        process.start(paroleBinary(), arguments);
        if (!process.waitForFinished(5000))
            process.kill();
        return QString::fromUtf8(process.readAllStandardError()) + QString::number(process.exitCode());
    };
    QString said = refusedRun({add, QStringLiteral("gufo"), picture, photo, QStringLiteral("--record"), QStringLiteral("1")},
                              "nessuno");
    QVERIFY2(said.contains(QStringLiteral("Non ho salvato niente di «gufo», nemmeno la foto")) && said.endsWith(u'1'),
             qPrintable(said));
    QVERIFY(::mkfifo(QFile::encodeName(user + QStringLiteral("/.lock")).constData(), 0644) == 0);
    said = refusedRun({add, QStringLiteral("gufo"), picture, photo}, "dummy");
    QVERIFY2(said.contains(QStringLiteral("il file .lock: non è un file normale.")) && said.endsWith(u'1'), qPrintable(said));
    QCOMPARE(QDir(user + QStringLiteral("/immagini")).entryList(all), QStringList{QStringLiteral("giulia.jpg")});

    QVERIFY(QFile::remove(user + QStringLiteral("/.lock")));

    // No sound server and no sound card: the program's own sentence, and
    // none of the ALSA library's lines about the cards it could not find.
    QProcess noSound;
    QProcessEnvironment quiet = QProcessEnvironment::systemEnvironment();
    quiet.remove(QStringLiteral("SDL_AUDIODRIVER"));
    quiet.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.filePath(QStringLiteral("nessun-server")));
    quiet.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + dir.filePath(QStringLiteral("nessun-server/native")));
    quiet.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    noSound.setProcessEnvironment(quiet);
    noSound.start(paroleBinary(), {letter, QStringLiteral("g"), QStringLiteral("--record"), QStringLiteral("1")});
    QVERIFY(noSound.waitForFinished(30000));
    said = QString::fromUtf8(noSound.readAllStandardError());
    QVERIFY2(!said.contains(QStringLiteral("ALSA lib")), qPrintable(said));

    // What the library's shared code finds wrong is said as this program's
    // own line, in Italian.
    const QString broken = dir.filePath(QStringLiteral("rotta"));
    QVERIFY(QDir().mkpath(broken + QStringLiteral("/quillo")));
    writeFile(broken + QStringLiteral("/quillo/immagini"), "non una cartella");
    quiet.insert(QStringLiteral("XDG_DATA_HOME"), broken);
    noSound.setProcessEnvironment(quiet);
    noSound.start(paroleBinary(), {QStringLiteral("remove"), QStringLiteral("gatto")});
    QVERIFY(noSound.waitForFinished(30000));
    said = QString::fromUtf8(noSound.readAllStandardError());
    QVERIFY2(said.contains(QStringLiteral("quillo-parole: ") + broken + QStringLiteral("/quillo/immagini: non si usa, non è una cartella\n")),
             qPrintable(said));
    QVERIFY2(!said.contains(QStringLiteral("quillo:")) && !said.contains(QStringLiteral("left out")), qPrintable(said));
}

void TestParoleCommandLine::concurrentSaves()
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

QTEST_MAIN(TestParoleCommandLine)
#include "test_parole_command_line.moc"
