// The command keys on the writing sheet: which command each key and modifier
// mask runs, and what happens when a command fails.
#include "app/parla.h"
#include "feedback/typing_handler.h"
#include "commands/window_commands.h"
#include "form/rounded_region.h"
#include "platform/files/settings_store.h"
#include "support/started_window.h"
#include "support/log_capture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QtTest>

using quillo::Parla;
using quillo::test::StartedWindow;
using quillo::test::LogCapture;

namespace {

constexpr qint16 kShift = 1, kCtrl = 2, kAlt = 4;
constexpr qint16 kEsc = 27, kUp = 38, kDown = 40, kQ = 81;
constexpr qint16 kF1 = 112, kF2 = 113, kF3 = 114, kF4 = 115, kF8 = 119, kF11 = 122, kF12 = 123;

// A window on fake services, started up; without pictures it has only d.wav.
struct Window : StartedWindow {
    explicit Window(bool withPictures = true) : StartedWindow(Start::Later)
    {
        if (withPictures)
            media.addBasics();
        else
            media.addLetter(QStringLiteral("d.wav"));
        start();
    }
};

void writeStoredSettings(const QByteArray& ini)
{
    const QString path = quillo::SettingsStore::filePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(ini);
}

QRegion expectedOutline(const QWidget* control, int corner)
{
    return quillo::roundedRectRegion(control->width(), control->height(), corner, corner);
}

}  // namespace

class TestKeyDispatcher : public QObject {
    Q_OBJECT

private slots:
    void init() { QFile::remove(quillo::SettingsStore::filePath()); }

    void escapeAppliesStoredAppearanceAndShowsWords();
    void functionKeysByAltBitOnly();
    void endingKeys();
    void qWithoutAltDoesNothing();
    void cornerSteps();
    void soundToggle();
    void clearSheetKeepsWord();
    void upAndDownStillMoveTheCaret();
    void realKeyEventsReachTheCommands();
    void failingCommandReportsAndKeepsChanges();
};

void TestKeyDispatcher::escapeAppliesStoredAppearanceAndShowsWords()
{
    writeStoredSettings("[Screen]\nFontname=DejaVu Serif\nFontsize=30\nBackcolor=255\nForecolor=65280\nCirc=60\n"
                        "[App]\nParolasi=0\n");
    Window w;
    Parla& form = w.form;
    form.SoundOff = -1;
    form.esempio->hide();
    form.esempiopix->hide();
    form.Parolasi->hide();

    w.key(kEsc, kShift | kCtrl);  // modifiers other than Alt change nothing

    QCOMPARE(form.scrivo->fontName(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(form.scrivo->fontSize(), 30.0);
    QCOMPARE(form.scrivo->backColor(), 255);
    QCOMPARE(form.scrivo->foreColor(), 65280);
    QCOMPARE(form.CornerRadius, qint16(60));
    QCOMPARE(form.Parolasi->value(), 0);
    QCOMPARE(form.SoundOff, qint16(0));
    QVERIFY(form.esempio->isVisibleTo(&form));
    QVERIFY(form.esempiopix->isVisibleTo(&form));
    QVERIFY(form.Parolasi->isVisibleTo(&form));
    QCOMPARE(form.scrivo->mask(), expectedOutline(form.scrivo, 60));
    QCOMPARE(form.esempio->mask(), expectedOutline(form.esempio, 60));

    // Esc with Alt is the same key.
    form.SoundOff = -1;
    form.esempio->hide();
    w.key(kEsc, kAlt);
    QCOMPARE(form.SoundOff, qint16(0));
    QVERIFY(form.esempio->isVisibleTo(&form));
}

void TestKeyDispatcher::functionKeysByAltBitOnly()
{
    Window w;
    Parla& form = w.form;
    auto& random = *w.fake.random;

    // F1: the help box with any modifiers but Alt; Alt+F1 the base defaults.
    for (qint16 mask : {qint16(0), kShift, kCtrl, qint16(kShift | kCtrl)})
        w.key(kF1, mask);
    QCOMPARE(w.fake.messages->shown.size(), 4);
    form.SoundOff = -1;
    w.key(kF1, kAlt | kCtrl);
    QCOMPARE(w.fake.messages->shown.size(), 4);
    QCOMPARE(form.SoundOff, qint16(0));

    // F2: a background colour, even with Shift and Ctrl; Alt+F2 saves.
    random.queued = {0.0};
    w.key(kF2, kShift | kCtrl);
    QCOMPARE(form.scrivo->backColor(), 0);
    QVERIFY(!QFileInfo::exists(quillo::SettingsStore::filePath()));
    w.fake.sound->played.clear();
    w.key(kF2, kAlt);
    QVERIFY(QFileInfo::exists(quillo::SettingsStore::filePath()));
    QCOMPARE(w.fake.sound->names(), (QStringList{QStringLiteral("o.wav"), QStringLiteral("k.wav")}));
    QCOMPARE(form.scrivo->backColor(), 0);  // saving draws no colour
    QCOMPARE(random.draws, 1);

    // F3, with or without Alt: a text colour.
    random.queued = {0.0, 0.5};
    w.key(kF3);
    QCOMPARE(form.scrivo->foreColor(), 0);
    w.key(kF3, kAlt);
    QCOMPARE(form.scrivo->foreColor(), 0x800000);
    QCOMPARE(random.draws, 3);

    // F4 and Ctrl+F4: the next corner step, not the end.
    form.CornerRadius = 0;
    w.key(kF4);
    QCOMPARE(form.CornerRadius, qint16(10));
    w.key(kF4, kCtrl);
    QCOMPARE(form.CornerRadius, qint16(20));
    QCOMPARE(w.fake.exit->quits, 0);
    QVERIFY(!form.ending());
}

void TestKeyDispatcher::endingKeys()
{
    for (qint16 mask : {kAlt, qint16(kShift | kAlt)}) {
        Window w;
        w.form.CornerRadius = 0;
        w.key(kF4, mask);
        QCOMPARE(w.fake.exit->quits, 1);
        QVERIFY(w.form.ending());
        QCOMPARE(w.form.CornerRadius, qint16(0));
    }
    for (qint16 mask : {kAlt, qint16(kCtrl | kAlt)}) {
        Window w;
        w.key(kQ, mask);
        QCOMPARE(w.fake.exit->quits, 1);
        QVERIFY(w.form.ending());
    }
}

void TestKeyDispatcher::qWithoutAltDoesNothing()
{
    Window w;
    for (qint16 mask : {qint16(0), kShift, kCtrl, qint16(kShift | kCtrl)})
        w.key(kQ, mask);
    QCOMPARE(w.fake.exit->quits, 0);
    QVERIFY(!w.form.ending());
    QVERIFY(w.fake.sound->played.isEmpty());
}

void TestKeyDispatcher::cornerSteps()
{
    using quillo::nextCornerValue;
    QCOMPARE(nextCornerValue(0), short(10));
    QCOMPARE(nextCornerValue(170), short(180));
    QCOMPARE(nextCornerValue(175), short(0));
    QCOMPARE(nextCornerValue(180), short(0));
    QCOMPARE(nextCornerValue(-40), short(-30));
    QCOMPARE(nextCornerValue(32760), short(0));
    QCOMPARE(nextCornerValue(32767), short(0));
    QCOMPARE(nextCornerValue(-32768), short(-32758));

    Window w;
    Parla& form = w.form;
    form.CornerRadius = 0;
    QList<qint16> seen;
    for (int press = 0; press < 19; ++press) {
        const QRegion before = form.scrivo->mask();
        w.key(kF4);
        seen.append(form.CornerRadius);
        QCOMPARE(form.scrivo->mask(), expectedOutline(form.scrivo, form.CornerRadius));
        QCOMPARE(form.esempio->mask(), expectedOutline(form.esempio, form.CornerRadius));
        if (form.CornerRadius >= 2)
            QVERIFY(form.scrivo->mask() != before);
    }
    QCOMPARE(seen.first(), qint16(10));
    QCOMPARE(seen.at(17), qint16(180));
    QCOMPARE(seen.last(), qint16(0));
    QCOMPARE(form.scrivo->mask(), QRegion(0, 0, form.scrivo->width(), form.scrivo->height()));

    // A stored value far out of the cycle comes back to 0; a negative one climbs.
    form.CornerRadius = 32760;
    w.key(kF4);
    QCOMPARE(form.CornerRadius, qint16(0));
    form.CornerRadius = -40;
    w.key(kF4);
    QCOMPARE(form.CornerRadius, qint16(-30));
    QCOMPARE(form.esempio->mask(), expectedOutline(form.esempio, -30));
}

void TestKeyDispatcher::soundToggle()
{
    Window w;
    Parla& form = w.form;
    w.key(kF11);
    QCOMPARE(form.SoundOff, qint16(-1));
    w.key(kF11, kAlt);
    QCOMPARE(form.SoundOff, qint16(0));

    // Sound off: typing is silent.
    w.key(kF11);
    scrivo_KeyPress(form, QStringLiteral("a"));
    QVERIFY(w.fake.sound->played.isEmpty());

    w.key(kEsc);
    QCOMPARE(form.SoundOff, qint16(0));
}

void TestKeyDispatcher::clearSheetKeepsWord()
{
    Window w;
    Parla& form = w.form;
    w.key(kF8);
    QCOMPARE(form.esempio->text(), QStringLiteral("ape"));
    QVERIFY(!form.esempiopix->pixmap().isNull());
    form.scrivo->setPlainText(QStringLiteral("ciao\nmamma"));

    w.key(kF12, kAlt);

    QCOMPARE(form.scrivo->toPlainText(), QString());
    QCOMPARE(form.esempio->text(), QStringLiteral("ape"));
    QVERIFY(!form.esempiopix->pixmap().isNull());
    QCOMPARE(form.File1.selectedIndex(), 0);
}

void TestKeyDispatcher::upAndDownStillMoveTheCaret()
{
    Window w;
    Parla& form = w.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.scrivo->setPlainText(QStringLiteral("uno\ndue\ntre"));
    form.scrivo->moveCursor(QTextCursor::Start);
    w.fake.sound->played.clear();

    QTest::keyClick(form.scrivo, Qt::Key_Down);
    QCOMPARE(form.scrivo->textCursor().blockNumber(), 1);
    QCOMPARE(form.File1.selectedIndex(), 0);
    QCOMPARE(form.esempio->text(), QStringLiteral("ape"));

    QTest::keyClick(form.scrivo, Qt::Key_Down);
    QCOMPARE(form.scrivo->textCursor().blockNumber(), 2);
    QCOMPARE(form.esempio->text(), QStringLiteral("casa"));

    QTest::keyClick(form.scrivo, Qt::Key_Up);
    QCOMPARE(form.scrivo->textCursor().blockNumber(), 1);
    QCOMPARE(form.esempio->text(), QStringLiteral("ape"));

    QCOMPARE(w.fake.sound->names(),
             (QStringList{QStringLiteral("ape.wav"), QStringLiteral("casa.wav"), QStringLiteral("ape.wav")}));
    QCOMPARE(form.scrivo->toPlainText(), QStringLiteral("uno\ndue\ntre"));
}

void TestKeyDispatcher::realKeyEventsReachTheCommands()
{
    Window w;
    Parla& form = w.form;

    QTest::keyClick(form.scrivo, Qt::Key_F11);
    QCOMPARE(form.SoundOff, qint16(-1));

    QTest::keyClick(form.scrivo, Qt::Key_F1, Qt::ShiftModifier);
    QCOMPARE(w.fake.messages->shown.size(), 1);

    form.CornerRadius = 0;
    QTest::keyClick(form.scrivo, Qt::Key_F4, Qt::ControlModifier);
    QCOMPARE(form.CornerRadius, qint16(10));

    QTest::keyClick(form.scrivo, Qt::Key_Escape);
    QCOMPARE(form.SoundOff, qint16(0));

    QTest::keyClick(form.scrivo, Qt::Key_Q, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(w.fake.exit->quits, 1);
    QVERIFY(form.ending());
    // Once ending, keys go nowhere.
    QTest::keyClick(form.scrivo, Qt::Key_F11);
    QCOMPARE(form.SoundOff, qint16(0));
}

void TestKeyDispatcher::failingCommandReportsAndKeepsChanges()
{
    {
        // Up with no pictures at all: the empty name cannot be shown.
        Window w(false);
        Parla& form = w.form;
        LogCapture err;
        w.key(kUp);
        const QString text = err.text();
        QVERIFY2(text.contains(QStringLiteral("command key 38")), qPrintable(text));
        QCOMPARE(form.File1.selectedIndex(), -1);
        QCOMPARE(form.esempio->text(), QString());
        // The program goes on.
        w.key(kF11);
        QCOMPARE(form.SoundOff, qint16(-1));
    }
    {
        // Down onto a picture that does not decode: the word and the
        // selection it set stay.
        Window w(false);
        w.media.addFile(QStringLiteral("immagini/rotto.png"), "not a picture");
        Parla& form = w.form;
        form.File1.setPattern(QStringLiteral("x*.*"));
        LogCapture err;
        w.key(kDown);
        const QString text = err.text();
        QVERIFY2(text.contains(QStringLiteral("command key 40")), qPrintable(text));
        QCOMPARE(text.count(u'\n'), 1);
        QCOMPARE(form.File1.pattern(), QStringLiteral("*.*"));
        QCOMPARE(form.File1.selectedIndex(), 0);
        QCOMPARE(form.esempio->text(), QStringLiteral("rotto"));
        QVERIFY(w.fake.sound->played.isEmpty());
        w.key(kF11);
        QCOMPARE(form.SoundOff, qint16(-1));
    }
}

int main(int argc, char** argv)
{
    // The settings path is fixed at the first use of the store.
    quillo::test::TemporaryConfigHome config;
    QApplication app(argc, argv);
    TestKeyDispatcher test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_key_dispatcher.moc"
