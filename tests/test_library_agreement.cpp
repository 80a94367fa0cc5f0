// The three programs agree on what the two libraries hold: the parents' list
// of words, Quillo's picture list and the checker's pictures per letter.

#include "platform/files/file_name.h"
#include "library/media_library.h"
#include "library/picture_list.h"
#include "support/media_folder.h"
#include "parole/word_library.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using quillo::test::MediaFolder;

namespace {

// The bundled library (the real one, linked) beside a copy of the checker,
// which looks for it beside itself, and a user's library under a data home.
struct Libraries {
    Libraries()
    {
        QVERIFY(QDir().mkpath(bundled()) && QDir().mkpath(user()));
        const QString checker = QFileInfo(QStringLiteral(QUILLO_BINARY)).absolutePath() + QStringLiteral("/quillo-media-check");
        QVERIFY(QFile::copy(checker, bundled() + QStringLiteral("/quillo-media-check")));
        for (const char* folder : {"alfabeto", "parole", "immagini"}) {
            const QString name = QString::fromLatin1(folder);
            QVERIFY(QFile::link(QStringLiteral(QUILLO_SOURCE_DIR "/media/") + name, bundled() + u'/' + name));
            QVERIFY(QDir().mkpath(user() + u'/' + name));
        }
    }
    QString bundled() const { return dir.filePath(QStringLiteral("bin")); }
    QString user() const { return dir.filePath(QStringLiteral("data/quillo")); }
    QTemporaryDir dir;
};

}  // namespace

class TestLibraryAgreement : public QObject {
    Q_OBJECT
private slots:
    void sameWordsAndFiles_data();
    void sameWordsAndFiles();
};

void TestLibraryAgreement::sameWordsAndFiles_data()
{
    QTest::addColumn<QStringList>("files");  // in the user's library; "immagini=file": a file in its place
    QTest::addColumn<bool>("allGood");       // the checker finds nothing wrong

    QTest::newRow("a replaced word and a new one")
        << QStringList{"immagini/Gatto.jpg", "immagini/7nani.png", "parole/7nani.wav"} << true;
    QTest::newRow("two spellings of one word")
        << QStringList{"immagini/orso.png", "immagini/Orso.jpg", "parole/orso.wav", "immagini/Cane.bmp"} << true;
    QTest::newRow("a word whose extension is longer")
        << QStringList{"immagini/casa.jpeg", "parole/casa..wav"} << false;
    QTest::newRow("an unusable pictures folder") << QStringList{"immagini=file", "alfabeto/a.wav"} << false;
}

void TestLibraryAgreement::sameWordsAndFiles()
{
    QFETCH(QStringList, files);
    QFETCH(bool, allGood);
    Libraries libraries;
    for (const QString& file : files) {
        const QString path = libraries.user() + u'/' + file.section(u'=', 0, 0);
        if (file.endsWith(QLatin1String("=file"))) {
            QVERIFY(QDir(path).removeRecursively());
            QFile stand(path);
            QVERIFY(stand.open(QIODevice::WriteOnly));
            continue;
        }
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        if (file.endsWith(QLatin1String(".wav"))) {
            out.write(MediaFolder::tinyWav());
        } else {
            QImage image(4, 4, QImage::Format_RGB32);
            image.fill(Qt::green);
            QVERIFY(image.save(&out, "PNG"));
        }
    }

    // The parents' list.
    QStringList parents;
    for (const quillo::parole::WordEntry& entry : quillo::parole::listWords({libraries.bundled(), libraries.user()}))
        parents << entry.word + u' ' + entry.picture;

    // Quillo's.
    quillo::MediaLibrary both(libraries.bundled(), libraries.user());
    quillo::PictureList list;
    list.setLibrary(both);
    QStringList quillos;
    QMap<QString, int> perLetter;
    for (int i = 0; i < list.count(); ++i) {
        list.setSelectedIndex(i);
        quillos << quillo::wordOfPicture(list.fileName()) + u' ' + QDir::cleanPath(list.filePath());
        ++perLetter[quillo::readableFileName(list.fileName()).left(1).toLower()];
    }
    for (QString& line : parents)
        line = line.section(u' ', 0, 0) + u' ' + QDir::cleanPath(line.section(u' ', 1));
    QCOMPARE(parents, quillos);
    QVERIFY(quillos.size() > 50);

    // The checker's pictures per letter, where it finds all good.
    QProcess checker;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), libraries.dir.filePath(QStringLiteral("data")));
    checker.setProcessEnvironment(env);
    checker.start(libraries.bundled() + QStringLiteral("/quillo-media-check"), QStringList{});
    QVERIFY(checker.waitForFinished(60000));
    const QStringList lines = QString::fromUtf8(checker.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(checker.exitCode(), allGood ? 0 : 1);
    if (!allGood)
        return;
    QStringList counts;
    for (auto it = perLetter.cbegin(); it != perLetter.cend(); ++it)
        counts << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
    QCOMPARE(lines.value(lines.size() - 1), QStringLiteral("immagini per lettera, le due librerie insieme / pictures per "
                                                           "letter, both libraries: ")
                                                + counts.join(QStringLiteral(", ")));
}

QTEST_GUILESS_MAIN(TestLibraryAgreement)
#include "test_library_agreement.moc"
