// F2, F3: random colours; F5: a random font; F6, F7: smaller and larger
// characters. The commands see only the sheet, the fonts and the random
// numbers; which key runs which command is the dispatcher's test.
#include "commands/appearance_commands.h"
#include "form/cursor_rest.h"
#include "form/writing_sheet.h"
#include "support/fake_platform.h"

#include <QtTest>

using quillo::WritingSheet;

namespace {

constexpr double kJustBelowOne = 0.99999999;

// A sheet of its own, with the fonts and random numbers the commands draw from.
struct Rig {
    WritingSheet sheet;
    quillo::test::ScriptedRandom random;
    quillo::test::FixedFontList fonts{{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}};

    double size() const { return sheet.fontSize(); }
    double asked() const { return sheet.font().pointSizeF(); }
    void background() { quillo::randomBackgroundColour(sheet, random); }
    void text() { quillo::randomTextColour(sheet, random); }
    void font() { quillo::randomFont(sheet, fonts, random); }
    void smaller() { quillo::smallerCharacters(sheet); }
    void larger() { quillo::largerCharacters(sheet); }
};

}  // namespace

class TestAppearanceCommands : public QObject {
    Q_OBJECT

private slots:
    void colourDraws();
    void randomColours();
    void randomFont();
    void sizeArithmetic();
    void smallerCharacters();
    void largerCharacters();
    void cursorRestsAndWakes();
};

void TestAppearanceCommands::colourDraws()
{
    QCOMPARE(quillo::colourFromDraw(0.0), 0);
    QCOMPARE(quillo::colourFromDraw(0.5), 0x800000);
    QCOMPARE(quillo::colourFromDraw(kJustBelowOne), 16777215);
    QCOMPARE(quillo::colourFromDraw(std::nextafter(1.0, 0.0)), 16777215);
}

void TestAppearanceCommands::randomColours()
{
    Rig w;
    auto& random = w.random;
    const int before = random.draws;
    const qint32 text = w.sheet.foreColor();

    random.queued = {0.0};
    w.background();
    QCOMPARE(w.sheet.backColor(), 0);
    QCOMPARE(random.draws, before + 1);
    QCOMPARE(w.sheet.foreColor(), text);

    random.queued = {kJustBelowOne};
    w.background();
    QVERIFY(w.sheet.backColor() >= 0 && w.sheet.backColor() <= 16777215);
    QCOMPARE(random.draws, before + 2);
    // The colour reaches the sheet's palette as 0x00BBGGRR.
    QCOMPARE(w.sheet.palette().color(QPalette::Base), QColor(255, 255, 255));

    const qint32 back = w.sheet.backColor();
    random.queued = {0.0};
    w.text();
    QCOMPARE(w.sheet.foreColor(), 0);
    QCOMPARE(random.draws, before + 3);
    random.queued = {kJustBelowOne};
    w.text();
    QVERIFY(w.sheet.foreColor() >= 0 && w.sheet.foreColor() <= 16777215);
    QCOMPARE(random.draws, before + 4);
    QCOMPARE(w.sheet.backColor(), back);

    random.queued = {double(0x0000FF) / 16777216.0};  // pure red as 0x00BBGGRR
    w.text();
    QCOMPARE(w.sheet.foreColor(), 0x0000FF);
    QCOMPARE(w.sheet.palette().color(QPalette::Text), QColor(255, 0, 0));
}

void TestAppearanceCommands::randomFont()
{
    Rig w;
    auto& random = w.random;

    random.queued = {0.0};
    w.font();
    QCOMPARE(w.sheet.fontName(), QStringLiteral("A"));
    random.queued = {kJustBelowOne};
    w.font();
    QCOMPARE(w.sheet.fontName(), QStringLiteral("C"));
    random.queued = {0.5};
    w.font();
    QCOMPARE(w.sheet.fontName(), QStringLiteral("B"));
    QVERIFY(w.sheet.font().bold());

    // No usable family: the font stays.
    w.fonts.families_.clear();
    const QFont before = w.sheet.font();
    random.queued = {0.0};
    w.font();
    QCOMPARE(w.sheet.font(), before);
}

void TestAppearanceCommands::sizeArithmetic()
{
    using quillo::largerSize;
    using quillo::smallerSize;
    using quillo::tenthOf;
    QCOMPARE(tenthOf(48), 4.8);
    QCOMPARE(tenthOf(8.25), 0.825);
    QCOMPARE(smallerSize(48), 43.0);
    QCOMPARE(smallerSize(10), 9.0);
    QCOMPARE(smallerSize(5), 4.0);
    QCOMPARE(smallerSize(2), 1.0);
    QCOMPARE(smallerSize(1), 0.0);  // the sheet keeps it at 1
    QCOMPARE(largerSize(48), 52.0);
    QCOMPARE(largerSize(9), 9.0);  // 9.9 floors to 9: F7 then adds one itself
    QCOMPARE(largerSize(8.25), 9.0);
}

// The sheet reads the size back from the font system, which realises whole
// pixels (at 96 dpi 43 points read back as 42.75), so the size each key asks
// for is checked as well as what the sheet then reports.
void TestAppearanceCommands::smallerCharacters()
{
    Rig w;
    QCOMPARE(w.size(), 48.0);
    w.smaller();
    QCOMPARE(w.asked(), 43.0);
    QVERIFY(w.size() > 42 && w.size() < 44);

    w.sheet.setFontSize(1);
    for (int i = 0; i < 3; ++i) {
        w.smaller();
        QCOMPARE(w.asked(), WritingSheet::kMinFontSize);
    }
    QVERIFY(w.size() > 0);

    // Pressed again and again from the start, it only ever shrinks and never
    // asks for less than one point.
    w.sheet.setFontSize(48);
    double previous = w.asked();
    for (int i = 0; i < 40; ++i) {
        w.smaller();
        QVERIFY(w.asked() >= WritingSheet::kMinFontSize);
        QVERIFY(w.asked() <= previous);
        previous = w.asked();
    }
}

void TestAppearanceCommands::largerCharacters()
{
    Rig w;
    w.larger();
    QCOMPARE(w.asked(), 52.0);
    QVERIFY(w.size() > 48);

    // 9 reads back as 9; 9.9 floors to 9, which is not larger, so old + 1.
    w.sheet.setFontSize(9);
    QCOMPARE(w.size(), 9.0);
    w.larger();
    QCOMPARE(w.asked(), 10.0);

    w.sheet.setFontSize(8.25);
    QCOMPARE(w.size(), 8.25);
    w.larger();
    QCOMPARE(w.asked(), 9.0);
    QCOMPARE(w.size(), 9.0);

    // From the smallest size every press shows larger characters.
    w.sheet.setFontSize(1);
    double previous = w.size();
    for (int i = 0; i < 12; ++i) {
        w.larger();
        QVERIFY2(w.size() > previous, qPrintable(QString::number(w.size())));
        previous = w.size();
    }

    // Never above the largest size, even when pressed again there.
    w.sheet.setFontSize(480);
    w.larger();
    QVERIFY(w.asked() <= WritingSheet::kMaxFontSize);
    w.larger();
    w.larger();
    QCOMPARE(w.asked(), WritingSheet::kMaxFontSize);
    QVERIFY(w.size() < WritingSheet::kMaxFontSize + 1);  // within a pixel
}

QTEST_MAIN(TestAppearanceCommands)
// Left alone, the sheet's cursor stops blinking (nothing repaints an idle
// toy) and stays lit; a key sets it blinking again at the desktop's pace.
void TestAppearanceCommands::cursorRestsAndWakes()
{
    const int desktop = QApplication::cursorFlashTime();
    QApplication::setCursorFlashTime(1000);
    quillo::WritingSheet sheet;
    quillo::CursorRest rest(&sheet, 50);
    QVERIFY(!rest.resting());
    QTRY_VERIFY(rest.resting());
    QCOMPARE(QApplication::cursorFlashTime(), 0);
    sheet.insertPlainText(QStringLiteral("a"));
    QVERIFY(!rest.resting());
    QCOMPARE(QApplication::cursorFlashTime(), 1000);
    QTRY_VERIFY(rest.resting());
    sheet.moveCursor(QTextCursor::Start);
    QCOMPARE(QApplication::cursorFlashTime(), 1000);
    QApplication::setCursorFlashTime(desktop);
}

#include "test_appearance_commands.moc"
