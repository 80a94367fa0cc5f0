// The hidden picture list, the folder search behind it and the wildcard rules.
#include "platform/base/failure.h"
#include "platform/files/file_name.h"
#include "platform/files/file_search.h"
#include "library/media_library.h"
#include "library/picture_list.h"
#include "platform/files/regular_file.h"
#include "support/wildcard_matches.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using quillo::Failure;
using quillo::PictureList;

namespace {

void touch(const QString& path)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
}

// A temporary library whose folder of pictures holds empty files with the
// given names.
class Folder {
public:
    explicit Folder(const QStringList& names = {})
    {
        QDir(dir_.path()).mkdir(QStringLiteral("immagini"));
        for (const QString& name : names)
            add(name);
    }
    QString path() const { return dir_.filePath(QStringLiteral("immagini")); }
    quillo::MediaLibrary& library() { return library_; }
    void add(const QString& name) { touch(QDir(path()).filePath(name)); }
    void addFolder(const QString& name) { QDir(path()).mkdir(name); }

private:
    QTemporaryDir dir_;
    quillo::MediaLibrary library_{dir_.path(), QString()};
};

}  // namespace

class TestPictureList : public QObject {
    Q_OBJECT

private slots:
    void wildcardRules();
    void patternsSelectFiles();
    void sortedAsAnItalianReaderExpects();
    void hiddenFilesAndFoldersLeftOut();
    void bracketIsLiteral();
    void patternChangesAndSelection();
    void selectionOutOfRangeRefused();
    void newFileAppearsAfterReread();
    void missingFolderRefused();
    void userFolderAsTheLibraryJudgesIt();
    void findFirstFilePrefersExactCase();
    void findFirstFileRefusesForbiddenCharacters();
    void findFirstFileWithLiteralWildcards();
    void namesThatAreNotUtf8();
};

void TestPictureList::wildcardRules()
{
    using quillo::wildcardMatches;
    QVERIFY(wildcardMatches("*.*", "README"));
    QVERIFY(wildcardMatches("*.*", "casa.png"));
    QVERIFY(wildcardMatches("*.*", ".png"));
    QVERIFY(wildcardMatches("c*.*", "c"));
    QVERIFY(wildcardMatches("c*.*", "Cane.JPG"));
    QVERIFY(wildcardMatches("c*.*", "casa.tar.gz"));
    QVERIFY(!wildcardMatches("c*.*", "acqua.png"));
    QVERIFY(wildcardMatches("?.wav", "A.WAV"));
    QVERIFY(!wildcardMatches("?.wav", "ab.wav"));
    QVERIFY(!wildcardMatches("a.wav", "a.wave"));
    QVERIFY(!wildcardMatches("a.wav", "xa.wav"));
    // Characters that mean something in a regular expression stand for themselves.
    QVERIFY(wildcardMatches("a+b.wav", "a+b.wav"));
    QVERIFY(!wildcardMatches("a+b.wav", "aab.wav"));
    QVERIFY(!wildcardMatches("a.wav", "aXwav"));
    QVERIFY(wildcardMatches("(x)*.*", "(x)y.png"));
    // Accented letters compare without regard to case.
    QVERIFY(wildcardMatches(QStringLiteral("è*.*"), QStringLiteral("Èlica.png")));
    // A newline in a name is still one character for '?' and '*'.
    QVERIFY(wildcardMatches("a?b", "a\nb"));
    // A character outside the basic plane (a surrogate pair) stays whole.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("invalid")));
    const QString apple = QStringLiteral("\U0001F34E");
    QVERIFY(quillo::wildcardExpression(apple + QStringLiteral("*.*")).isValid());
    QVERIFY(wildcardMatches(apple + QStringLiteral("*.*"), apple + QStringLiteral("mela.png")));
    QVERIFY(wildcardMatches(apple + QStringLiteral(".wav"), apple + QStringLiteral(".WAV")));
    QVERIFY(!wildcardMatches(apple + QStringLiteral(".wav"), QStringLiteral("\U0001F34F.wav")));
    QVERIFY(wildcardMatches(QStringLiteral("?.wav"), QStringLiteral("x.wav")));
    // A NUL followed by digits (found by fuzzing): the digits stay literal.
    const QString nul = QString(QChar(0)) + QStringLiteral("0`");
    QVERIFY(wildcardMatches(nul, nul));
    QVERIFY(!wildcardMatches(nul, QString(QChar(0)) + QStringLiteral("`")));
}

void TestPictureList::patternsSelectFiles()
{
    Folder folder({"casa.png", "Cane.jpg", "c", "acqua.png", "README", "ape.png", "CIAO.PNG"});
    PictureList list;
    list.setLibrary(folder.library());
    QCOMPARE(list.pattern(), QStringLiteral("*.*"));
    QCOMPARE(list.count(), 7);  // names without a dot too
    QCOMPARE(list.selectedIndex(), -1);
    QCOMPARE(list.fileName(), QString());

    list.setPattern("c*.*");
    QCOMPARE(list.names(), (QStringList{"c", "Cane.jpg", "casa.png", "CIAO.PNG"}));
    list.setPattern("C*.*");
    QCOMPARE(list.names(), (QStringList{"c", "Cane.jpg", "casa.png", "CIAO.PNG"}));
    list.setPattern("z*.*");
    QCOMPARE(list.count(), 0);
    QCOMPARE(list.fileName(), QString());
}

void TestPictureList::sortedAsAnItalianReaderExpects()
{
    const QStringList expected{
        QStringLiteral("2.png"),    QStringLiteral("10.png"),     QStringLiteral("àncora.png"),
        QStringLiteral("ape.png"),  QStringLiteral("Bruco.png"),  QStringLiteral("casa.png"),
        QStringLiteral("Èlica.png"), QStringLiteral("erba.png"),  QStringLiteral("foto2.png"),
        QStringLiteral("foto10.png"), QStringLiteral("zebra.png"),
    };
    QStringList shuffled = expected;
    std::reverse(shuffled.begin(), shuffled.end());
    std::swap(shuffled[2], shuffled[7]);
    Folder folder(shuffled);
    PictureList list;
    list.setLibrary(folder.library());
    const QStringList names = list.names();
    // Accented initials sit beside their plain letter, not after z.
    QVERIFY2(names.indexOf(QStringLiteral("àncora.png")) < names.indexOf(QStringLiteral("Bruco.png")),
             qPrintable(names.join(u' ')));
    QVERIFY2(names.indexOf(QStringLiteral("Èlica.png")) < names.indexOf(QStringLiteral("foto2.png")),
             qPrintable(names.join(u' ')));
    // Numbers by value.
    QVERIFY(names.indexOf("2.png") < names.indexOf("10.png"));
    QVERIFY(names.indexOf("foto2.png") < names.indexOf("foto10.png"));
    QCOMPARE(names.last(), QStringLiteral("zebra.png"));
    QCOMPARE(names.indexOf("ape.png") + 1, names.indexOf("Bruco.png"));  // case ignored
    QCOMPARE(names.size(), expected.size());

    // Names equal but for case keep one fixed order, whatever order they come in.
    QStringList a{"B.png", "b.png", "A.png"};
    QStringList b{"b.png", "A.png", "B.png"};
    quillo::sortFileNames(a);
    quillo::sortFileNames(b);
    QCOMPARE(a, b);
    QCOMPARE(a.first(), QStringLiteral("A.png"));
}

void TestPictureList::hiddenFilesAndFoldersLeftOut()
{
    Folder folder({"casa.png", ".nascosto.png", ".c.png"});
    folder.addFolder("cartella");
    folder.addFolder("conchiglia.png");
    // Links count as what they point at; a pipe is nothing to show.
    const QDir dir(folder.path());
    QVERIFY(QFile::link(dir.filePath("casa.png"), dir.filePath("cane.png")));
    QVERIFY(QFile::link(dir.filePath("cartella"), dir.filePath("cappello.png")));
    QVERIFY(QFile::link(dir.filePath("sparito.png"), dir.filePath("coniglio.png")));
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("cubo.png")).constData(), 0600), 0);
    PictureList list;
    list.setLibrary(folder.library());
    QCOMPARE(list.names(), (QStringList{"cane.png", "casa.png"}));
    list.setPattern("c*.*");
    QCOMPARE(list.names(), (QStringList{"cane.png", "casa.png"}));
    list.setPattern(".*");
    QCOMPARE(list.count(), 0);
}

void TestPictureList::bracketIsLiteral()
{
    Folder folder({"[a].png", "a.png", "b.png", "[.png"});
    PictureList list;
    list.setLibrary(folder.library());
    list.setPattern("[a]*.*");
    QCOMPARE(list.names(), QStringList{"[a].png"});
    list.setPattern("[*.*");
    QCOMPARE(list.names(), (QStringList{"[.png", "[a].png"}));
    list.setPattern("[ab].png");
    QCOMPARE(list.count(), 0);
}

void TestPictureList::patternChangesAndSelection()
{
    Folder folder({"ape.png", "casa.png", "cane.png", "dado.png"});
    PictureList list;
    list.setLibrary(folder.library());
    list.setSelectedIndex(2);
    QCOMPARE(list.fileName(), QStringLiteral("casa.png"));

    list.setPattern("*.*");  // the same pattern: nothing changes
    QCOMPARE(list.selectedIndex(), 2);
    QCOMPARE(list.fileName(), QStringLiteral("casa.png"));

    list.setPattern("c*.*");  // a different one: re-read, no selection
    QCOMPARE(list.selectedIndex(), -1);
    QCOMPARE(list.names(), (QStringList{"cane.png", "casa.png"}));
    list.setSelectedIndex(1);
    list.setPattern("c*.*");
    QCOMPARE(list.fileName(), QStringLiteral("casa.png"));
    list.setSelectedIndex(-1);
    QCOMPARE(list.fileName(), QString());

    // Binding the folder again re-reads it and clears the selection too.
    list.setSelectedIndex(0);
    list.setLibrary(folder.library());
    QCOMPARE(list.selectedIndex(), -1);
}

void TestPictureList::selectionOutOfRangeRefused()
{
    Folder folder({"ape.png", "casa.png", "dado.png"});
    PictureList list;
    list.setLibrary(folder.library());
    list.setSelectedIndex(1);
    for (int bad : {3, 4, -2, std::numeric_limits<int>::max(), std::numeric_limits<int>::min()}) {
        QVERIFY_THROWS_EXCEPTION(Failure, list.setSelectedIndex(bad));
        QCOMPARE(list.selectedIndex(), 1);
        QCOMPARE(list.fileName(), QStringLiteral("casa.png"));
    }
    list.setSelectedIndex(2);
    QCOMPARE(list.fileName(), QStringLiteral("dado.png"));

    PictureList empty;  // no folder yet, nothing to select but "none"
    QCOMPARE(empty.count(), 0);
    empty.setSelectedIndex(-1);
    QVERIFY_THROWS_EXCEPTION(Failure, empty.setSelectedIndex(0));
}

void TestPictureList::newFileAppearsAfterReread()
{
    Folder folder({"ape.png"});
    PictureList list;
    list.setLibrary(folder.library());
    folder.add("casa.png");
    QCOMPARE(list.count(), 1);  // not re-read yet
    list.setPattern("c*.*");
    QCOMPARE(list.names(), QStringList{"casa.png"});
    list.setPattern("*.*");
    QCOMPARE(list.names(), (QStringList{"ape.png", "casa.png"}));
    QFile::remove(QDir(folder.path()).filePath("ape.png"));
    list.setPattern("a*.*");
    QCOMPARE(list.count(), 0);

    // Once the folder has been quiet for a while its listing is kept between
    // re-reads; a change must still show at once, in either direction, and
    // also when it follows the listing within the same clock tick.
    QTest::qWait(250);
    list.setPattern("*.*");
    list.setPattern("c*.*");  // from the kept listing
    QCOMPARE(list.names(), QStringList{"casa.png"});
    folder.add("cane.png");
    list.setPattern("*.*");
    QCOMPARE(list.names(), (QStringList{"cane.png", "casa.png"}));
    QTest::qWait(250);
    list.setPattern("c*.*");
    QFile::rename(QDir(folder.path()).filePath("casa.png"), QDir(folder.path()).filePath(".casa.png"));
    list.setPattern("*.*");
    QCOMPARE(list.names(), QStringList{"cane.png"});
}

void TestPictureList::missingFolderRefused()
{
    using quillo::MediaLibrary;
    QTemporaryDir dir;
    PictureList list;
    MediaLibrary none(dir.path(), {});
    QVERIFY_THROWS_EXCEPTION(Failure, list.setLibrary(none));
    QCOMPARE(list.folder(), QString());
    touch(dir.filePath("immagini"));
    QVERIFY_THROWS_EXCEPTION(Failure, list.setLibrary(none));  // a file is no folder

    // A failed rebind keeps the list it had.
    Folder folder({"file.png"});
    list.setLibrary(folder.library());
    list.setSelectedIndex(0);
    MediaLibrary missing(dir.filePath("missing"), {});
    QVERIFY_THROWS_EXCEPTION(Failure, list.setLibrary(missing));
    QCOMPARE(list.folder(), folder.path() + u'/');
    QCOMPARE(list.fileName(), QStringLiteral("file.png"));

    Folder empty;
    list.setLibrary(empty.library());
    QCOMPARE(list.count(), 0);
}

void TestPictureList::userFolderAsTheLibraryJudgesIt()
{
    Folder bundled({"ape.png", "casa.png"});
    Folder user({"Casa.jpg", "orso.png"});
    quillo::MediaLibrary both(QFileInfo(bundled.path()).path(), QFileInfo(user.path()).path());
    PictureList list;
    list.setLibrary(both);
    QCOMPARE(list.names(), (QStringList{"ape.png", "Casa.jpg", "orso.png"}));
    QCOMPARE(list.pathOf("Casa.jpg"), QDir(user.path()).filePath("Casa.jpg"));
    QCOMPARE(list.pathOf("ape.png"), QDir(bundled.path()).filePath("ape.png"));

    // A folder of the user's that cannot be used is left out from the key
    // the library judges it anew, and comes back when mended.
    const QString moved = user.path() + QStringLiteral(".away");
    QVERIFY(QDir().rename(user.path(), moved));
    touch(user.path());
    both.lookAgain();
    list.setPattern("*.*");
    QCOMPARE(list.names(), (QStringList{"ape.png", "casa.png"}));
    QCOMPARE(list.pathOf("casa.png"), QDir(bundled.path()).filePath("casa.png"));
    QVERIFY(QFile::remove(user.path()));
    QVERIFY(QDir().rename(moved, user.path()));
    both.lookAgain();
    list.setPattern("*.*");
    QCOMPARE(list.names(), (QStringList{"ape.png", "Casa.jpg", "orso.png"}));
}

void TestPictureList::findFirstFilePrefersExactCase()
{
    using quillo::findFirstFile;
    Folder folder({"a.wav", "A.wav", "b.wav", "boh.wav", "Ciao.WAV", ".hidden.wav"});
    folder.addFolder("d.wav");
    QCOMPARE(findFirstFile(folder.path(), "a.wav"), QStringLiteral("a.wav"));
    QCOMPARE(findFirstFile(folder.path(), "A.wav"), QStringLiteral("A.wav"));
    QCOMPARE(findFirstFile(folder.path(), "B.WAV"), QStringLiteral("b.wav"));
    QCOMPARE(findFirstFile(folder.path(), "ciao.wav"), QStringLiteral("Ciao.WAV"));
    QCOMPARE(findFirstFile(folder.path(), "b*.wav"), QStringLiteral("b.wav"));
    QCOMPARE(findFirstFile(folder.path(), "x.wav"), QString());
    QCOMPARE(findFirstFile(folder.path(), "d.wav"), QString());  // a folder, not a file
    QCOMPARE(findFirstFile(folder.path(), ".hidden.wav"), QString());
    QCOMPARE(findFirstFile(folder.path(), ""), QString());
}

void TestPictureList::findFirstFileRefusesForbiddenCharacters()
{
    using quillo::findFirstFile;
    QTemporaryDir root;
    QDir(root.path()).mkdir("alfabeto");
    const QString letters = root.filePath("alfabeto");
    touch(root.filePath("x.wav"));
    touch(QDir(letters).filePath("x.wav"));
    QCOMPARE(findFirstFile(letters, "x.wav"), QStringLiteral("x.wav"));
    QCOMPARE(findFirstFile(root.path(), "alfabeto/x.wav"), QString());
    QCOMPARE(findFirstFile(letters, "../x.wav"), QString());
    QCOMPARE(findFirstFile(letters, "../x.wav", false), QString());
    QCOMPARE(findFirstFile(letters, "../*.*"), QString());
    QCOMPARE(findFirstFile(letters, root.filePath("x.wav")), QString());  // an absolute path

    const QList<QChar> forbidden{QChar(1), QChar(8), QChar(9), QChar(13), QChar(27), QChar(31), QChar(127),
                                 u'/', u'\\', u':', u'"', u'<', u'>', u'|'};
    for (QChar c : forbidden) {
        const QString pattern = QString(c) + QStringLiteral(".wav");
        QVERIFY2(findFirstFile(letters, pattern).isEmpty(), qPrintable(QString::number(c.unicode())));
        QVERIFY(findFirstFile(letters, QStringLiteral("x") + c).isEmpty());
        QVERIFY(!quillo::isPortableFileName(pattern));
    }
    QVERIFY(quillo::isPortableFileName(QStringLiteral("è.wav")));
    QVERIFY(quillo::isPortableFileName(QStringLiteral("[?*].wav")));
}

void TestPictureList::findFirstFileWithLiteralWildcards()
{
    using quillo::findFirstFile;
    Folder folder({"a.wav", "b.wav"});
    // '*' and '?' are wildcards by default, literal when asked.
    QCOMPARE(findFirstFile(folder.path(), "?.wav"), QStringLiteral("a.wav"));
    QCOMPARE(findFirstFile(folder.path(), "*.wav", false), QString());
    QCOMPARE(findFirstFile(folder.path(), "B.WAV", false), QStringLiteral("b.wav"));
    folder.add("*.wav");
    QCOMPARE(findFirstFile(folder.path(), "*.wav", false), QStringLiteral("*.wav"));
}

void TestPictureList::namesThatAreNotUtf8()
{
    using quillo::decodeFileName;
    using quillo::encodeFileName;
    using quillo::readableFileName;
    // Bytes that are not UTF-8 come back exactly, whatever they are: Latin-1,
    // a cut sequence, an overlong '/', an encoded surrogate. Valid UTF-8 is
    // decoded as Qt decodes it, a character past U+FFFF included (its second
    // half, DC80, is no stray byte).
    const QList<QByteArray> raw{"e\xe9.png", "\xe8.wav", "a\xe2\x82.png", "\xc0\xaf.png", "\xed\xb2\x80.png",
                                "\xff\xfe", "\xf0\x90\x82\x80\xe9", QString::fromUtf8("èlica.png").toUtf8()};
    for (const QByteArray& bytes : raw) {
        const QString name = decodeFileName(bytes);
        QCOMPARE(encodeFileName(name), bytes);
        QCOMPARE(readableFileName(name).size(), name.size());
    }
    QCOMPARE(decodeFileName("\xf0\x90\x82\x80"), QString::fromUtf8("\xf0\x90\x82\x80"));
    QCOMPARE(readableFileName(decodeFileName("e\xe9.png")), QString::fromUtf8("eé.png"));
    QCOMPARE(readableFileName(decodeFileName("\xf0\x90\x82\x80\xe9")), QString::fromUtf8("\xf0\x90\x82\x80é"));

    // Real files of such names, as an old stick brings them: each is listed,
    // sorted and matched by its readable form, and opens its own file.
    Folder dir;
    const auto create = [&](const QByteArray& name) {
        const int fd = ::open((QFile::encodeName(dir.path()) + '/' + name).constData(), O_WRONLY | O_CREAT, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, name.constData(), size_t(name.size())), ssize_t(name.size()));
        ::close(fd);
    };
    for (const char* name : {"e\xe9.png", "\xe8lica.png", "erba.png", "casa.png", "\xe8.wav"})
        create(name);
    PictureList list;
    list.setLibrary(dir.library());
    QCOMPARE(list.count(), 5);
    list.setPattern(QStringLiteral("e*.*"));
    QCOMPARE(list.names(), (QStringList{decodeFileName("e\xe9.png"), QStringLiteral("erba.png")}));
    list.setPattern(QString::fromUtf8("È*.*"));
    QCOMPARE(list.names(), (QStringList{decodeFileName("\xe8.wav"), decodeFileName("\xe8lica.png")}));
    for (const QString& name : list.names()) {
        const auto file = quillo::openRegularFile(QDir(dir.path()).filePath(name));
        QVERIFY2(file, qPrintable(readableFileName(name)));
        QCOMPARE(file->readAll(), encodeFileName(name));
    }

    // A Latin-1 recording is found for its letter; a UTF-8 one beside it wins.
    using quillo::findFirstFile;
    QCOMPARE(findFirstFile(dir.path(), QString::fromUtf8("è.wav")), decodeFileName("\xe8.wav"));
    QCOMPARE(findFirstFile(dir.path(), QString::fromUtf8("È.WAV"), false), decodeFileName("\xe8.wav"));
    QCOMPARE(findFirstFile(dir.path(), decodeFileName("\xe8.wav"), false), decodeFileName("\xe8.wav"));
    create(QString::fromUtf8("è.wav").toUtf8());
    QCOMPARE(findFirstFile(dir.path(), QString::fromUtf8("è.wav")), QString::fromUtf8("è.wav"));
    std::error_code ignored;  // QTemporaryDir cannot remove these names
    std::filesystem::remove_all(QFile::encodeName(dir.path()).toStdString(), ignored);
}

QTEST_GUILESS_MAIN(TestPictureList)
#include "test_picture_list.moc"
