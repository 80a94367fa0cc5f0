// The rules of a media library, shared by Quillo and its two helpers: the
// word of a picture, where a recording is looked for, how the two libraries'
// pictures are put together, and why a folder cannot be used.

#include "platform/files/file_name.h"
#include "platform/files/file_search.h"
#include "library/media_library.h"
#include "support/log_capture.h"
#include "support/media_folder.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using quillo::FolderTrouble;
using quillo::LibraryPicture;
using quillo::MediaLibrary;
using quillo::decodeFileName;
using quillo::folderIn;
using quillo::folderName;
using quillo::folderTrouble;
using quillo::usableOrSaid;
using quillo::test::MediaFolder;
using quillo::LibraryFolder;

namespace {

// "user:alfabeto/A.wav" or "bundled:parole/casa.wav": a file planted in one
// library. Pictures are real PNGs, recordings tiny WAVs.
void plant(MediaFolder& user, MediaFolder& bundled, const QStringList& files)
{
    for (const QString& file : files) {
        MediaFolder& library = file.startsWith(QLatin1String("user:")) ? user : bundled;
        const QString path = file.section(u':', 1);
        if (path.startsWith(QLatin1String("immagini/")))
            library.addPicture(path.mid(9), 4);
        else
            library.addFile(path, MediaFolder::tinyWav());
    }
}

// A path of one of the two libraries as "user/..." or "bundled/...".
QString whose(const QString& path, const MediaFolder& user, const MediaFolder& bundled)
{
    if (path.startsWith(user.path() + u'/'))
        return QStringLiteral("user") + path.mid(user.path().size());
    if (path.startsWith(bundled.path() + u'/'))
        return QStringLiteral("bundled") + path.mid(bundled.path().size());
    return path;
}

}  // namespace

class TestMediaLibrary : public QObject {
    Q_OBJECT
private slots:
    void wordOfPicture_data();
    void wordOfPicture();
    void lookups_data();
    void lookups();
    void lookupsInOneLibrary();
    void picturesOfBothLibraries_data();
    void picturesOfBothLibraries();
    void mergeAgreesWithSortingEverything();
    void unusableFolder_data();
    void unusableFolder();
};

void TestMediaLibrary::wordOfPicture_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("word");
    QTest::newRow("plain") << "casa.png" << "casa";
    QTest::newRow("capital kept") << "Casa.bmp" << "Casa";
    QTest::newRow("four-letter extension keeps its dot") << "casa.jpeg" << "casa.";
    QTest::newRow("four characters name no word") << "abcd" << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("a stray byte reads as Latin-1") << decodeFileName("perch\xe8.png") << QStringLiteral("perchè");
}

void TestMediaLibrary::wordOfPicture()
{
    QFETCH(QString, name);
    QFETCH(QString, word);
    QCOMPARE(quillo::wordOfPicture(name), word);
}

void TestMediaLibrary::lookups_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("wildcards");
    QTest::addColumn<QString>("found");  // what pathOf / find gives

    const int letters = int(LibraryFolder::Letters);
    const int words = int(LibraryFolder::Words);
    QTest::newRow("the user's first") << QStringList{"user:alfabeto/a.wav", "bundled:alfabeto/a.wav"} << letters << "a.wav"
                                      << false << "user/alfabeto/a.wav";
    QTest::newRow("letter case aside") << QStringList{"user:alfabeto/A.wav", "bundled:alfabeto/a.wav"} << letters << "a.wav"
                                       << false << "user/alfabeto/A.wav";
    QTest::newRow("the exact spelling wins in one folder")
        << QStringList{"user:parole/Casa.wav", "user:parole/casa.wav"} << words << "casa.wav" << false << "user/parole/casa.wav";
    QTest::newRow("then the bundled one") << QStringList{"user:alfabeto/b.wav", "bundled:alfabeto/a.wav"} << letters << "A.wav"
                                          << false << "bundled/alfabeto/a.wav";
    QTest::newRow("neither: the bundled folder, as asked") << QStringList{"user:parole/ape.wav"} << words << "Bravo.wav" << false
                                                           << "bundled/parole/Bravo.wav";
    QTest::newRow("a wildcard: the first library that has a match")
        << QStringList{"user:alfabeto/k.wav", "bundled:alfabeto/a.wav"} << letters << "*.wav" << true << "user/alfabeto/k.wav";
    QTest::newRow("a wildcard with no match anywhere") << QStringList{"bundled:alfabeto/a.wav"} << letters << "z*.wav" << true
                                                       << "";
    QTest::newRow("an asterisk taken literally finds nothing else")
        << QStringList{"bundled:alfabeto/a.wav"} << letters << "*.wav" << false << "bundled/alfabeto/*.wav";
}

void TestMediaLibrary::lookups()
{
    QFETCH(QStringList, files);
    QFETCH(int, kind);
    QFETCH(QString, name);
    QFETCH(bool, wildcards);
    QFETCH(QString, found);
    MediaFolder user, bundled;
    plant(user, bundled, files);
    MediaLibrary media(bundled.path(), user.path());
    const LibraryFolder folder = LibraryFolder(kind);
    const QString path = wildcards ? media.find(folder, name) : media.pathOf(folder, name);
    QCOMPARE(whose(path, user, bundled), found);

    // Without a library of the user's, and with one whose folder has gone
    // since the last key, the bundled library alone answers.
    const QString bundledAlone = whose(MediaLibrary(bundled.path(), {}).pathOf(folder, name), user, bundled);
    QVERIFY(QDir(user.path() + u'/' + folderName(folder)).removeRecursively());
    QCOMPARE(media.folders(folder).size(), 2);  // judged once a key
    media.lookAgain();
    QCOMPARE(media.folders(folder), QStringList{folderIn(bundled.path(), folder)});
    QCOMPARE(whose(media.pathOf(folder, name), user, bundled), bundledAlone);
}

void TestMediaLibrary::lookupsInOneLibrary()
{
    MediaFolder user, bundled;
    plant(user, bundled,
          {"user:parole/Casa.wav", "user:parole/casa.wav", "user:immagini/gatto.png", "user:immagini/Gatto.jpg",
           "user:immagini/gattone.png", "bundled:parole/casa.wav", "bundled:immagini/casa.jpeg"});
    // One library answers for itself, whatever the other holds.
    QCOMPARE(whose(quillo::locateIn(user.path(), LibraryFolder::Words, QStringLiteral("CASA.wav")), user, bundled),
             QStringLiteral("user/parole/Casa.wav"));
    QCOMPARE(quillo::locateIn(user.path(), LibraryFolder::Letters, QStringLiteral("a.wav")), QString());
    QCOMPARE(quillo::spellingsIn(user.path(), LibraryFolder::Words, QStringLiteral("casa.WAV")),
             (QStringList{"Casa.wav", "casa.wav"}));
    // A word's pictures, letter case aside; another word that begins alike
    // and a longer extension are other words.
    QCOMPARE(quillo::picturesOfWordIn(user.path(), QStringLiteral("GATTO")), (QStringList{"Gatto.jpg", "gatto.png"}));
    QCOMPARE(quillo::picturesOfWordIn(bundled.path(), QStringLiteral("casa")), QStringList{});
    QVERIFY(quillo::isPictureOf(QStringLiteral("casa.jpeg"), QStringLiteral("casa.")));
    // No library, or none there: nothing, never the root folder's files.
    for (const QString& none : {QString(), user.path() + QStringLiteral("/nessuna")}) {
        QCOMPARE(quillo::locateIn(none, LibraryFolder::Words, QStringLiteral("casa.wav")), QString());
        QCOMPARE(quillo::spellingsIn(none, LibraryFolder::Words, QStringLiteral("casa.wav")), QStringList{});
        QCOMPARE(quillo::picturesOfWordIn(none, QStringLiteral("gatto")), QStringList{});
    }
}

void TestMediaLibrary::picturesOfBothLibraries_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("offered");  // name, then "user" or "bundled", "+" when the bundled has the word too

    QTest::newRow("both libraries, sorted together")
        << QStringList{"user:immagini/orso.png", "bundled:immagini/ape.png", "bundled:immagini/zebra.png"}
        << QStringList{"ape.png bundled", "orso.png user", "zebra.png bundled"};
    QTest::newRow("a user's word takes the bundled one's place, letter case aside")
        << QStringList{"user:immagini/Gatto.jpg", "bundled:immagini/gatto.png", "bundled:immagini/ape.png"}
        << QStringList{"ape.png bundled", "Gatto.jpg user+"};
    QTest::newRow("the same name in both") << QStringList{"user:immagini/casa.png", "bundled:immagini/casa.png"}
                                           << QStringList{"casa.png user+"};
    QTest::newRow("two spellings in the user's: the first in order counts")
        << QStringList{"user:immagini/gatto.png", "user:immagini/Gatto.jpg", "bundled:immagini/gatto.bmp"}
        << QStringList{"Gatto.jpg user+"};
    QTest::newRow("two spellings in the bundled one") << QStringList{"bundled:immagini/Casa.png", "bundled:immagini/casa.jpg"}
                                                      << QStringList{"casa.jpg bundled"};
    QTest::newRow("a longer extension is another word")
        << QStringList{"user:immagini/casa.jpeg", "bundled:immagini/casa.png"}
        << QStringList{"casa.jpeg user", "casa.png bundled"};
}

void TestMediaLibrary::picturesOfBothLibraries()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, offered);
    MediaFolder user, bundled;
    plant(user, bundled, files);
    QStringList got;
    MediaLibrary media(bundled.path(), user.path());
    for (const LibraryPicture& picture : media.pictures()) {
        got << picture.name + (picture.own ? QStringLiteral(" user") : QStringLiteral(" bundled"))
                   + (picture.own && picture.bundledToo ? QStringLiteral("+") : QString());
        // The picture of its word, asked alone, is the same one, where it is.
        const LibraryPicture alone = media.pictureOf(quillo::wordOfPicture(picture.name).toUpper());
        QCOMPARE(alone.name, picture.name);
        QCOMPARE(alone.own, picture.own);
        QCOMPARE(alone.bundledToo, picture.bundledToo);
        QCOMPARE(whose(media.pathOf(alone), user, bundled),
                 (picture.own ? QStringLiteral("user/immagini/") : QStringLiteral("bundled/immagini/")) + picture.name);
    }
    QCOMPARE(got, offered);
    QVERIFY(media.pictureOf(QStringLiteral("nessuna")).name.isEmpty());
}

// The plain rule, spelled out: the first of each word in each list, the
// user's over the bundled ones, everything sorted together.
QStringList mergedByTheRule(const QStringList& own, const QStringList& bundled)
{
    const auto key = [](const QString& name) {
        const QString word = quillo::wordOfPicture(name);
        return (word.isEmpty() ? name : word).toCaseFolded();
    };
    QHash<QString, QString> kept;  // key -> "name user" / "name bundled" / "name user+"
    for (const QString& name : own) {
        if (!kept.contains(key(name)))
            kept.insert(key(name), name + QStringLiteral(" user"));
    }
    QSet<QString> bundledSeen;
    for (const QString& name : bundled) {
        if (bundledSeen.contains(key(name)))
            continue;
        bundledSeen.insert(key(name));
        QString& entry = kept[key(name)];
        if (entry.isEmpty())
            entry = name + QStringLiteral(" bundled");
        else if (!entry.endsWith(u'+'))
            entry += u'+';
    }
    QStringList names;
    QHash<QString, QString> byName;
    for (const QString& entry : std::as_const(kept)) {
        names << entry.section(u' ', 0, 0);
        byName.insert(names.last(), entry);
    }
    quillo::sortFileNames(names);
    QStringList merged;
    for (const QString& name : std::as_const(names))
        merged << byName.value(name);
    return merged;
}

void TestMediaLibrary::mergeAgreesWithSortingEverything()
{
    // Random names from few letters, so that words meet in both lists and
    // spellings of one word fall apart in the sorted order (gatto.jpg,
    // gatto.k.png, GATTO.png).
    QRandomGenerator random(38);
    const QStringList pieces{"a", "B", "à", "k", ".", "1", "10", "2"};
    const QStringList extensions{".png", ".jpg", ".PNG"};
    auto someNames = [&](int count) {
        QSet<QString> names;
        while (names.size() < count) {
            QString word;
            for (int i = 1 + int(random.bounded(4)); i > 0; --i)
                word += pieces.at(int(random.bounded(pieces.size())));
            names.insert(word + extensions.at(int(random.bounded(extensions.size()))));
        }
        QStringList sorted(names.begin(), names.end());
        sorted << QStringLiteral("ab");  // too short for a word: stands for itself
        quillo::sortFileNames(sorted);
        return sorted;
    };
    for (const int ownCount : {0, 1, 40, 400}) {
        const QStringList own = ownCount > 0 ? someNames(ownCount) : QStringList{};
        const QStringList bundled = someNames(600);
        QStringList got;
        for (const LibraryPicture& picture : quillo::mergePictures(own, bundled)) {
            got << picture.name + (picture.own ? QStringLiteral(" user") : QStringLiteral(" bundled"))
                       + (picture.own && picture.bundledToo ? QStringLiteral("+") : QString());
        }
        QCOMPARE(got, mergedByTheRule(own, bundled));
    }
}

void TestMediaLibrary::unusableFolder_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("atFault");  // relative to the library
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("italian");

    QTest::newRow("usable") << "" << "" << int(FolderTrouble::None) << "" << "";
    QTest::newRow("missing") << "missing" << "immagini" << int(FolderTrouble::Missing) << "" << "";
    QTest::newRow("a file") << "file" << "immagini" << int(FolderTrouble::NotAFolder) << "it is not a folder"
                            << "non è una cartella";
    QTest::newRow("a FIFO") << "fifo" << "immagini" << int(FolderTrouble::NotAFolder) << "it is not a folder"
                            << "non è una cartella";
    QTest::newRow("a file above it") << "file above" << "." << int(FolderTrouble::NotAFolder) << "it is not a folder"
                                     << "non è una cartella";
    QTest::newRow("a loop of links") << "loop" << "immagini" << int(FolderTrouble::Loop) << "its links go round in a loop"
                                     << "i collegamenti girano in tondo";
    if (::geteuid() != 0) {  // root reads any folder
        QTest::newRow("no permission") << "unreadable" << "immagini" << int(FolderTrouble::Unreadable)
                                       << "it cannot be read (Permission denied)" << "non si può leggere";
        QTest::newRow("no permission above") << "unsearchable above" << "." << int(FolderTrouble::Unreadable)
                                             << "it cannot be read (Permission denied)" << "non si può leggere";
    }
}

void TestMediaLibrary::unusableFolder()
{
    QFETCH(QString, what);
    QFETCH(QString, atFault);
    QFETCH(int, kind);
    QFETCH(QString, english);
    QFETCH(QString, italian);
    MediaFolder library;
    library.addPicture(QStringLiteral("orso.png"));
    const QString root = QDir::cleanPath(library.path());
    const QString pictures = root + QStringLiteral("/immagini");
    const QByteArray bytes = QFile::encodeName(pictures);
    const auto mend = qScopeGuard([&] {
        ::chmod(QFile::encodeName(root).constData(), 0700);
        ::chmod(bytes.constData(), 0700);
    });
    if (!what.isEmpty() && !what.endsWith(QLatin1String("above")))
        QVERIFY(QDir(pictures).removeRecursively());
    if (what == QLatin1String("file")) {
        library.addFile(QStringLiteral("immagini"), "x");
    } else if (what == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(bytes.constData(), 0600), 0);
    } else if (what == QLatin1String("loop")) {
        QCOMPARE(::symlink(bytes.constData(), bytes.constData()), 0);
    } else if (what == QLatin1String("unreadable")) {
        QVERIFY(QDir().mkpath(pictures));
        QCOMPARE(::chmod(bytes.constData(), 0300), 0);
    } else if (what == QLatin1String("unsearchable above")) {
        QCOMPARE(::chmod(QFile::encodeName(root).constData(), 0600), 0);
    }
    if (what == QLatin1String("file above")) {
        QVERIFY(QDir(root).removeRecursively());
        QFile file(root);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    const FolderTrouble trouble = folderTrouble(pictures);
    QCOMPARE(int(trouble.kind), kind);
    QCOMPARE(trouble.english(), english);
    QCOMPARE(trouble.italian(), italian);
    QCOMPARE(trouble.usable(), what.isEmpty());
    if (!atFault.isEmpty())
        QCOMPARE(trouble.path, QDir::cleanPath(root + u'/' + atFault));

    // Said once a run for the path at fault, however often and through
    // however many folders below it that fault is met.
    quillo::test::LogCapture log;
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(usableOrSaid(pictures), what.isEmpty());
        if (what.endsWith(QLatin1String("above")))
            QVERIFY(!usableOrSaid(root + QStringLiteral("/alfabeto")));
    }
    const QString said = log.text();
    QCOMPARE(said.count(QStringLiteral("left out")), trouble.faulty() ? 1 : 0);
    if (trouble.faulty())
        QVERIFY2(said.contains(trouble.path + QStringLiteral(": left out, ") + english), qPrintable(said));

    // The library judges the user's folder the same, and leaves it out.
    MediaFolder bundled;
    MediaLibrary media(bundled.path(), root);
    QCOMPARE(int(media.userTrouble(LibraryFolder::Pictures).kind), kind);
    QCOMPARE(media.folders(LibraryFolder::Pictures).size(), what.isEmpty() ? 2 : 1);
}

QTEST_GUILESS_MAIN(TestMediaLibrary)
#include "test_media_library.moc"
