// The word display: the word in the word box, the picture, the word's
// recording. It sees only the word box, the picture, the picture list, the
// sound and the media library.

#include "platform/base/failure.h"
#include "feedback/word_display.h"
#include "library/media_library.h"
#include "library/picture_list.h"
#include "support/fake_platform.h"
#include "support/media_folder.h"
#include "support/sample_files.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

using namespace quillo;

namespace {

// The usual media; the test may add more, then start().
struct Rig {
    Rig()
    {
        media.addBasics();
        esempiopix.resize(97, 97);
    }
    test::MediaFolder media;
    test::MediaFolder own;  // the family's library, empty unless a test fills it
    test::RecordingSound sound;
    QWidget host;
    QLineEdit& esempio = *new QLineEdit(&host);
    QLabel& esempiopix = *new QLabel(&host);
    PictureList File1;
    MediaLibrary library{media.path(), own.path()};

    WordShow show()
    {
        library.lookAgain();  // as at each key
        return {esempio, esempiopix, File1, sound, library};
    }
    void start()
    {
        File1.setLibrary(library);
    }
    QStringList& played() { return sound.played; }
    // Selects a picture list entry by name, as the typing handler does.
    void select(const QString& name)
    {
        File1.setPattern(name);  // a new pattern reads the folder again
        const int i = int(File1.names().indexOf(name));
        QVERIFY2(i >= 0, qPrintable(name));
        File1.setSelectedIndex(i);
    }
    bool throwsFailure(const QString& name)
    {
        try {
            ShowWord(show(), name);
        } catch (const Failure&) {
            return true;
        }
        return false;
    }
};

QRgb centreColour(const QLabel* label)
{
    const QImage image = label->pixmap().toImage();
    return image.pixel(image.width() / 2, image.height() / 2);
}

}  // namespace

class WordDisplayTest : public QObject {
    Q_OBJECT
private slots:
    void tooShortNameChangesNothing();
    void showsWordPictureAndRecording();
    void recordingIsFoundWithoutRegardToCase();
    void nameIsCutFourCharactersFromTheEnd();
    void unreadablePictureKeepsTheOldOne();
    void showsThePictureItIsGiven();
    void windowGoesOnWhileALargePictureIsRead();
};

void WordDisplayTest::tooShortNameChangesNothing()
{
    Rig rig;
    rig.start();
    rig.esempio.setText(QStringLiteral("ape"));
    for (const char* name : {"", "a", "abc"}) {
        QVERIFY(rig.throwsFailure(QString::fromLatin1(name)));
        QCOMPARE(rig.esempio.text(), QStringLiteral("ape"));
        QVERIFY(rig.esempiopix.pixmap().isNull());
        QVERIFY(rig.played().isEmpty());
    }
}

void WordDisplayTest::showsWordPictureAndRecording()
{
    Rig rig;
    rig.start();
    rig.select(QStringLiteral("casa.png"));
    ShowWord(rig.show(), QStringLiteral("casa.png"));
    QCOMPARE(rig.esempio.text(), QStringLiteral("casa"));
    QCOMPARE(rig.played(), QStringList{QStringLiteral("casa.wav")});
    const QPixmap pixmap = rig.esempiopix.pixmap();
    QVERIFY(!pixmap.isNull());
    // Scaled to fill the picture box, in its colours.
    QCOMPARE(pixmap.deviceIndependentSize().toSize(), rig.esempiopix.size());
    QCOMPARE(QColor(centreColour(&rig.esempiopix)), QColor(200, 40, 40));
}

void WordDisplayTest::recordingIsFoundWithoutRegardToCase()
{
    Rig rig;
    rig.media.addPicture(QStringLiteral("Cane.png"));
    rig.media.addWord(QStringLiteral("CANE.wav"));
    rig.start();
    rig.select(QStringLiteral("Cane.png"));
    ShowWord(rig.show(), QStringLiteral("Cane.png"));
    QCOMPARE(rig.esempio.text(), QStringLiteral("Cane"));
    QCOMPARE(rig.played(), QStringList{QStringLiteral("CANE.wav")});

    rig.played().clear();
    rig.media.addPicture(QStringLiteral("Casa.png"));
    rig.media.remove(QStringLiteral("immagini/casa.png"));
    rig.select(QStringLiteral("Casa.png"));
    ShowWord(rig.show(), QStringLiteral("Casa.png"));
    QCOMPARE(rig.esempio.text(), QStringLiteral("Casa"));
    QCOMPARE(rig.played(), QStringList{QStringLiteral("casa.wav")});
}

void WordDisplayTest::nameIsCutFourCharactersFromTheEnd()
{
    Rig rig;
    // Pictures whose extension is not three letters long.
    rig.media.addFile(QStringLiteral("immagini/casa.jpeg"), test::pictureFile(32, 32, Qt::blue, "JPEG"));
    rig.media.addFile(QStringLiteral("immagini/x.pn"), test::pictureFile(32, 32, Qt::blue));
    rig.start();

    rig.select(QStringLiteral("casa.jpeg"));
    ShowWord(rig.show(), QStringLiteral("casa.jpeg"));
    QCOMPARE(rig.esempio.text(), QStringLiteral("casa."));
    QCOMPARE(rig.played(), QStringList{QStringLiteral("<default>")});  // "casa..wav" does not exist
    QVERIFY(qBlue(centreColour(&rig.esempiopix)) > 200 && qRed(centreColour(&rig.esempiopix)) < 50);

    rig.played().clear();
    rig.media.addWord(QStringLiteral("casa..wav"));
    ShowWord(rig.show(), QStringLiteral("casa.jpeg"));
    QCOMPARE(rig.played(), QStringList{QStringLiteral("casa..wav")});

    // Exactly four characters: an empty word, and ".wav" is looked for.
    rig.played().clear();
    rig.select(QStringLiteral("x.pn"));
    ShowWord(rig.show(), QStringLiteral("x.pn"));
    QCOMPARE(rig.esempio.text(), QString());
    QCOMPARE(rig.played(), QStringList{QStringLiteral("<default>")});
    QCOMPARE(QColor(centreColour(&rig.esempiopix)), QColor(Qt::blue));
}

void WordDisplayTest::unreadablePictureKeepsTheOldOne()
{
    Rig rig;
    rig.media.addFile(QStringLiteral("immagini/cane.png"), "this is no picture\n");
    rig.media.addWord(QStringLiteral("cane.wav"));
    rig.media.addFile(QStringLiteral("immagini/zero.png"), QByteArray());
    rig.start();
    rig.select(QStringLiteral("casa.png"));
    ShowWord(rig.show(), QStringLiteral("casa.png"));
    const qint64 pictureKey = rig.esempiopix.pixmap().cacheKey();

    for (const char* name : {"cane.png", "zero.png"}) {
        rig.played().clear();
        rig.select(QString::fromLatin1(name));
        QVERIFY(rig.throwsFailure(QString::fromLatin1(name)));
        QCOMPARE(rig.esempio.text(), QString::fromLatin1(name).chopped(4));
        QCOMPARE(rig.esempiopix.pixmap().cacheKey(), pictureKey);
        QVERIFY(rig.played().isEmpty());
    }
    // The picture's file removed after the list was read.
    rig.select(QStringLiteral("ape.png"));
    rig.media.remove(QStringLiteral("immagini/ape.png"));
    QVERIFY(rig.throwsFailure(QStringLiteral("ape.png")));
    QCOMPARE(rig.esempio.text(), QStringLiteral("ape"));
    QCOMPARE(rig.esempiopix.pixmap().cacheKey(), pictureKey);
    QVERIFY(rig.played().isEmpty());
}

void WordDisplayTest::showsThePictureItIsGiven()
{
    // Whatever the list has selected, the picture named is the one shown,
    // from whichever library holds it.
    Rig rig;
    rig.media.addFile(QStringLiteral("immagini/blu.png"), test::pictureFile(32, 32, Qt::blue));
    rig.media.addWord(QStringLiteral("blu.wav"));
    rig.own.addFile(QStringLiteral("immagini/verde.png"), test::pictureFile(32, 32, Qt::green));
    rig.start();
    rig.select(QStringLiteral("casa.png"));
    ShowWord(rig.show(), QStringLiteral("blu.png"));
    QCOMPARE(rig.esempio.text(), QStringLiteral("blu"));
    QCOMPARE(QColor(centreColour(&rig.esempiopix)), QColor(Qt::blue));
    QCOMPARE(rig.played(), QStringList{QStringLiteral("blu.wav")});

    rig.File1.setPattern(QStringLiteral("*.*"));
    ShowWord(rig.show(), QStringLiteral("verde.png"));
    QCOMPARE(QColor(centreColour(&rig.esempiopix)), QColor(Qt::green));
    QCOMPARE(rig.File1.selectedIndex(), -1);  // the list is left as it was
}

void WordDisplayTest::windowGoesOnWhileALargePictureIsRead()
{
    Rig rig;
    rig.media.addPicture(QStringLiteral("orso.png"), 4000);  // 16 megapixels, decoded whole
    rig.start();
    rig.select(QStringLiteral("orso.png"));
    // What the window's thread did meanwhile: its timers ran, with the word
    // already in its box.
    QStringList seen;
    QTimer tick;
    tick.callOnTimeout([&] { seen << rig.esempio.text(); });
    tick.start(1);
    ShowWord(rig.show(), QStringLiteral("orso.png"));
    tick.stop();
    QVERIFY(!rig.esempiopix.pixmap().isNull());
    QVERIFY2(!seen.isEmpty(), "the window's thread waited for the picture");
    QCOMPARE(seen.first(), QStringLiteral("orso"));
}

QTEST_MAIN(WordDisplayTest)
#include "test_word_display.moc"
