// The command keys on the writing sheet: which command each key and modifier
// mask runs, and what happens when a command fails. The keys are handed to
// the key-down handler as codes; how real key events reach it is the
// window's test.
#include "app/parla.h"
#include "feedback/typing_handler.h"
#include "commands/window_commands.h"
#include "form/key_codes.h"
#include "form/rounded_region.h"
#include "platform/settings_file/settings_store.h"
#include "support/started_window.h"
#include "support/log_capture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QtTest>

#include <functional>

using quillo::Parla;
using quillo::test::StartedWindow;
using quillo::test::LogCapture;

namespace {

using namespace quillo::vk;
using quillo::kAltBit;
using quillo::kCtrlBit;
using quillo::kShiftBit;
constexpr qint16 kEsc = kEscape;

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

// What a key left on the window and what it played or showed, to compare one
// modifier mask's run of a key with another's.
QString stateOf(Window& w)
{
    const Parla& f = w.form;
    const auto n = [](auto value) { return QString::number(value); };
    return QStringList{f.scrivo->fontName(), n(f.scrivo->font().pointSizeF()), n(f.scrivo->backColor()),
                       n(f.scrivo->foreColor()), f.scrivo->toPlainText(), f.esempio->text(),
                       n(f.File1.selectedIndex()), f.File1.pattern(), n(f.Parolasi->value()), n(f.SoundOff),
                       n(f.CornerRadius), n(f.esempio->isVisibleTo(&f)), n(f.esempiopix->isVisibleTo(&f)),
                       n(f.Parolasi->isVisibleTo(&f)), w.played().join(u','),
                       n(w.fake.messages->shown.size()), n(w.fake.exit->quits)}
        .join(u'|');
}

// A fresh window with something on the sheet and the list narrowed to c.
void prepare(Window& w)
{
    w.form.scrivo->setPlainText(QStringLiteral("ciao"));
    w.form.File1.setPattern(QStringLiteral("c*.*"));
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
    void soundToggle();
    void clearSheetKeepsWord();
    void everyMaskButAltIsTheSameKey();
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

    w.key(kEsc);

    // The stored look, as the settings file's test reads it value by value.
    QCOMPARE(form.scrivo->fontName(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(form.CornerRadius, qint16(60));
    QCOMPARE(form.SoundOff, qint16(0));
    QVERIFY(form.esempio->isVisibleTo(&form));
    QVERIFY(form.esempiopix->isVisibleTo(&form));
    QVERIFY(form.Parolasi->isVisibleTo(&form));
    QCOMPARE(form.scrivo->mask(), expectedOutline(form.scrivo, 60));
    QCOMPARE(form.esempio->mask(), expectedOutline(form.esempio, 60));
}

void TestKeyDispatcher::functionKeysByAltBitOnly()
{
    Window w;
    Parla& form = w.form;
    auto& random = *w.fake.random;

    // F1: the help box with any modifiers but Alt; Alt+F1 the base defaults.
    for (qint16 mask : {qint16(0), kShiftBit, kCtrlBit, qint16(kShiftBit | kCtrlBit)})
        w.key(kF1, mask);
    QCOMPARE(w.fake.messages->shown.size(), 4);
    form.SoundOff = -1;
    w.key(kF1, kAltBit | kCtrlBit);
    QCOMPARE(w.fake.messages->shown.size(), 4);
    QCOMPARE(form.SoundOff, qint16(0));

    // F2: a background colour, even with Shift and Ctrl; Alt+F2 saves.
    random.queued = {0.0};
    w.key(kF2, kShiftBit | kCtrlBit);
    QCOMPARE(form.scrivo->backColor(), 0);
    QVERIFY(!QFileInfo::exists(quillo::SettingsStore::filePath()));
    w.fake.sound->played.clear();
    form.SoundOff = -1;  // the confirmation is heard with the typing sound off too
    w.key(kF2, kAltBit | kShiftBit | kCtrlBit);
    QVERIFY(QFileInfo::exists(quillo::SettingsStore::filePath()));
    QCOMPARE(w.fake.sound->names(), (QStringList{QStringLiteral("o.wav"), QStringLiteral("k.wav")}));
    QCOMPARE(form.scrivo->backColor(), 0);  // saving draws no colour
    QCOMPARE(random.draws, 1);

    // F3, with or without Alt: a text colour.
    random.queued = {0.0, 0.5};
    w.key(kF3);
    QCOMPARE(form.scrivo->foreColor(), 0);
    w.key(kF3, kAltBit);
    QCOMPARE(form.scrivo->foreColor(), 0x800000);
    QCOMPARE(random.draws, 3);

    // F4 and Ctrl+F4: the next corner step, not the end.
    form.CornerRadius = 0;
    w.key(kF4);
    QCOMPARE(form.CornerRadius, qint16(10));
    w.key(kF4, kCtrlBit);
    QCOMPARE(form.CornerRadius, qint16(20));
    QCOMPARE(w.fake.exit->quits, 0);
    QVERIFY(!form.ending());
}

void TestKeyDispatcher::everyMaskButAltIsTheSameKey()
{
    // These keys run one command whatever the modifiers, Alt included: each
    // does its own thing without modifiers, and the same with any of them.
    struct KeyCase {
        qint16 key;
        const char* does;
        std::function<bool(const Parla&)> done;
    };
    const QList<KeyCase> cases{
        {kEsc, "the stored look (none: square corners)", [](const Parla& f) { return f.CornerRadius == 0; }},
        {kF3, "a text colour", [](const Parla& f) { return f.scrivo->foreColor() == 0x800000; }},
        {kF5, "a font", [](const Parla& f) { return f.scrivo->fontName() == QStringLiteral("DejaVu Serif"); }},
        {kF6, "smaller", [](const Parla& f) { return f.scrivo->font().pointSizeF() == 43.0; }},
        {kF7, "larger", [](const Parla& f) { return f.scrivo->font().pointSizeF() == 52.0; }},
        {kF8, "the next word of all", [](const Parla& f) { return f.esempio->text() == QStringLiteral("ape"); }},
        {kDown, "the next word of all", [](const Parla& f) { return f.esempio->text() == QStringLiteral("ape"); }},
        {kUp, "the previous word of c", [](const Parla& f) { return f.esempio->text() == QStringLiteral("casa"); }},
        {kF9, "the words hidden", [](const Parla& f) { return !f.esempio->isVisibleTo(&f); }},
        {kF10, "word mode off, as a click leaves it",
         [](const Parla& f) {
             return f.Parolasi->value() == 0 && f.File1.pattern() == QStringLiteral("*.*")
                    && f.focusWidget() == f.scrivo;
         }},
        {kF11, "sound off", [](const Parla& f) { return f.SoundOff == -1; }},
        {kF12, "a clean sheet", [](const Parla& f) { return f.scrivo->toPlainText().isEmpty(); }},
    };
    for (const KeyCase& c : cases) {
        Window plain;
        prepare(plain);
        plain.form.esempio->setFocus();
        plain.key(c.key);
        QVERIFY2(c.done(plain.form), c.does);
        for (qint16 mask : {kShiftBit, kCtrlBit, kAltBit, qint16(kShiftBit | kCtrlBit | kAltBit)}) {
            Window w;
            prepare(w);
            w.form.esempio->setFocus();
            w.key(c.key, mask);
            QVERIFY2(stateOf(w) == stateOf(plain), qPrintable(QStringLiteral("%1 with mask %2").arg(c.does).arg(mask)));
        }
    }
}

void TestKeyDispatcher::endingKeys()
{
    for (qint16 mask : {kAltBit, qint16(kShiftBit | kAltBit)}) {
        Window w;
        w.form.CornerRadius = 0;
        w.key(kF4, mask);
        QCOMPARE(w.fake.exit->quits, 1);
        QVERIFY(w.form.ending());
        QCOMPARE(w.form.CornerRadius, qint16(0));
    }
    for (qint16 mask : {kAltBit, qint16(kCtrlBit | kAltBit)}) {
        Window w;
        w.key(kQ, mask);
        QCOMPARE(w.fake.exit->quits, 1);
        QVERIFY(w.form.ending());
    }
}

void TestKeyDispatcher::qWithoutAltDoesNothing()
{
    Window w;
    for (qint16 mask : {qint16(0), kShiftBit, kCtrlBit, qint16(kShiftBit | kCtrlBit)})
        w.key(kQ, mask);
    QCOMPARE(w.fake.exit->quits, 0);
    QVERIFY(!w.form.ending());
    QVERIFY(w.fake.sound->played.isEmpty());
}

void TestKeyDispatcher::soundToggle()
{
    Window w;
    Parla& form = w.form;
    w.key(kF11);
    QCOMPARE(form.SoundOff, qint16(-1));
    w.key(kF11, kAltBit);
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

    w.key(kF12, kAltBit);

    QCOMPARE(form.scrivo->toPlainText(), QString());
    QCOMPARE(form.esempio->text(), QStringLiteral("ape"));
    QVERIFY(!form.esempiopix->pixmap().isNull());
    QCOMPARE(form.File1.selectedIndex(), 0);
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
