// The window: its controls and layout, and how keys on the writing sheet reach
// the two handlers and the sheet.
#include "app/key_translation.h"
#include "app/parla.h"
#include "form/key_codes.h"
#include "support/started_window.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QtTest>

#include <memory>

using quillo::Parla;
using quillo::test::FakePlatform;
using quillo::test::MediaFolder;
using quillo::test::StartedWindow;

namespace {

// A window on fake services over a small media folder, started up.
struct Window : StartedWindow {
    Window() : StartedWindow(Start::Later)
    {
        media.addBasics();
        media.addLetter(QStringLiteral("è.wav"));
        start();
    }

    QString sheet() const { return form.scrivo->toPlainText(); }
    void clearLog() { fake.sound->played.clear(); }
};

void sendKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             const QString& text = {}, quint32 scanCode = 0)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, scanCode, 0, 0, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, scanCode, 0, 0, text);
    QCoreApplication::sendEvent(target, &release);
}

void commit(QWidget* target, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QCoreApplication::sendEvent(target, &event);
}

qint16 vkOf(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, quint32 scanCode = 0)
{
    return quillo::virtualKeyCode(QKeyEvent(QEvent::KeyPress, key, modifiers, scanCode, 0, 0));
}

qint16 maskOf(Qt::KeyboardModifiers modifiers)
{
    return quillo::modifierMask(QKeyEvent(QEvent::KeyPress, Qt::Key_A, modifiers));
}

}  // namespace

class TestWindow : public QObject {
    Q_OBJECT

private slots:
    void controlsAndLayout();
    void tabOrderAndFocus();
    void keyCodesAndMasks();
    void characterReachesHandlerBeforeSheet();
    void keyDownComesBeforeKeyPress();
    void commandKeysThroughTheSheet();
    void controlKeysGiveControlCharacters();
    void inputMethodCommitReachesHandler();
    void tabReachesNeitherHandler();
    void altGivesNoCharacter();
    void endingStopsFurtherKeys();
    void squareCornersRepaintTheWholeSheet();

private:
    quillo::test::TemporaryConfigHome config_;
};

void TestWindow::controlsAndLayout()
{
    MediaFolder media;
    FakePlatform fake(media.path());
    Parla form(fake.platform);

    QCOMPARE(form.windowTitle(), QStringLiteral("Quillo"));
    QVERIFY(form.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(form.palette().color(QPalette::Window), QColor(0, 192, 0));
    QVERIFY(form.autoFillBackground());

    // The controls, in the order they are created.
    const QList<QWidget*> children = form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    QCOMPARE(children, (QList<QWidget*>{form.Parolasi, form.esempio, form.scrivo, form.esempiopix}));

    // Twips at 15 to the pixel, halves to even.
    struct Expected {
        QWidget* control;
        quillo::TwipsRect twips;
        QRect pixels;
    };
    const QList<Expected> layout{
        {form.Parolasi, {11160, 120, 732, 492}, QRect(744, 8, 49, 33)},
        {form.esempio, {120, 120, 9252, 1212}, QRect(8, 8, 617, 81)},
        {form.scrivo, {120, 1440, 12132, 7332}, QRect(8, 96, 809, 489)},
        {form.esempiopix, {9600, 0, 1452, 1452}, QRect(640, 0, 97, 97)},
    };
    for (const Expected& e : layout) {
        const quillo::TwipsRect t = form.twips(e.control);
        QCOMPARE(t.left, e.twips.left);
        QCOMPARE(t.top, e.twips.top);
        QCOMPARE(t.width, e.twips.width);
        QCOMPARE(t.height, e.twips.height);
        QCOMPARE(e.control->geometry(), e.pixels);
    }

    QCOMPARE(form.Parolasi->text(), QStringLiteral("PAROLA"));
    QCOMPARE(form.Parolasi->value(), 1);
    QVERIFY(form.Parolasi->isChecked());

    QCOMPARE(form.esempio->text(), QString());
    QCOMPARE(form.esempio->font().family(), QStringLiteral("Arial"));
    QVERIFY(form.esempio->font().bold());
    QCOMPARE(form.esempio->font().pointSizeF(), 48.0);
    QCOMPARE(form.esempio->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);

    QCOMPARE(form.File1.pattern(), QStringLiteral("*.*"));
    QCOMPARE(form.File1.selectedIndex(), -1);

    QCOMPARE(form.scrivo->toPlainText(), QString());
    QCOMPARE(form.scrivo->font().family(), QStringLiteral("Arial"));
    QVERIFY(form.scrivo->font().bold());
    QCOMPARE(form.scrivo->font().pointSizeF(), 48.0);
    QCOMPARE(form.scrivo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(form.scrivo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    QVERIFY(form.esempiopix->pixmap().isNull());
    QCOMPARE(form.esempiopix->focusPolicy(), Qt::NoFocus);

    QCOMPARE(form.SoundOff, qint16(0));
    QCOMPARE(form.CornerRadius, qint16(0));
    QCOMPARE(form.Busy, qint16(0));
    QVERIFY(fake.sound->played.isEmpty());
}

void TestWindow::tabOrderAndFocus()
{
    Window w;
    Parla& form = w.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(QApplication::focusWidget(), form.scrivo);

    // Alt+Tab, the desktop's window switch, reaches the held keyboard: it stays on the sheet.
    sendKey(form.scrivo, Qt::Key_Tab, Qt::AltModifier, QStringLiteral("\t"));
    sendKey(form.scrivo, Qt::Key_Backtab, Qt::AltModifier | Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), form.scrivo);
    QCOMPARE(w.sheet(), QString());

    // scrivo -> esempio -> Parolasi -> back to scrivo; the picture is skipped.
    sendKey(form.scrivo, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    QCOMPARE(QApplication::focusWidget(), form.esempio);
    sendKey(form.esempio, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    QCOMPARE(QApplication::focusWidget(), form.Parolasi);
    sendKey(form.Parolasi, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    QCOMPARE(QApplication::focusWidget(), form.scrivo);
    sendKey(form.scrivo, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), form.Parolasi);
    QVERIFY(w.played().isEmpty());

    // A click on the word-mode button toggles word mode, reads the whole
    // picture list again and hands the focus back to the sheet.
    for (int expected : {0, 1}) {
        form.File1.setPattern(QStringLiteral("c*.*"));
        QTest::mouseClick(form.Parolasi, Qt::LeftButton);
        QCOMPARE(form.Parolasi->value(), expected);
        QCOMPARE(form.File1.pattern(), QStringLiteral("*.*"));
        QCOMPARE(QApplication::focusWidget(), form.scrivo);
    }
    // A click on the greyed button turns word mode on.
    form.Parolasi->setValue(2);
    QTest::mouseClick(form.Parolasi, Qt::LeftButton);
    QCOMPARE(form.Parolasi->value(), 1);
    // Typing goes on in the sheet after a click.
    sendKey(QApplication::focusWidget(), Qt::Key_C, Qt::NoModifier, QStringLiteral("c"));
    QCOMPARE(w.sheet(), QStringLiteral("c"));

    // A value changed from code is taken as a click; the value it has is not.
    form.File1.setPattern(QStringLiteral("c*.*"));
    QVERIFY(form.Parolasi->setValue(1));
    QCOMPARE(form.File1.pattern(), QStringLiteral("c*.*"));
    QVERIFY(form.Parolasi->setValue(0));
    QCOMPARE(form.File1.pattern(), QStringLiteral("*.*"));
}

void TestWindow::keyCodesAndMasks()
{
    using namespace quillo::vk;
    QCOMPARE(vkOf(Qt::Key_Escape), kEscape);
    for (int n = 0; n < 12; ++n)
        QCOMPARE(vkOf(Qt::Key_F1 + n), qint16(kF1 + n));
    QCOMPARE(vkOf(Qt::Key_F12), kF12);
    QCOMPARE(vkOf(Qt::Key_Up), kUp);
    QCOMPARE(vkOf(Qt::Key_Down), kDown);
    QCOMPARE(vkOf(Qt::Key_Left), kLeft);
    QCOMPARE(vkOf(Qt::Key_Right), kRight);
    QCOMPARE(vkOf(Qt::Key_A), qint16('A'));
    QCOMPARE(vkOf(Qt::Key_Q, Qt::AltModifier), kQ);
    QCOMPARE(vkOf(Qt::Key_Z, Qt::ShiftModifier), qint16('Z'));
    QCOMPARE(vkOf(Qt::Key_0), qint16('0'));
    QCOMPARE(vkOf(Qt::Key_7), qint16('7'));
    QCOMPARE(vkOf(Qt::Key_Backspace), kBack);
    QCOMPARE(vkOf(Qt::Key_Return), kReturn);
    QCOMPARE(vkOf(Qt::Key_Enter, Qt::KeypadModifier), kReturn);
    QCOMPARE(vkOf(Qt::Key_Space), kSpace);
    // Shift+1 gives "!" as the key: the digit comes from the X11 key code.
    QCOMPARE(vkOf(Qt::Key_Exclam, Qt::ShiftModifier, 10), qint16('1'));
    QCOMPARE(vkOf(Qt::Key_Equal, Qt::ShiftModifier, 19), qint16('0'));
    QCOMPARE(vkOf(Qt::Key_Egrave, Qt::NoModifier, 34), qint16(0));  // no virtual key of its own

    QCOMPARE(maskOf(Qt::NoModifier), qint16(0));
    QCOMPARE(maskOf(Qt::ShiftModifier), quillo::kShiftBit);
    QCOMPARE(maskOf(Qt::ControlModifier), quillo::kCtrlBit);
    QCOMPARE(maskOf(Qt::AltModifier), quillo::kAltBit);
    QCOMPARE(maskOf(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier),
             qint16(quillo::kShiftBit | quillo::kCtrlBit | quillo::kAltBit));
    QCOMPARE(maskOf(Qt::KeypadModifier | Qt::MetaModifier), qint16(0));
}

void TestWindow::characterReachesHandlerBeforeSheet()
{
    Window w;
    Parla& form = w.form;
    form.Parolasi->setValue(0);  // no example words, only the letter
    w.clearLog();
    QStringList sheetWhilePlaying;
    w.fake.sound->duringPlay = [&] { sheetWhilePlaying.append(w.sheet()); };

    sendKey(form.scrivo, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QCOMPARE(w.played(), QStringList{"a.wav"});
    QCOMPARE(sheetWhilePlaying, QStringList{QString()});
    QCOMPARE(w.sheet(), QStringLiteral("a"));

    // Upper case plays the same recording; a character without one plays the fallback.
    sendKey(form.scrivo, Qt::Key_A, Qt::ShiftModifier, QStringLiteral("A"));
    sendKey(form.scrivo, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    sendKey(form.scrivo, Qt::Key_Exclam, Qt::ShiftModifier, QStringLiteral("!"), 10);
    QCOMPARE(w.played(), (QStringList{"a.wav", "a.wav", "boh.wav", "boh.wav"}));
    QCOMPARE(sheetWhilePlaying, (QStringList{"", "a", "aA", "aAx"}));
    QCOMPARE(w.sheet(), QStringLiteral("aAx!"));

    // In word mode the letter comes first, then the cue and the word.
    form.Parolasi->setValue(1);
    w.clearLog();
    sheetWhilePlaying.clear();
    sendKey(form.scrivo, Qt::Key_C, Qt::NoModifier, QStringLiteral("c"));
    QCOMPARE(w.played(), (QStringList{"c.wav", "d.wav", "casa.wav"}));
    QCOMPARE(sheetWhilePlaying, (QStringList{"aAx!", "aAx!", "aAx!"}));
    QCOMPARE(form.esempio->text(), QStringLiteral("casa"));
    QCOMPARE(w.sheet(), QStringLiteral("aAx!c"));
}

void TestWindow::keyDownComesBeforeKeyPress()
{
    // Escape restores the stored appearance, sound on included, and then is
    // typed: the fallback is heard only if the key-down handler ran first.
    Window w;
    Parla& form = w.form;
    sendKey(form.scrivo, Qt::Key_F11);
    QCOMPARE(form.SoundOff, qint16(-1));
    sendKey(form.scrivo, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QVERIFY(w.played().isEmpty());  // sound off: silent, but typed
    QCOMPARE(w.sheet(), QStringLiteral("a"));

    sendKey(form.scrivo, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
    QCOMPARE(form.SoundOff, qint16(0));
    QCOMPARE(w.played(), QStringList{"boh.wav"});
}

void TestWindow::commandKeysThroughTheSheet()
{
    Window w;
    Parla& form = w.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    sendKey(form.scrivo, Qt::Key_C, Qt::NoModifier, QStringLiteral("c"));
    sendKey(form.scrivo, Qt::Key_O, Qt::NoModifier, QStringLiteral("o"));
    QCOMPARE(w.sheet(), QStringLiteral("co"));

    sendKey(form.scrivo, Qt::Key_F12);  // clears the sheet, types nothing
    QCOMPARE(w.sheet(), QString());
    sendKey(form.scrivo, Qt::Key_F11);
    QCOMPARE(form.SoundOff, qint16(-1));
    sendKey(form.scrivo, Qt::Key_F11);
    QCOMPARE(form.SoundOff, qint16(0));
    // The help box, with Shift too, leaves the sheet as it was.
    sendKey(form.scrivo, Qt::Key_F1, Qt::ShiftModifier);
    QCOMPARE(w.fake.messages->shown.size(), 1);
    QCOMPARE(w.sheet(), QString());

    // Down steps forward through the pictures, Up back; both still move the caret.
    form.scrivo->setPlainText(QStringLiteral("uno\ndue\ntre"));
    form.scrivo->moveCursor(QTextCursor::Start);
    w.clearLog();
    sendKey(form.scrivo, Qt::Key_Down);
    QCOMPARE(form.esempio->text(), QStringLiteral("ape"));
    QCOMPARE(form.scrivo->textCursor().blockNumber(), 1);
    sendKey(form.scrivo, Qt::Key_Down);
    QCOMPARE(form.esempio->text(), QStringLiteral("casa"));
    QCOMPARE(form.scrivo->textCursor().blockNumber(), 2);
    sendKey(form.scrivo, Qt::Key_Up);
    QCOMPARE(form.esempio->text(), QStringLiteral("ape"));
    QCOMPARE(form.scrivo->textCursor().blockNumber(), 1);
    QCOMPARE(w.played(), (QStringList{"ape.wav", "casa.wav", "ape.wav"}));
    QCOMPARE(w.sheet(), QStringLiteral("uno\ndue\ntre"));

    // F4 rounds the corners; with Shift or Ctrl it still does.
    sendKey(form.scrivo, Qt::Key_F4);
    QCOMPARE(form.CornerRadius, qint16(50));
    sendKey(form.scrivo, Qt::Key_F4, Qt::ShiftModifier | Qt::ControlModifier);
    QCOMPARE(form.CornerRadius, qint16(60));
    QCOMPARE(w.fake.exit->quits, 0);
}

void TestWindow::controlKeysGiveControlCharacters()
{
    Window w;
    Parla& form = w.form;
    form.Parolasi->setValue(0);
    sendKey(form.scrivo, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    sendKey(form.scrivo, Qt::Key_O, Qt::NoModifier, QStringLiteral("o"));
    w.clearLog();
    QStringList sheetWhilePlaying;
    w.fake.sound->duringPlay = [&] { sheetWhilePlaying.append(w.sheet()); };

    // Qt leaves the text of these keys empty here; under X11 it is the control character.
    for (const QString& text : {QString(), QStringLiteral("\b")}) {
        sendKey(form.scrivo, Qt::Key_Backspace, Qt::NoModifier, text);
    }
    QCOMPARE(w.played(), (QStringList{"boh.wav", "boh.wav"}));
    QCOMPARE(sheetWhilePlaying, (QStringList{"ao", "a"}));  // the character goes after the sound
    QCOMPARE(w.sheet(), QString());

    w.clearLog();
    sheetWhilePlaying.clear();
    sendKey(form.scrivo, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    sendKey(form.scrivo, Qt::Key_Return);
    sendKey(form.scrivo, Qt::Key_Enter, Qt::KeypadModifier, QStringLiteral("\r"));
    QCOMPARE(w.played(), (QStringList{"a.wav", "boh.wav", "boh.wav"}));
    QCOMPARE(sheetWhilePlaying, (QStringList{"", "a", "a\n"}));
    QCOMPARE(w.sheet(), QStringLiteral("a\n\n"));

    w.clearLog();
    sendKey(form.scrivo, Qt::Key_Escape);
    QCOMPARE(w.played(), QStringList{"boh.wav"});
    QCOMPARE(w.sheet(), QStringLiteral("a\n\n"));

    // F keys and arrows give no character.
    w.clearLog();
    sendKey(form.scrivo, Qt::Key_F5);
    sendKey(form.scrivo, Qt::Key_Left);
    QVERIFY(w.played().isEmpty());
}

void TestWindow::inputMethodCommitReachesHandler()
{
    QTest::failOnWarning(QRegularExpression(QStringLiteral("QRegularExpression")));
    Window w;
    Parla& form = w.form;
    form.Parolasi->setValue(0);
    w.clearLog();
    QStringList sheetWhilePlaying;
    w.fake.sound->duringPlay = [&] { sheetWhilePlaying.append(w.sheet()); };

    commit(form.scrivo, QStringLiteral("è"));
    QCOMPARE(w.played(), QStringList{QStringLiteral("è.wav")});
    QCOMPARE(sheetWhilePlaying, QStringList{QString()});
    QCOMPARE(w.sheet(), QStringLiteral("è"));

    // Each committed character is heard; a surrogate pair is one character.
    w.clearLog();
    commit(form.scrivo, QStringLiteral("a\U0001F34Eo"));
    QCOMPARE(w.played(), (QStringList{"a.wav", "boh.wav", "o.wav"}));
    QCOMPARE(w.sheet(), QStringLiteral("èa\U0001F34Eo"));

    // A character without a recording in a committed pair: just the fallback, no complaint.
    w.clearLog();
    commit(form.scrivo, QStringLiteral("\U0001F34F"));
    QCOMPARE(w.played(), QStringList{"boh.wav"});

    // A commit of nothing (a dead key still waiting) is silent.
    w.clearLog();
    commit(form.scrivo, QString());
    QVERIFY(w.played().isEmpty());
}

void TestWindow::tabReachesNeitherHandler()
{
    Window w;
    Parla& form = w.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(QApplication::focusWidget(), form.scrivo);
    sendKey(form.scrivo, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    w.clearLog();
    const QString word = form.esempio->text();

    sendKey(form.scrivo, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    QCOMPARE(QApplication::focusWidget(), form.esempio);
    QVERIFY(w.played().isEmpty());
    QCOMPARE(w.sheet(), QStringLiteral("a"));
    QCOMPARE(form.esempio->text(), word);

    // Keys on the word box are not the sheet's.
    sendKey(form.esempio, Qt::Key_F12);
    QCOMPARE(w.sheet(), QStringLiteral("a"));
    QVERIFY(w.played().isEmpty());
}

void TestWindow::altGivesNoCharacter()
{
    Window w;
    Parla& form = w.form;
    form.Parolasi->setValue(0);
    w.clearLog();
    sendKey(form.scrivo, Qt::Key_A, Qt::AltModifier, QStringLiteral("a"));
    sendKey(form.scrivo, Qt::Key_C, Qt::AltModifier | Qt::ShiftModifier, QStringLiteral("C"));
    QVERIFY(w.played().isEmpty());
    QCOMPARE(w.sheet(), QString());
    QCOMPARE(w.fake.exit->quits, 0);

    // Alt+F1 restores the base settings, and types nothing either.
    sendKey(form.scrivo, Qt::Key_F1, Qt::AltModifier);
    QVERIFY(w.fake.messages->shown.isEmpty());
    QCOMPARE(w.sheet(), QString());
}

void TestWindow::endingStopsFurtherKeys()
{
    for (int key : {int(Qt::Key_Q), int(Qt::Key_F4)}) {
        Window w;
        Parla& form = w.form;
        form.Parolasi->setValue(0);
        sendKey(form.scrivo, key, Qt::AltModifier, key == Qt::Key_Q ? QStringLiteral("q") : QString());
        QCOMPARE(w.fake.exit->quits, 1);
        QVERIFY(form.ending());
        w.clearLog();
        sendKey(form.scrivo, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        commit(form.scrivo, QStringLiteral("è"));
        sendKey(form.scrivo, Qt::Key_F11);
        QVERIFY(w.played().isEmpty());
        QCOMPARE(w.sheet(), QString());
        QCOMPARE(form.SoundOff, qint16(0));
        QCOMPARE(w.fake.exit->quits, 1);
    }
    // Alt+Q with Ctrl and Shift held ends it too; Ctrl+Q alone does not.
    Window w;
    sendKey(w.form.scrivo, Qt::Key_Q, Qt::ControlModifier, QStringLiteral("\x11"));
    QCOMPARE(w.fake.exit->quits, 0);
    sendKey(w.form.scrivo, Qt::Key_Q, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    QCOMPARE(w.fake.exit->quits, 1);

    // With --hold-to-quit the sheet's keys reach the hold: a quick Alt+Q does
    // nothing, one held down ends the program (the hold itself is
    // test_quit_hold's).
    Window held;
    held.form.quitHold.setEnabled(true);
    held.form.quitHold.setHeldFor(std::chrono::milliseconds(100));
    sendKey(held.form.scrivo, Qt::Key_Q, Qt::AltModifier, QStringLiteral("q"));
    QTest::qWait(200);
    QCOMPARE(held.fake.exit->quits, 0);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Q, Qt::AltModifier, QStringLiteral("q"));
    QCoreApplication::sendEvent(held.form.scrivo, &press);
    QTRY_COMPARE_WITH_TIMEOUT(held.fake.exit->quits, 1, 2000);
}


// Back to corner 0 after F4 went past 180: the sheet's corner pixel on screen
// is the sheet's own colour again, not the window's showing through.
void TestWindow::squareCornersRepaintTheWholeSheet()
{
    Window w;
    Parla& form = w.form;
    form.showCoveringScreen();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto cornerPixel = [&] {
        QCoreApplication::processEvents();
        QTest::qWait(50);
        const QPoint corner = form.scrivo->mapTo(&form, QPoint(1, 1));
        return form.screen()->grabWindow(form.winId()).toImage().pixelColor(corner);
    };
    const QColor square = cornerPixel();
    for (int i = 0; i < 5; ++i)
        sendKey(form.scrivo, Qt::Key_F4);
    QVERIFY(form.CornerRadius > 0);
    QVERIFY(cornerPixel() != square);  // cut
    while (form.CornerRadius != 0)
        sendKey(form.scrivo, Qt::Key_F4);
    QCOMPARE(cornerPixel(), square);
}

QTEST_MAIN(TestWindow)
#include "test_window.moc"
