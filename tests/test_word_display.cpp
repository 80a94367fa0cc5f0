// The word display: the word in the word box, the picture, the word's recording.

#include "platform/base/failure.h"
#include "app/parla.h"
#include "feedback/word_display.h"
#include "platform/files/media_library.h"
#include "support/started_window.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QtTest>

using namespace quillo;

namespace {

// The usual media; the test may add more, then start().
struct Rig : test::StartedWindow {
    Rig() : StartedWindow(Start::Later) { media.addBasics(); }
    // Selects a picture list entry by name, as the typing handler does.
    void select(const QString& name)
    {
        form.File1.setPattern(name);  // a new pattern reads the folder again
        const int i = int(form.File1.names().indexOf(name));
        QVERIFY2(i >= 0, qPrintable(name));
        form.File1.setSelectedIndex(i);
    }
    bool throwsFailure(const QString& name)
    {
        try {
            ShowWord(form, name);
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
    void playsEvenWithSoundOff();
};

void WordDisplayTest::tooShortNameChangesNothing()
{
    Rig rig;
    Parla& form = rig.start();
    form.esempio->setText(QStringLiteral("ape"));
    for (const char* name : {"", "a", "abc"}) {
        QVERIFY(rig.throwsFailure(QString::fromLatin1(name)));
        QCOMPARE(form.esempio->text(), QStringLiteral("ape"));
        QVERIFY(form.esempiopix->pixmap().isNull());
        QVERIFY(rig.played().isEmpty());
    }
}

void WordDisplayTest::showsWordPictureAndRecording()
{
    Rig rig;
    Parla& form = rig.start();
    rig.select(QStringLiteral("casa.png"));
    ShowWord(form, QStringLiteral("casa.png"));
    QCOMPARE(form.esempio->text(), QStringLiteral("casa"));
    QCOMPARE(rig.played(), QStringList{QStringLiteral("casa.wav")});
    const QPixmap pixmap = form.esempiopix->pixmap();
    QVERIFY(!pixmap.isNull());
    // Scaled to fill the picture box, in its colours.
    QCOMPARE(pixmap.deviceIndependentSize().toSize(), form.esempiopix->size());
    QCOMPARE(QColor(centreColour(form.esempiopix)), QColor(200, 40, 40));
}

void WordDisplayTest::recordingIsFoundWithoutRegardToCase()
{
    Rig rig;
    rig.media.addPicture(QStringLiteral("Cane.png"));
    rig.media.addWord(QStringLiteral("CANE.wav"));
    Parla& form = rig.start();
    rig.select(QStringLiteral("Cane.png"));
    ShowWord(form, QStringLiteral("Cane.png"));
    QCOMPARE(form.esempio->text(), QStringLiteral("Cane"));
    QCOMPARE(rig.played(), QStringList{QStringLiteral("CANE.wav")});

    rig.played().clear();
    rig.media.addPicture(QStringLiteral("Casa.png"));
    rig.media.remove(QStringLiteral("immagini/casa.png"));
    rig.select(QStringLiteral("Casa.png"));
    ShowWord(form, QStringLiteral("Casa.png"));
    QCOMPARE(form.esempio->text(), QStringLiteral("Casa"));
    QCOMPARE(rig.played(), QStringList{QStringLiteral("casa.wav")});
}

void WordDisplayTest::nameIsCutFourCharactersFromTheEnd()
{
    Rig rig;
    // Pictures whose extension is not three letters long.
    const auto encoded = [](const char* format) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImage image(32, 32, QImage::Format_RGB32);
        image.fill(Qt::blue);
        image.save(&buffer, format);
        return bytes;
    };
    rig.media.addFile(QStringLiteral("immagini/casa.jpeg"), encoded("JPEG"));
    rig.media.addFile(QStringLiteral("immagini/x.pn"), encoded("PNG"));
    Parla& form = rig.start();

    rig.select(QStringLiteral("casa.jpeg"));
    ShowWord(form, QStringLiteral("casa.jpeg"));
    QCOMPARE(form.esempio->text(), QStringLiteral("casa."));
    QCOMPARE(rig.played(), QStringList{QStringLiteral("<default>")});  // "casa..wav" does not exist
    QVERIFY(qBlue(centreColour(form.esempiopix)) > 200 && qRed(centreColour(form.esempiopix)) < 50);

    rig.played().clear();
    rig.media.addWord(QStringLiteral("casa..wav"));
    ShowWord(form, QStringLiteral("casa.jpeg"));
    QCOMPARE(rig.played(), QStringList{QStringLiteral("casa..wav")});

    // Exactly four characters: an empty word, and ".wav" is looked for.
    rig.played().clear();
    rig.select(QStringLiteral("x.pn"));
    ShowWord(form, QStringLiteral("x.pn"));
    QCOMPARE(form.esempio->text(), QString());
    QCOMPARE(rig.played(), QStringList{QStringLiteral("<default>")});
    QCOMPARE(QColor(centreColour(form.esempiopix)), QColor(Qt::blue));
}

void WordDisplayTest::unreadablePictureKeepsTheOldOne()
{
    Rig rig;
    rig.media.addFile(QStringLiteral("immagini/cane.png"), "this is no picture\n");
    rig.media.addWord(QStringLiteral("cane.wav"));
    rig.media.addFile(QStringLiteral("immagini/zero.png"), QByteArray());
    Parla& form = rig.start();
    rig.select(QStringLiteral("casa.png"));
    ShowWord(form, QStringLiteral("casa.png"));
    const qint64 pictureKey = form.esempiopix->pixmap().cacheKey();

    for (const char* name : {"cane.png", "zero.png"}) {
        rig.played().clear();
        rig.select(QString::fromLatin1(name));
        QVERIFY(rig.throwsFailure(QString::fromLatin1(name)));
        QCOMPARE(form.esempio->text(), QString::fromLatin1(name).chopped(4));
        QCOMPARE(form.esempiopix->pixmap().cacheKey(), pictureKey);
        QVERIFY(rig.played().isEmpty());
    }
    // The picture's file removed after the list was read.
    rig.select(QStringLiteral("ape.png"));
    rig.media.remove(QStringLiteral("immagini/ape.png"));
    QVERIFY(rig.throwsFailure(QStringLiteral("ape.png")));
    QCOMPARE(form.esempio->text(), QStringLiteral("ape"));
    QCOMPARE(form.esempiopix->pixmap().cacheKey(), pictureKey);
    QVERIFY(rig.played().isEmpty());
}

void WordDisplayTest::playsEvenWithSoundOff()
{
    Rig rig;
    Parla& form = rig.start();
    form.SoundOff = -1;
    rig.select(QStringLiteral("ape.png"));
    ShowWord(form, QStringLiteral("ape.png"));
    QCOMPARE(rig.played(), QStringList{QStringLiteral("ape.wav")});
    QCOMPARE(form.esempio->text(), QStringLiteral("ape"));
}

QTEST_MAIN(WordDisplayTest)
#include "test_word_display.moc"
