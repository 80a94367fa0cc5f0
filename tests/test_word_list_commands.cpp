// F8, Down, Up: stepping through the example words; F9: showing or hiding
// them; F10 and the PAROLA button: word mode.
#include "app/parla.h"
#include "feedback/typing_handler.h"
#include "support/started_window.h"
#include "support/log_capture.h"

#include <QSignalSpy>
#include <QtTest>

using quillo::Parla;
using quillo::test::StartedWindow;
using quillo::test::LogCapture;

namespace {

constexpr qint16 kUp = 38, kDown = 40, kF8 = 119, kF9 = 120, kF10 = 121;
const QString kAll = QStringLiteral("*.*");

// A window over pictures albero, ape, casa (or none), started up.
struct Window : StartedWindow {
    explicit Window(bool withPictures = true) : StartedWindow(Start::Later)
    {
        media.addBasics();
        if (withPictures) {
            media.addPicture(QStringLiteral("albero.png"));
            media.addWord(QStringLiteral("albero.wav"));
        } else {
            media.remove(QStringLiteral("immagini/ape.png"));
            media.remove(QStringLiteral("immagini/casa.png"));
        }
        start();
    }
    int selected() const { return form.File1.selectedIndex(); }
    QString word() const { return form.esempio->text(); }
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
    void wordModeKey();
    void wordModeButtonClick();
    void wordModeValueFromCode();
};

void TestWordListCommands::nextWordStepsAndWraps()
{
    Window w;
    QCOMPARE(w.form.File1.count(), 3);
    QCOMPARE(w.selected(), -1);

    w.key(kF8);
    QCOMPARE(w.selected(), 0);
    QCOMPARE(w.word(), QStringLiteral("albero"));
    QVERIFY(!w.form.esempiopix->pixmap().isNull());
    w.key(kDown, 1 | 2);
    QCOMPARE(w.selected(), 1);
    QCOMPARE(w.word(), QStringLiteral("ape"));
    w.key(kF8, 4);
    QCOMPARE(w.selected(), 2);
    QCOMPARE(w.word(), QStringLiteral("casa"));
    w.key(kDown);
    QCOMPARE(w.selected(), 0);  // from the last back to the first
    QCOMPARE(w.word(), QStringLiteral("albero"));
    QCOMPARE(w.played(), (QStringList{QStringLiteral("albero.wav"), QStringLiteral("ape.wav"),
                                      QStringLiteral("casa.wav"), QStringLiteral("albero.wav")}));

    // After a letter narrowed the list, F8 goes back to every picture.
    w.form.File1.setPattern(QStringLiteral("c*.*"));
    QCOMPARE(w.form.File1.count(), 1);
    w.key(kF8);
    QCOMPARE(w.form.File1.pattern(), kAll);
    QCOMPARE(w.form.File1.count(), 3);
    QCOMPARE(w.selected(), 0);
}

void TestWordListCommands::nextWordWithNoPictures()
{
    Window w(false);
    w.form.File1.setPattern(QStringLiteral("a*.*"));
    LogCapture err;
    w.key(kF8);
    w.key(kDown);
    QCOMPARE(err.text(), QString());
    QCOMPARE(w.form.File1.pattern(), kAll);
    QCOMPARE(w.selected(), -1);
    QCOMPARE(w.word(), QString());
    QVERIFY(w.played().isEmpty());
}

void TestWordListCommands::previousWordStepsBackAndWraps()
{
    Window w;
    w.key(kUp);  // from none to the last
    QCOMPARE(w.selected(), 2);
    QCOMPARE(w.word(), QStringLiteral("casa"));
    w.key(kUp);
    QCOMPARE(w.selected(), 1);
    w.key(kUp, 4);
    QCOMPARE(w.selected(), 0);
    QCOMPARE(w.word(), QStringLiteral("albero"));
    w.key(kUp);  // from the first to the last
    QCOMPARE(w.selected(), 2);
    QCOMPARE(w.played(), (QStringList{QStringLiteral("casa.wav"), QStringLiteral("ape.wav"),
                                      QStringLiteral("albero.wav"), QStringLiteral("casa.wav")}));
}

void TestWordListCommands::previousWordKeepsTheLetterPattern()
{
    Window w;
    w.fake.random->queued = {0.0};
    scrivo_KeyPress(w.form, QStringLiteral("a"));  // word mode is on after start-up
    QCOMPARE(w.form.File1.pattern(), QStringLiteral("a*.*"));
    QCOMPARE(w.form.File1.count(), 2);
    QCOMPARE(w.word(), QStringLiteral("albero"));
    QCOMPARE(w.selected(), 0);

    w.key(kUp);
    QCOMPARE(w.form.File1.pattern(), QStringLiteral("a*.*"));
    QCOMPARE(w.selected(), 1);
    QCOMPARE(w.word(), QStringLiteral("ape"));
    w.key(kUp);
    QCOMPARE(w.selected(), 0);
    QCOMPARE(w.word(), QStringLiteral("albero"));
}

void TestWordListCommands::previousWordWithNoPictures()
{
    Window w(false);
    w.form.esempio->setText(QStringLiteral("prima"));
    LogCapture err;
    w.key(kUp);
    const QString text = err.text();
    QVERIFY2(text.contains(QStringLiteral("quillo:")), qPrintable(text));
    QCOMPARE(text.count(u'\n'), 1);
    QCOMPARE(w.selected(), -1);
    QCOMPARE(w.word(), QStringLiteral("prima"));
    QVERIFY(w.played().isEmpty());
}

void TestWordListCommands::showOrHideWords()
{
    Window w;
    Parla& form = w.form;
    auto shown = [&](QWidget* control) { return control->isVisibleTo(&form); };
    QVERIFY(shown(form.esempio) && shown(form.esempiopix) && shown(form.Parolasi));

    w.key(kF9);
    QVERIFY(!shown(form.esempio) && !shown(form.esempiopix) && !shown(form.Parolasi));
    QCOMPARE(w.selected(), 0);
    QVERIFY(w.played().isEmpty());  // selecting shows no word
    QCOMPARE(w.word(), QString());

    w.key(kF9, 4);
    QVERIFY(shown(form.esempio) && shown(form.esempiopix) && shown(form.Parolasi));
    QCOMPARE(w.selected(), 0);

    // Each one is toggled on its own.
    form.esempiopix->hide();
    w.key(kDown);
    w.key(kF9);
    QVERIFY(!shown(form.esempio));
    QVERIFY(shown(form.esempiopix));
    QVERIFY(!shown(form.Parolasi));
    QCOMPARE(w.selected(), 0);
}

void TestWordListCommands::wordModeKey()
{
    Window w;
    Parla& form = w.form;
    QSignalSpy clicks(form.Parolasi, &quillo::WordModeButton::valueClicked);
    QCOMPARE(form.Parolasi->value(), 1);

    form.File1.setPattern(QStringLiteral("c*.*"));
    form.esempio->setFocus();
    w.key(kF10);
    QCOMPARE(form.Parolasi->value(), 0);
    QVERIFY(!form.Parolasi->isChecked());
    QCOMPARE(form.File1.pattern(), kAll);
    QCOMPARE(form.focusWidget(), form.scrivo);

    w.key(kF10, 4);
    QCOMPARE(form.Parolasi->value(), 1);
    QVERIFY(form.Parolasi->isChecked());

    form.Parolasi->setValue(2);
    form.File1.setPattern(QStringLiteral("c*.*"));
    w.key(kF10);
    QCOMPARE(form.Parolasi->value(), 0);
    QCOMPARE(form.File1.pattern(), kAll);

    // Twice from off ends off.
    w.key(kF10);
    w.key(kF10);
    QCOMPARE(form.Parolasi->value(), 0);
    QVERIFY(clicks.count() >= 5);

    // Word mode off: a letter speaks but shows no word.
    w.fake.sound->played.clear();
    scrivo_KeyPress(form, QStringLiteral("a"));
    QCOMPARE(w.played(), QStringList{QStringLiteral("a.wav")});
    QCOMPARE(w.word(), QString());
}

void TestWordListCommands::wordModeButtonClick()
{
    Window w;
    Parla& form = w.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));

    form.File1.setPattern(QStringLiteral("c*.*"));
    QTest::mouseClick(form.Parolasi, Qt::LeftButton);
    QCOMPARE(form.Parolasi->value(), 0);
    QVERIFY(!form.Parolasi->isChecked());
    QCOMPARE(form.File1.pattern(), kAll);
    QCOMPARE(QApplication::focusWidget(), form.scrivo);

    form.File1.setPattern(QStringLiteral("c*.*"));
    QTest::mouseClick(form.Parolasi, Qt::LeftButton);
    QCOMPARE(form.Parolasi->value(), 1);
    QCOMPARE(form.File1.pattern(), kAll);
    QCOMPARE(QApplication::focusWidget(), form.scrivo);

    // A click on the greyed button turns word mode on.
    form.Parolasi->setValue(2);
    QTest::mouseClick(form.Parolasi, Qt::LeftButton);
    QCOMPARE(form.Parolasi->value(), 1);

    // Typing goes on in the sheet after a click.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::NoModifier);
    QCOMPARE(form.scrivo->toPlainText(), QStringLiteral("c"));
}

void TestWordListCommands::wordModeValueFromCode()
{
    Window w;
    Parla& form = w.form;
    QSignalSpy clicks(form.Parolasi, &quillo::WordModeButton::valueClicked);

    form.File1.setPattern(QStringLiteral("c*.*"));
    QVERIFY(form.Parolasi->setValue(1));  // the value it has
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(form.File1.pattern(), QStringLiteral("c*.*"));

    QVERIFY(form.Parolasi->setValue(2));
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(form.File1.pattern(), kAll);
    QVERIFY(form.Parolasi->isChecked());

    form.File1.setPattern(QStringLiteral("c*.*"));
    QVERIFY(form.Parolasi->setValue(2));
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(form.File1.pattern(), QStringLiteral("c*.*"));

    QVERIFY(form.Parolasi->setValue(0));
    QCOMPARE(clicks.count(), 2);
    QVERIFY(!form.Parolasi->isChecked());

    // Values outside 0..2 are refused and change nothing.
    QVERIFY(!form.Parolasi->setValue(3));
    QVERIFY(!form.Parolasi->setValue(-1));
    QCOMPARE(form.Parolasi->value(), 0);
    QCOMPARE(clicks.count(), 2);
}

QTEST_MAIN(TestWordListCommands)
#include "test_word_list_commands.moc"
