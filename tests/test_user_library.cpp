// The family's own media library beside the bundled one: which library each
// recording comes from, the pictures of both, and a user folder that is
// missing or cannot be used.

#include "app/startup.h"
#include "commands/word_list_commands.h"
#include "feedback/character_sound_player.h"
#include "feedback/typing_handler.h"
#include "feedback/word_display.h"
#include "platform/files/file_name.h"
#include "library/media_library.h"
#include "library/user_media_folder.h"
#include "settings/settings_file.h"
#include "form/form.h"
#include "support/fake_platform.h"
#include "support/log_capture.h"
#include "support/media_folder.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace quillo;

namespace {

// The form's state over controls of its own, in no window: the usual
// bundled media and a user library, empty until the test fills it.
struct Rig {
    Rig()
    {
        media.addBasics();
        fake.platform.userMediaFolder = user.path();
        picture.resize(120, 90);
    }
    test::MediaFolder media;
    test::MediaFolder user;
    test::FakePlatform fake{media.path()};
    WordModeButton button;
    QLineEdit word;
    WritingSheet sheet;
    QLabel picture;
    struct LooseForm final : Form {
        using Form::Form;
    } form{fake.platform, {&button, &word, &sheet, &picture}};

    Form& start()
    {
        Form_Load(form);
        return form;
    }

    // Alt+F2's save, for its o and k.
    void save()
    {
        SaveSettings(lookOf(lookPartsOf(form)), *fake.platform.settings, *fake.platform.sound, form.media());
    }

    // What the last plays were, each as "user/..." or "bundled/...".
    QStringList heard() const
    {
        QStringList out;
        for (const QString& path : fake.sound->paths) {
            if (path.startsWith(user.path() + u'/'))
                out << QStringLiteral("user") + path.mid(user.path().size());
            else if (path.startsWith(media.path() + u'/'))
                out << QStringLiteral("bundled") + path.mid(media.path().size());
            else
                out << path;
        }
        return out;
    }
    QStringList type(const QString& character)
    {
        fake.sound->paths.clear();
        scrivo_KeyPress(form, character);
        return heard();
    }
    // The library the picture on show came from.
    QString pictureFrom() const
    {
        const QString path = form.File1.filePath();
        return path.startsWith(user.path() + u'/') ? QStringLiteral("user") : QStringLiteral("bundled");
    }
};

int linesWith(const QString& text, const QString& part)
{
    int n = 0;
    for (const QString& line : text.split(u'\n'))
        n += line.contains(part) ? 1 : 0;
    return n;
}

}  // namespace

class UserLibraryTest : public QObject {
    Q_OBJECT
private slots:
    void recordingsAreLookedForInTheUsersFolderFirst();
    void picturesOfBothLibraries();
    void unusableUserFolder_data();
    void unusableUserFolder();
    void dataHomeFromTheEnvironment_data();
    void dataHomeFromTheEnvironment();
};

void UserLibraryTest::recordingsAreLookedForInTheUsersFolderFirst()
{
    test::TemporaryConfigHome config;
    Rig rig;
    QVERIFY(QDir(rig.user.path()).removeRecursively());  // no library of the user's yet
    Form& form = rig.start();
    form.Parolasi->setValue(1);
    QCOMPARE(rig.type(QStringLiteral("a")),
             (QStringList{"bundled/alfabeto/a.wav", "bundled/alfabeto/d.wav", "bundled/parole/ape.wav"}));

    // The folders made while Quillo runs count from the next key, the
    // user's spelling found without regard to case.
    QVERIFY(QDir().mkpath(rig.user.letters()) && QDir().mkpath(rig.user.words()));
    rig.user.addLetter(QStringLiteral("A.wav"));
    rig.user.addLetter(QStringLiteral("d.wav"));
    rig.user.addWord(QStringLiteral("Ape.wav"));
    rig.user.addWord(QStringLiteral("bravo.wav"));
    QCOMPARE(rig.type(QStringLiteral("a")),
             (QStringList{"user/alfabeto/A.wav", "user/alfabeto/d.wav", "user/parole/Ape.wav"}));
    QCOMPARE(PlayWav(*rig.fake.sound, form.media(), QStringLiteral("a")), 1);
    // What the user has not recorded comes from the bundled library.
    QCOMPARE(rig.type(QStringLiteral("c")),
             (QStringList{"bundled/alfabeto/c.wav", "user/alfabeto/d.wav", "bundled/parole/casa.wav"}));
    // The fallback: the character's own recording in either library first.
    QCOMPARE(rig.type(QStringLiteral("#")), QStringList{"bundled/alfabeto/boh.wav"});
    rig.user.addLetter(QStringLiteral("boh.wav"));
    QCOMPARE(rig.type(QStringLiteral("#")), QStringList{"user/alfabeto/boh.wav"});
    QCOMPARE(PlayWav(*rig.fake.sound, form.media(), QStringLiteral("c")), 1);
    // '*' takes the first recording of the first library that has one.
    QCOMPARE(rig.type(QStringLiteral("*")).value(0), QStringLiteral("user/alfabeto/A.wav"));

    // The praise, and the save's o, k.
    form.Parolasi->setValue(0);
    form.esempio->setText(QStringLiteral("casa"));
    form.scrivo->setPlainText(QStringLiteral("cas"));
    QCOMPARE(rig.type(QStringLiteral("a")), (QStringList{"user/alfabeto/A.wav", "user/parole/bravo.wav"}));
    rig.user.addLetter(QStringLiteral("k.wav"));
    rig.fake.sound->paths.clear();
    rig.save();
    QCOMPARE(rig.heard(), (QStringList{"bundled/alfabeto/o.wav", "user/alfabeto/k.wav"}));

    // A recording removed counts from the next key too.
    rig.user.remove(QStringLiteral("alfabeto/A.wav"));
    QCOMPARE(rig.type(QStringLiteral("b")), QStringList{"user/alfabeto/boh.wav"});
    QCOMPARE(rig.type(QStringLiteral("a")).value(0), QStringLiteral("bundled/alfabeto/a.wav"));
}

void UserLibraryTest::picturesOfBothLibraries()
{
    Rig rig;
    rig.media.addLetter(QStringLiteral("7.wav"));
    rig.media.addPicture(QStringLiteral("gatto.png"));
    rig.media.addLetter(QStringLiteral("g.wav"));
    // Casa.jpg has the word of the bundled casa.png, letter case aside;
    // casa.jpeg (the word "casa.") and a bundled name the user lacks do not.
    for (const char* name : {"Casa.jpg", "casa.jpeg", "7nani.png", "orso.png"})
        rig.user.addPicture(QString::fromLatin1(name));
    rig.user.addWord(QStringLiteral("7nani.wav"));
    Form& form = rig.start();
    QCOMPARE(form.File1.folder(), rig.media.pictures());
    QCOMPARE(form.File1.names(), (QStringList{"7nani.png", "ape.png", "casa.jpeg", "Casa.jpg", "gatto.png", "orso.png"}));

    form.Parolasi->setValue(1);
    QCOMPARE(rig.type(QStringLiteral("7")),
             (QStringList{"bundled/alfabeto/7.wav", "bundled/alfabeto/d.wav", "user/parole/7nani.wav"}));
    QCOMPARE(form.esempio->text(), QStringLiteral("7nani"));
    QVERIFY(!form.esempiopix->pixmap().isNull());
    QCOMPARE(rig.pictureFrom(), QStringLiteral("user"));

    // The draw for c takes from both libraries' c pictures.
    rig.fake.random->queued = {0.6, 0.0};
    rig.type(QStringLiteral("c"));
    QCOMPARE(form.File1.names(), (QStringList{"casa.jpeg", "Casa.jpg"}));
    QCOMPARE(form.esempio->text(), QStringLiteral("Casa"));
    QCOMPARE(rig.pictureFrom(), QStringLiteral("user"));
    QCOMPARE(rig.heard().value(2), QStringLiteral("bundled/parole/casa.wav"));
    rig.type(QStringLiteral("c"));
    QCOMPARE(form.esempio->text(), QStringLiteral("casa."));
    rig.type(QStringLiteral("a"));
    QCOMPARE(form.esempio->text(), QStringLiteral("ape"));
    QCOMPARE(rig.pictureFrom(), QStringLiteral("bundled"));

    // With the user's picture gone, the bundled one of that word is back at
    // the next key; one added is there at the next key.
    rig.user.remove(QStringLiteral("immagini/Casa.jpg"));
    rig.user.addPicture(QStringLiteral("gatto.jpg"));
    rig.fake.random->queued = {0.0};
    rig.type(QStringLiteral("c"));
    QCOMPARE(form.File1.names(), (QStringList{"casa.jpeg", "casa.png"}));
    rig.type(QStringLiteral("g"));
    QCOMPARE(form.File1.names(), QStringList{"gatto.jpg"});
    QCOMPARE(rig.pictureFrom(), QStringLiteral("user"));

    // F8 steps through the union, each word once, each from its own library.
    QStringList shown;
    for (int i = 0; i < 6; ++i) {
        nextWord(wordShowOf(form));
        shown << form.esempio->text() + u'@' + rig.pictureFrom();
    }
    QCOMPARE(shown, (QStringList{"7nani@user", "ape@bundled", "casa.@user", "casa@bundled", "gatto@user", "orso@user"}));
}

void UserLibraryTest::unusableUserFolder_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("atFault");  // relative to the user's library; empty: nothing said

    QTest::newRow("missing") << "missing" << "";
    QTest::newRow("a file") << "file" << ".";
    QTest::newRow("a FIFO") << "fifo" << ".";
    QTest::newRow("a loop of links") << "loop" << ".";
    QTest::newRow("a file for its pictures folder") << "file immagini" << "immagini";
    // Root reads any folder.
    if (::geteuid() != 0) {
        QTest::newRow("a pictures folder without permission") << "unreadable immagini" << "immagini";
        QTest::newRow("a library without permission") << "unreadable" << ".";
    }
}

void UserLibraryTest::unusableUserFolder()
{
    QFETCH(QString, what);
    QFETCH(QString, atFault);
    test::TemporaryConfigHome config;
    Rig rig;
    rig.user.addLetter(QStringLiteral("a.wav"));
    rig.user.addPicture(QStringLiteral("orso.png"));
    const QByteArray root = QFile::encodeName(rig.user.path());
    const QByteArray pictures = root + "/immagini";
    auto replaceWith = [](const QByteArray& path, const std::function<bool()>& make) {
        QVERIFY(QDir(QFile::decodeName(path)).removeRecursively());
        QVERIFY2(make(), path.constData());
    };
    if (what == QLatin1String("missing")) {
        QVERIFY(QDir(rig.user.path()).removeRecursively());
    } else if (what == QLatin1String("file")) {
        replaceWith(root, [&] { QFile f(QFile::decodeName(root)); return f.open(QIODevice::WriteOnly); });
    } else if (what == QLatin1String("fifo")) {
        replaceWith(root, [&] { return ::mkfifo(root.constData(), 0600) == 0; });
    } else if (what == QLatin1String("loop")) {
        replaceWith(root, [&] { return ::symlink(root.constData(), root.constData()) == 0; });
    } else if (what == QLatin1String("file immagini")) {
        replaceWith(pictures, [&] { QFile f(QFile::decodeName(pictures)); return f.open(QIODevice::WriteOnly); });
    } else if (what == QLatin1String("unreadable immagini")) {
        QCOMPARE(::chmod(pictures.constData(), 0), 0);
    } else if (what == QLatin1String("unreadable")) {
        QCOMPARE(::chmod(root.constData(), 0), 0);
    }
    auto mend = [&] {
        ::chmod(root.constData(), 0700);
        ::chmod(pictures.constData(), 0700);
    };
    auto mendAtEnd = qScopeGuard(mend);

    test::LogCapture log;
    Form& form = rig.start();
    form.Parolasi->setValue(1);
    QCOMPARE(form.File1.names(), (QStringList{"ape.png", "casa.png"}));
    // Every kind of lookup, more than once: the bundled library answers.
    for (int i = 0; i < 2; ++i) {
        const QStringList heard = rig.type(QStringLiteral("c"));
        QCOMPARE(heard.value(1), QStringLiteral("bundled/alfabeto/d.wav"));
        QCOMPARE(heard.value(2), QStringLiteral("bundled/parole/casa.wav"));
        nextWord(wordShowOf(form));
        rig.save();
    }
    // The user's letters are still used when only their pictures are at fault.
    const bool lettersUsable = atFault == QLatin1String("immagini");
    QCOMPARE(rig.type(QStringLiteral("a")).value(0),
             lettersUsable ? QStringLiteral("user/alfabeto/a.wav") : QStringLiteral("bundled/alfabeto/a.wav"));

    const QString said = log.text();
    if (atFault.isEmpty()) {
        QCOMPARE(linesWith(said, QStringLiteral("left out")), 0);
        return;
    }
    // Said once, for the path at fault, not for each folder below it.
    QVERIFY2(linesWith(said, QStringLiteral("left out")) == 1, qPrintable(said));
    const QString path = QDir::cleanPath(rig.user.path() + u'/' + atFault);
    QVERIFY2(said.contains(path + QStringLiteral(": left out")), qPrintable(said));

    // Permission given back, the folder counts at once.
    if (what.startsWith(QLatin1String("unreadable"))) {
        mend();
        QVERIFY(folderTrouble(rig.user.pictures()).usable());
    }
}

// XDG_DATA_HOME as the parents' program and Quillo read it: the parent's
// recording of a letter is written where Quillo then plays it from.
void UserLibraryTest::dataHomeFromTheEnvironment_data()
{
    QTest::addColumn<QByteArray>("dataHome");  // relative to a temporary folder that is also HOME
    QTest::addColumn<QByteArray>("library");   // where the library must be, relative to the same
    QTest::addColumn<QString>("said");

    QTest::newRow("a name that is not UTF-8") << QByteArray("d\xe9" "ati") << QByteArray("d\xe9" "ati/quillo") << QString();
    QTest::newRow("relative: ignored") << QByteArray("rel/data") << QByteArray(".local/share/quillo")
                                       << QStringLiteral("XDG_DATA_HOME (rel/data) is not an absolute path: ignored");
}

void UserLibraryTest::dataHomeFromTheEnvironment()
{
    QFETCH(QByteArray, dataHome);
    QFETCH(QByteArray, library);
    QFETCH(QString, said);
    QTemporaryDir home;
    const QByteArray root = QFile::encodeName(home.path()) + '/';
    QCOMPARE(::mkdir((root + dataHome.split('/').first()).constData(), 0700), 0);
    const QByteArray given = said.isEmpty() ? root + dataHome : dataHome;
    const QByteArray oldHome = qgetenv("HOME"), oldData = qgetenv("XDG_DATA_HOME");
    const auto restore = qScopeGuard([&] {
        qputenv("HOME", oldHome);
        qputenv("XDG_DATA_HOME", oldData);
    });
    qputenv("HOME", root);
    qputenv("XDG_DATA_HOME", given);

    // The parent records z.
    QProcess parole;
    parole.setWorkingDirectory(home.path());
    parole.start(QFileInfo(QStringLiteral(QUILLO_BINARY)).absolutePath() + QStringLiteral("/quillo-parole"),
                 {QStringLiteral("letter"), QStringLiteral("z"), QStringLiteral("--recording"),
                  QStringLiteral(QUILLO_SOURCE_DIR "/media/alfabeto/a.wav")});
    QVERIFY(parole.waitForFinished(60000));
    QVERIFY2(parole.exitCode() == 0, parole.readAllStandardError().constData());
    struct stat info {};
    QCOMPARE(::stat((root + library + "/alfabeto/z.wav").constData(), &info), 0);

    // Quillo finds the library there, and plays the parent's z.
    test::LogCapture log;
    const QString found = userMediaFolder();
    QCOMPARE(encodeFileName(found), root + library);
    QVERIFY(userMediaFolder() == found);
    Rig rig;
    rig.fake.platform.userMediaFolder = found;
    rig.start();
    rig.type(QStringLiteral("z"));
    QCOMPARE(rig.fake.sound->paths.value(0), found + QStringLiteral("/alfabeto/z.wav"));
    const QString lines = log.text();
    QCOMPARE(linesWith(lines, QStringLiteral("XDG_DATA_HOME")), said.isEmpty() ? 0 : 1);
    QVERIFY2(lines.contains(said), qPrintable(lines));
}

QTEST_MAIN(UserLibraryTest)
#include "test_user_library.moc"
