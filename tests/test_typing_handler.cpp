// The typing handler: what one typed character sets off (its sound, an
// example word in word mode, praise for a completed word) and its guards.

#include "app/parla.h"
#include "feedback/typing_handler.h"
#include "support/started_window.h"

#include "platform/files/file_name.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QInputMethodEvent>
#include <QtTest>

#include <sys/stat.h>

using namespace quillo;

namespace {

// The usual media; the test may add more, then start().
struct Rig : test::StartedWindow {
    Rig() : StartedWindow(Start::Later) { media.addBasics(); }
    // Types through the sheet's own key handling, so the sheet inserts it.
    void key(Qt::Key key, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::sendKeyEvent(QTest::Click, form.scrivo, key, text, modifiers);
    }
};

}  // namespace

class TypingHandlerTest : public QObject {
    Q_OBJECT
private slots:
    void busyFormIgnoresTheKey();
    void keyTypedDuringASoundIsIgnored();
    void soundOffDoesNothingButTheSheetStillTakesTheKey();
    void wordModePicksAWordForTheLetter();
    void wordModeOffOrGreyedPicksNoWord();
    void completingTheWordIsPraised();
    void letterWithoutPictureOnlyGivesTheCue();
    void singlePictureIsShownEveryTime();
    void busyIsClearedAfterFailures();
    void namesNotUtf8AndFifosInTheLibrary();
};

void TypingHandlerTest::busyFormIgnoresTheKey()
{
    Rig rig;
    Parla& form = rig.start();
    form.Busy = -1;
    scrivo_KeyPress(form, QStringLiteral("a"));
    QVERIFY(rig.played().isEmpty());
    QCOMPARE(form.Busy, qint16(-1));
    QCOMPARE(rig.fake.random->draws, 0);
    QCOMPARE(form.esempio->text(), QString());
}

void TypingHandlerTest::keyTypedDuringASoundIsIgnored()
{
    Rig rig;
    Parla& form = rig.start();
    form.Parolasi->setValue(0);
    QList<qint16> busyWhilePlaying;
    bool sent = false;
    rig.fake.sound->duringPlay = [&] {
        busyWhilePlaying.append(form.Busy);
        if (!sent) {
            sent = true;
            scrivo_KeyPress(form, QStringLiteral("c"));
        }
    };
    scrivo_KeyPress(form, QStringLiteral("a"));
    QCOMPARE(rig.played(), QStringList{QStringLiteral("a.wav")});
    QCOMPARE(busyWhilePlaying.value(0), qint16(-1));
    QCOMPARE(form.Busy, qint16(0));
}

void TypingHandlerTest::soundOffDoesNothingButTheSheetStillTakesTheKey()
{
    Rig rig;
    Parla& form = rig.start();
    form.show();
    form.SoundOff = -1;
    form.Parolasi->setValue(1);
    rig.key(Qt::Key_A, QStringLiteral("a"));
    QVERIFY(rig.played().isEmpty());
    QCOMPARE(rig.fake.random->draws, 0);
    QCOMPARE(form.esempio->text(), QString());
    QCOMPARE(form.scrivo->toPlainText(), QStringLiteral("a"));
    QCOMPARE(form.Busy, qint16(0));

    // No praise either, and any nonzero value counts as off.
    form.SoundOff = 1;
    form.Parolasi->setValue(0);
    form.esempio->setText(QStringLiteral("casa"));
    form.scrivo->setPlainText(QStringLiteral("cas"));
    form.scrivo->moveCursor(QTextCursor::End);
    rig.key(Qt::Key_A, QStringLiteral("a"));
    QVERIFY(rig.played().isEmpty());
    QCOMPARE(form.scrivo->toPlainText(), QStringLiteral("casa"));
    QCOMPARE(form.Busy, qint16(0));
}

void TypingHandlerTest::wordModePicksAWordForTheLetter()
{
    Rig rig;
    // Three pictures for a, sorted: albero, ape, auto.
    rig.media.addPicture(QStringLiteral("auto.png"));
    rig.media.addPicture(QStringLiteral("albero.png"));
    rig.media.addWord(QStringLiteral("auto.wav"));
    rig.media.addWord(QStringLiteral("albero.wav"));
    Parla& form = rig.start();
    form.Parolasi->setValue(1);
    rig.fake.random->queued = {0.0, 0.999, 0.5};

    scrivo_KeyPress(form, QStringLiteral("a"));
    QCOMPARE(rig.played(), (QStringList{QStringLiteral("a.wav"), QStringLiteral("d.wav"), QStringLiteral("albero.wav")}));
    QCOMPARE(form.File1.pattern(), QStringLiteral("a*.*"));
    QCOMPARE(form.File1.count(), 3);
    QCOMPARE(form.esempio->text(), QStringLiteral("albero"));
    QVERIFY(!form.esempiopix->pixmap().isNull());
    QCOMPARE(form.Busy, qint16(0));

    rig.played().clear();
    scrivo_KeyPress(form, QStringLiteral("a"));
    QCOMPARE(rig.played(), (QStringList{QStringLiteral("a.wav"), QStringLiteral("d.wav"), QStringLiteral("auto.wav")}));
    QCOMPARE(form.esempio->text(), QStringLiteral("auto"));

    // A capital finds the same pictures; the pattern keeps the typed case.
    rig.played().clear();
    scrivo_KeyPress(form, QStringLiteral("A"));
    QCOMPARE(form.File1.pattern(), QStringLiteral("A*.*"));
    QCOMPARE(rig.played(), (QStringList{QStringLiteral("a.wav"), QStringLiteral("d.wav"), QStringLiteral("ape.wav")}));
    QCOMPARE(form.esempio->text(), QStringLiteral("ape"));
    QCOMPARE(rig.fake.random->draws, 3);

    // A character with no recording of its own picks nothing.
    rig.played().clear();
    scrivo_KeyPress(form, QStringLiteral("#"));
    QCOMPARE(rig.played(), QStringList{QStringLiteral("boh.wav")});
    QCOMPARE(rig.fake.random->draws, 3);
}

void TypingHandlerTest::wordModeOffOrGreyedPicksNoWord()
{
    Rig rig;
    Parla& form = rig.start();
    for (int value : {0, 2}) {
        form.Parolasi->setValue(value);
        rig.played().clear();
        scrivo_KeyPress(form, QStringLiteral("a"));
        QCOMPARE(rig.played(), QStringList{QStringLiteral("a.wav")});
        QCOMPARE(rig.fake.random->draws, 0);
        QCOMPARE(form.esempio->text(), QString());
        QVERIFY(form.esempiopix->pixmap().isNull());
        QCOMPARE(form.File1.pattern(), QStringLiteral("*.*"));
    }
}

void TypingHandlerTest::completingTheWordIsPraised()
{
    Rig rig;
    Parla& form = rig.start();
    form.show();
    form.Parolasi->setValue(0);
    form.esempio->setText(QStringLiteral("casa"));

    // The last letter, the rest already on the sheet (only its end counts).
    for (const char* sheet : {"cas", "la cas"}) {
        form.scrivo->setPlainText(QString::fromLatin1(sheet));
        rig.played().clear();
        scrivo_KeyPress(form, QStringLiteral("a"));
        QCOMPARE(rig.played(), (QStringList{QStringLiteral("a.wav"), QStringLiteral("bravo.wav")}));
    }
    // A wrong last letter, or a wrong earlier one, is not praised.
    form.scrivo->setPlainText(QStringLiteral("cas"));
    rig.played().clear();
    scrivo_KeyPress(form, QStringLiteral("o"));
    QCOMPARE(rig.played(), QStringList{QStringLiteral("o.wav")});
    form.scrivo->setPlainText(QStringLiteral("cos"));
    rig.played().clear();
    scrivo_KeyPress(form, QStringLiteral("a"));
    QCOMPARE(rig.played(), QStringList{QStringLiteral("a.wav")});

    // Typed in capitals on an empty sheet, key by key: praised after the last only.
    form.scrivo->clear();
    rig.played().clear();
    rig.key(Qt::Key_C, QStringLiteral("C"), Qt::ShiftModifier);
    rig.key(Qt::Key_A, QStringLiteral("A"), Qt::ShiftModifier);
    rig.key(Qt::Key_S, QStringLiteral("S"), Qt::ShiftModifier);
    QCOMPARE(rig.played(), (QStringList{QStringLiteral("c.wav"), QStringLiteral("a.wav"), QStringLiteral("boh.wav")}));
    rig.key(Qt::Key_A, QStringLiteral("A"), Qt::ShiftModifier);
    QCOMPARE(form.scrivo->toPlainText(), QStringLiteral("CASA"));
    QCOMPARE(rig.played().mid(3), (QStringList{QStringLiteral("a.wav"), QStringLiteral("bravo.wav")}));

    // Greyed word mode praises too.
    form.Parolasi->setValue(2);
    form.scrivo->setPlainText(QStringLiteral("cas"));
    rig.played().clear();
    scrivo_KeyPress(form, QStringLiteral("a"));
    QCOMPARE(rig.played(), (QStringList{QStringLiteral("a.wav"), QStringLiteral("bravo.wav")}));

    // Word mode on: a new word instead of praise.
    form.Parolasi->setValue(1);
    form.esempio->setText(QStringLiteral("casa"));
    form.scrivo->setPlainText(QStringLiteral("cas"));
    rig.played().clear();
    scrivo_KeyPress(form, QStringLiteral("a"));
    QVERIFY(!rig.played().contains(QStringLiteral("bravo.wav")));
    QCOMPARE(rig.played().value(1), QStringLiteral("d.wav"));

    // No word on show: nothing to praise, even for a one-letter sheet.
    form.Parolasi->setValue(0);
    form.esempio->clear();
    form.scrivo->clear();
    rig.played().clear();
    scrivo_KeyPress(form, QStringLiteral("a"));
    QCOMPARE(rig.played(), QStringList{QStringLiteral("a.wav")});
}

void TypingHandlerTest::letterWithoutPictureOnlyGivesTheCue()
{
    Rig rig;
    Parla& form = rig.start();
    form.Parolasi->setValue(1);
    scrivo_KeyPress(form, QStringLiteral("a"));
    QCOMPARE(form.esempio->text(), QStringLiteral("ape"));
    const qint64 pictureKey = form.esempiopix->pixmap().cacheKey();

    rig.played().clear();
    scrivo_KeyPress(form, QStringLiteral("o"));  // o.wav exists, no picture begins with o
    QCOMPARE(rig.played(), (QStringList{QStringLiteral("o.wav"), QStringLiteral("d.wav")}));
    QCOMPARE(form.esempio->text(), QStringLiteral("ape"));
    QCOMPARE(form.esempiopix->pixmap().cacheKey(), pictureKey);
    QCOMPARE(form.File1.count(), 0);
    QCOMPARE(form.Busy, qint16(0));
}

void TypingHandlerTest::singlePictureIsShownEveryTime()
{
    Rig rig;
    Parla& form = rig.start();
    form.Parolasi->setValue(1);
    rig.fake.random->queued = {0.0, 0.5, 0.999999};
    for (int i = 0; i < 3; ++i) {
        rig.played().clear();
        form.esempio->clear();
        scrivo_KeyPress(form, QStringLiteral("c"));
        QCOMPARE(rig.played(), (QStringList{QStringLiteral("c.wav"), QStringLiteral("d.wav"), QStringLiteral("casa.wav")}));
        QCOMPARE(form.esempio->text(), QStringLiteral("casa"));
    }
}

void TypingHandlerTest::busyIsClearedAfterFailures()
{
    Rig rig;
    rig.media.addLetter(QStringLiteral("g.wav"));
    rig.media.addFile(QStringLiteral("immagini/gatto.png"), "not a picture");
    // cane.png, sorted before casa.png, is a link to a picture beside the folder.
    rig.media.addPicture(QStringLiteral("cane.png"));
    QVERIFY(QFile::rename(rig.media.pictures() + QStringLiteral("cane.png"), rig.media.path() + QStringLiteral("/cane.png")));
    QVERIFY(QFile::link(rig.media.path() + QStringLiteral("/cane.png"), rig.media.pictures() + QStringLiteral("cane.png")));
    Parla& form = rig.start();
    form.Parolasi->setValue(1);
    QTest::qWait(150);  // the folder's listing is kept from now on

    // A picture that cannot be read: the word changes, nothing else, and typing goes on.
    scrivo_KeyPress(form, QStringLiteral("g"));
    QCOMPARE(rig.played(), (QStringList{QStringLiteral("g.wav"), QStringLiteral("d.wav")}));
    QCOMPARE(form.esempio->text(), QStringLiteral("gatto"));
    QCOMPARE(form.Busy, qint16(0));

    // A word without its recording: the default sound.
    rig.played().clear();
    rig.media.remove(QStringLiteral("parole/ape.wav"));
    scrivo_KeyPress(form, QStringLiteral("a"));
    QCOMPARE(rig.played(), (QStringList{QStringLiteral("a.wav"), QStringLiteral("d.wav"), QStringLiteral("<default>")}));
    QCOMPARE(form.Busy, qint16(0));

    // A device that fails: no word is picked.
    rig.fake.sound->deviceWorks = false;
    rig.played().clear();
    scrivo_KeyPress(form, QStringLiteral("c"));
    QCOMPARE(rig.played(), QStringList{QStringLiteral("c.wav")});
    QCOMPARE(form.Busy, qint16(0));

    // A picture gone since the list last read its folder (a link whose
    // picture is taken away leaves the folder as it was): another one of
    // that letter is drawn, and the gone one is not drawn again.
    rig.fake.sound->deviceWorks = true;
    rig.fake.random->queued = {0.0};
    rig.played().clear();
    scrivo_KeyPress(form, QStringLiteral("c"));
    QCOMPARE(rig.played(), (QStringList{QStringLiteral("c.wav"), QStringLiteral("d.wav"), QStringLiteral("<default>")}));
    QCOMPARE(form.esempio->text(), QStringLiteral("cane"));
    QVERIFY(QFile::remove(rig.media.path() + QStringLiteral("/cane.png")));
    rig.fake.random->queued = {0.0, 0.0};
    rig.played().clear();
    scrivo_KeyPress(form, QStringLiteral("c"));
    QCOMPARE(rig.played(), (QStringList{QStringLiteral("c.wav"), QStringLiteral("d.wav"), QStringLiteral("casa.wav")}));
    QCOMPARE(form.esempio->text(), QStringLiteral("casa"));
    QCOMPARE(form.File1.names(), QStringList{QStringLiteral("casa.png")});

    // The pictures folder gone: still no stuck form.
    QDir(rig.media.pictures()).removeRecursively();
    rig.played().clear();
    scrivo_KeyPress(form, QStringLiteral("c"));
    QCOMPARE(rig.played(), (QStringList{QStringLiteral("c.wav"), QStringLiteral("d.wav")}));
    QCOMPARE(form.Busy, qint16(0));
    rig.played().clear();
    scrivo_KeyPress(form, QStringLiteral("a"));
    QCOMPARE(rig.played().value(0), QStringLiteral("a.wav"));
}

void TypingHandlerTest::namesNotUtf8AndFifosInTheLibrary()
{
    // Names that are not UTF-8 (Latin-1, as an old stick brings them): the
    // letter's recording, the picture and its word's are all found.
    Rig rig;
    rig.media.addFile(QStringLiteral("alfabeto/") + decodeFileName("\xe8.wav"), test::MediaFolder::tinyWav());
    rig.media.addFile(QStringLiteral("parole/") + decodeFileName("\xe8lica.wav"), test::MediaFolder::tinyWav());
    rig.media.addPicture(decodeFileName("\xe8lica.png"));
    Parla& form = rig.start();
    form.Parolasi->setValue(1);
    scrivo_KeyPress(form, QString::fromUtf8("è"));
    QCOMPARE(form.esempio->text(), QString::fromUtf8("èlica"));
    QVERIFY(!form.esempiopix->pixmap().isNull());
    QCOMPARE(rig.played(), (QStringList{decodeFileName("\xe8.wav"), QStringLiteral("d.wav"), decodeFileName("\xe8lica.wav")}));

    // The word cue and the word's recording are named, not searched for: as
    // FIFOs neither waits for a writer, and each gives the default sound.
    Rig fifos;
    for (const QString& name : {QStringLiteral("alfabeto/d.wav"), QStringLiteral("parole/ape.wav")}) {
        fifos.media.remove(name);
        QCOMPARE(::mkfifo(QFile::encodeName(fifos.media.path() + u'/' + name).constData(), 0600), 0);
    }
    Parla& other = fifos.start();
    other.Parolasi->setValue(1);
    QElapsedTimer clock;
    clock.start();
    scrivo_KeyPress(other, QStringLiteral("a"));
    QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(other.esempio->text(), QStringLiteral("ape"));
    QCOMPARE(fifos.played(), (QStringList{QStringLiteral("a.wav"), QStringLiteral("<default>"), QStringLiteral("<default>")}));
}

QTEST_MAIN(TypingHandlerTest)
#include "test_typing_handler.moc"
