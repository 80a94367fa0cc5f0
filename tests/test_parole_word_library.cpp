// The library's changes in "Le parole di Quillo": words and keys added,
// replaced and taken back, whose each part is, and the lock that puts saves
// one after the other.

#include "parole/library_lock.h"
#include "parole/sentences.h"
#include "parole/word_library.h"

#include "support/media_folder.h"
#include "support/parole_samples.h"
#include "support/sample_files.h"

#include <QLockFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace quillo::parole;
using namespace quillo::test;

class TestParoleWordLibrary : public QObject {
    Q_OBJECT
private slots:
    void addReplaceRemove();
    void partsAndOwners();
};

void TestParoleWordLibrary::addReplaceRemove()
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

void TestParoleWordLibrary::partsAndOwners()
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
    QCOMPARE(ownerText(Owner::YoursOverQuillo), QStringLiteral("tua al posto di Quillo"));
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

QTEST_MAIN(TestParoleWordLibrary)
#include "test_parole_word_library.moc"
