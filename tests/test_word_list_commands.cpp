// F8, Down, Up: stepping through the example words; F9: showing or hiding
// them; F10: word mode. The commands see only the word box, the picture, the
// picture list and the word-mode button; which key runs which is the
// dispatcher's test, and the button's click is the window's.
#include "commands/word_list_commands.h"
#include "feedback/word_display.h"
#include "form/word_mode_button.h"
#include "platform/base/failure.h"
#include "library/media_library.h"
#include "library/picture_list.h"
#include "support/fake_platform.h"
#include "support/media_folder.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

using namespace quillo;

namespace {

const QString kAll = QStringLiteral("*.*");

// The word controls over pictures albero, ape, casa (or none), the list bound.
struct Rig {
    explicit Rig(bool withPictures = true)
    {
        media.addBasics();
        if (withPictures) {
            media.addPicture(QStringLiteral("albero.png"));
            media.addWord(QStringLiteral("albero.wav"));
        } else {
            media.remove(QStringLiteral("immagini/ape.png"));
            media.remove(QStringLiteral("immagini/casa.png"));
        }
        esempiopix.resize(97, 97);
        File1.setLibrary(library);
    }
    test::MediaFolder media;
    test::RecordingSound sound;
    QWidget host;
    QLineEdit& esempio = *new QLineEdit(&host);
    QLabel& esempiopix = *new QLabel(&host);
    WordModeButton& Parolasi = *new WordModeButton(&host);
    PictureList File1;
    MediaLibrary library{media.path(), QString()};

    WordShow show()
    {
        library.lookAgain();  // as at each key
        return {esempio, esempiopix, File1, sound, library};
    }
    void next() { nextWord(show()); }
    void previous() { previousWord(show()); }
    void toggleDisplay() { toggleWordDisplay(show(), Parolasi); }
    int selected() const { return File1.selectedIndex(); }
    QString word() const { return esempio.text(); }
    bool shown(const QWidget& control) const { return control.isVisibleTo(&host); }
};

}  // namespace

class TestWordListCommands : public QObject {
    Q_OBJECT

private slots:
    void nextWordStepsAndWraps();
    void nextWordWithNoPictures();
    void previousWordStepsBackAndWraps();
    void previousWordKeepsTheLetterPattern();
    void previousWordWithNoPictures();
    void showOrHideWords();
    void wordMode();
};

void TestWordListCommands::nextWordStepsAndWraps()
{
    Rig w;
    QCOMPARE(w.File1.count(), 3);
    QCOMPARE(w.selected(), -1);

    w.next();
    QCOMPARE(w.selected(), 0);
    QCOMPARE(w.word(), QStringLiteral("albero"));
    QVERIFY(!w.esempiopix.pixmap().isNull());
    w.next();
    QCOMPARE(w.selected(), 1);
    QCOMPARE(w.word(), QStringLiteral("ape"));
    w.next();
    QCOMPARE(w.selected(), 2);
    QCOMPARE(w.word(), QStringLiteral("casa"));
    w.next();
    QCOMPARE(w.selected(), 0);  // from the last back to the first
    QCOMPARE(w.word(), QStringLiteral("albero"));
    QCOMPARE(w.sound.played, (QStringList{QStringLiteral("albero.wav"), QStringLiteral("ape.wav"),
                                          QStringLiteral("casa.wav"), QStringLiteral("albero.wav")}));

    // After a letter narrowed the list, F8 goes back to every picture.
    w.File1.setPattern(QStringLiteral("c*.*"));
    QCOMPARE(w.File1.count(), 1);
    w.next();
    QCOMPARE(w.File1.pattern(), kAll);
    QCOMPARE(w.File1.count(), 3);
    QCOMPARE(w.selected(), 0);
}

void TestWordListCommands::nextWordWithNoPictures()
{
    // Nothing to show is no failure: the selection stays none.
    Rig w(false);
    w.File1.setPattern(QStringLiteral("a*.*"));
    w.next();
    w.next();
    QCOMPARE(w.File1.pattern(), kAll);
    QCOMPARE(w.selected(), -1);
    QCOMPARE(w.word(), QString());
    QVERIFY(w.sound.played.isEmpty());
}

void TestWordListCommands::previousWordStepsBackAndWraps()
{
    Rig w;
    w.previous();  // from none to the last
    QCOMPARE(w.selected(), 2);
    QCOMPARE(w.word(), QStringLiteral("casa"));
    w.previous();
    QCOMPARE(w.selected(), 1);
    w.previous();
    QCOMPARE(w.selected(), 0);
    QCOMPARE(w.word(), QStringLiteral("albero"));
    w.previous();  // from the first to the last
    QCOMPARE(w.selected(), 2);
    QCOMPARE(w.sound.played, (QStringList{QStringLiteral("casa.wav"), QStringLiteral("ape.wav"),
                                          QStringLiteral("albero.wav"), QStringLiteral("casa.wav")}));
}

void TestWordListCommands::previousWordKeepsTheLetterPattern()
{
    // As the letter a left the list: its pictures, the first selected.
    Rig w;
    w.File1.setPattern(QStringLiteral("a*.*"));
    w.File1.setSelectedIndex(0);
    QCOMPARE(w.File1.count(), 2);

    w.previous();
    QCOMPARE(w.File1.pattern(), QStringLiteral("a*.*"));
    QCOMPARE(w.selected(), 1);
    QCOMPARE(w.word(), QStringLiteral("ape"));
    w.previous();
    QCOMPARE(w.selected(), 0);
    QCOMPARE(w.word(), QStringLiteral("albero"));
}

void TestWordListCommands::previousWordWithNoPictures()
{
    // The empty name cannot be shown: a failure, and the word on show stays.
    Rig w(false);
    w.esempio.setText(QStringLiteral("prima"));
    QVERIFY_THROWS_EXCEPTION(Failure, w.previous());
    QCOMPARE(w.selected(), -1);
    QCOMPARE(w.word(), QStringLiteral("prima"));
    QVERIFY(w.sound.played.isEmpty());
}

void TestWordListCommands::showOrHideWords()
{
    Rig w;
    QVERIFY(w.shown(w.esempio) && w.shown(w.esempiopix) && w.shown(w.Parolasi));

    w.toggleDisplay();
    QVERIFY(!w.shown(w.esempio) && !w.shown(w.esempiopix) && !w.shown(w.Parolasi));
    QCOMPARE(w.selected(), 0);
    QVERIFY(w.sound.played.isEmpty());  // selecting shows no word
    QCOMPARE(w.word(), QString());

    w.toggleDisplay();
    QVERIFY(w.shown(w.esempio) && w.shown(w.esempiopix) && w.shown(w.Parolasi));
    QCOMPARE(w.selected(), 0);

    // Each one is toggled on its own.
    w.esempiopix.hide();
    w.next();
    w.toggleDisplay();
    QVERIFY(!w.shown(w.esempio));
    QVERIFY(w.shown(w.esempiopix));
    QVERIFY(!w.shown(w.Parolasi));
    QCOMPARE(w.selected(), 0);

    // With no pictures nothing is selected.
    Rig none(false);
    none.toggleDisplay();
    QCOMPARE(none.selected(), -1);
}

void TestWordListCommands::wordMode()
{
    // F10 turns word mode on from off, off from on or greyed, and the button
    // reports each change as a click; a value set from code is reported only
    // when it differs, and values outside 0..2 are refused.
    WordModeButton Parolasi;
    QSignalSpy clicks(&Parolasi, &WordModeButton::valueClicked);
    QCOMPARE(Parolasi.value(), 1);

    struct Step {
        int from;
        int to;
    };
    for (const Step& step : {Step{1, 0}, Step{0, 1}, Step{2, 0}}) {
        Parolasi.setValue(step.from);
        clicks.clear();
        toggleWordMode(Parolasi);
        QCOMPARE(Parolasi.value(), step.to);
        QCOMPARE(Parolasi.isChecked(), step.to != 0);
        QCOMPARE(clicks.count(), 1);
    }
    // Twice from off ends off.
    toggleWordMode(Parolasi);
    toggleWordMode(Parolasi);
    QCOMPARE(Parolasi.value(), 0);

    clicks.clear();
    QVERIFY(Parolasi.setValue(0));  // the value it has
    QCOMPARE(clicks.count(), 0);
    QVERIFY(Parolasi.setValue(2));
    QCOMPARE(clicks.count(), 1);
    QVERIFY(Parolasi.isChecked());
    QVERIFY(Parolasi.setValue(2));
    QCOMPARE(clicks.count(), 1);
    QVERIFY(!Parolasi.setValue(3));
    QVERIFY(!Parolasi.setValue(-1));
    QCOMPARE(Parolasi.value(), 2);
    QCOMPARE(clicks.count(), 1);
}

QTEST_MAIN(TestWordListCommands)
#include "test_word_list_commands.moc"
