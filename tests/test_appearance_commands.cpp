// F2, F3: random colours; F5: a random font; F6, F7: smaller and larger
// characters.
#include "app/parla.h"
#include "commands/appearance_commands.h"
#include "support/started_window.h"

#include <QtTest>

using quillo::Parla;
using quillo::WritingSheet;
using quillo::test::StartedWindow;

namespace {

constexpr qint16 kF2 = 113, kF3 = 114, kF5 = 116, kF6 = 117, kF7 = 118;
constexpr double kJustBelowOne = 0.99999999;

struct Window : StartedWindow {
    double size() const { return form.scrivo->fontSize(); }
    double asked() const { return form.scrivo->font().pointSizeF(); }
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
    Window w;
    auto& random = *w.fake.random;
    const int before = random.draws;
    const qint32 text = w.form.scrivo->foreColor();

    random.queued = {0.0};
    w.key(kF2);
    QCOMPARE(w.form.scrivo->backColor(), 0);
    QCOMPARE(random.draws, before + 1);
    QCOMPARE(w.form.scrivo->foreColor(), text);

    random.queued = {kJustBelowOne};
    w.key(kF2, 1 | 2);
    QVERIFY(w.form.scrivo->backColor() >= 0 && w.form.scrivo->backColor() <= 16777215);
    QCOMPARE(random.draws, before + 2);
    // The colour reaches the sheet's palette as 0x00BBGGRR.
    QCOMPARE(w.form.scrivo->palette().color(QPalette::Base), QColor(255, 255, 255));

    const qint32 back = w.form.scrivo->backColor();
    random.queued = {0.0};
    w.key(kF3);
    QCOMPARE(w.form.scrivo->foreColor(), 0);
    QCOMPARE(random.draws, before + 3);
    random.queued = {kJustBelowOne};
    w.key(kF3, 4);
    QVERIFY(w.form.scrivo->foreColor() >= 0 && w.form.scrivo->foreColor() <= 16777215);
    QCOMPARE(random.draws, before + 4);
    QCOMPARE(w.form.scrivo->backColor(), back);

    random.queued = {double(0x0000FF) / 16777216.0};  // pure red as 0x00BBGGRR
    w.key(kF3);
    QCOMPARE(w.form.scrivo->foreColor(), 0x0000FF);
    QCOMPARE(w.form.scrivo->palette().color(QPalette::Text), QColor(255, 0, 0));
}

void TestAppearanceCommands::randomFont()
{
    Window w;
    auto& random = *w.fake.random;
    w.fake.fonts->families_ = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};

    random.queued = {0.0};
    w.key(kF5);
    QCOMPARE(w.form.scrivo->fontName(), QStringLiteral("A"));
    random.queued = {kJustBelowOne};
    w.key(kF5);
    QCOMPARE(w.form.scrivo->fontName(), QStringLiteral("C"));
    random.queued = {0.5};
    w.key(kF5, 4);
    QCOMPARE(w.form.scrivo->fontName(), QStringLiteral("B"));
    QVERIFY(w.form.scrivo->font().bold());

    // No usable family: the font stays.
    w.fake.fonts->families_.clear();
    const QFont before = w.form.scrivo->font();
    random.queued = {0.0};
    w.key(kF5);
    QCOMPARE(w.form.scrivo->font(), before);
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
    Window w;
    QCOMPARE(w.size(), 48.0);
    w.key(kF6);
    QCOMPARE(w.asked(), 43.0);
    QVERIFY(w.size() > 42 && w.size() < 44);

    w.form.scrivo->setFontSize(1);
    for (int i = 0; i < 3; ++i) {
        w.key(kF6, 1 | 2 | 4);
        QCOMPARE(w.asked(), WritingSheet::kMinFontSize);
    }
    QVERIFY(w.size() > 0);

    // Pressed again and again from the start, it only ever shrinks and never
    // asks for less than one point.
    w.form.scrivo->setFontSize(48);
    double previous = w.asked();
    for (int i = 0; i < 40; ++i) {
        w.key(kF6);
        QVERIFY(w.asked() >= WritingSheet::kMinFontSize);
        QVERIFY(w.asked() <= previous);
        previous = w.asked();
    }
}

void TestAppearanceCommands::largerCharacters()
{
    Window w;
    w.key(kF7);
    QCOMPARE(w.asked(), 52.0);
    QVERIFY(w.size() > 48);

    // 9 reads back as 9; 9.9 floors to 9, which is not larger, so old + 1.
    w.form.scrivo->setFontSize(9);
    QCOMPARE(w.size(), 9.0);
    w.key(kF7);
    QCOMPARE(w.asked(), 10.0);

    w.form.scrivo->setFontSize(8.25);
    QCOMPARE(w.size(), 8.25);
    w.key(kF7);
    QCOMPARE(w.asked(), 9.0);
    QCOMPARE(w.size(), 9.0);

    // From the smallest size every press shows larger characters.
    w.form.scrivo->setFontSize(1);
    double previous = w.size();
    for (int i = 0; i < 12; ++i) {
        w.key(kF7);
        QVERIFY2(w.size() > previous, qPrintable(QString::number(w.size())));
        previous = w.size();
    }

    // Never above the largest size, even when pressed again there.
    w.form.scrivo->setFontSize(480);
    w.key(kF7);
    QVERIFY(w.asked() <= WritingSheet::kMaxFontSize);
    w.key(kF7);
    w.key(kF7);
    QCOMPARE(w.asked(), WritingSheet::kMaxFontSize);
    QVERIFY(w.size() < WritingSheet::kMaxFontSize + 1);  // within a pixel
}

QTEST_MAIN(TestAppearanceCommands)
#include "test_appearance_commands.moc"
