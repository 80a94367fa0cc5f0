// Rounded outlines: the region, twips to pixels, and the corner steps of F4
// with both outlines following.
#include "commands/window_commands.h"
#include "form/rounded_outline.h"
#include "form/rounded_region.h"
#include "form/twips.h"

#include <QLineEdit>
#include <QPlainTextEdit>

#include <QElapsedTimer>
#include <QtTest>

#include <cmath>
#include <limits>

using quillo::roundedRectRegion;

namespace {

QString describe(const QRegion& region)
{
    QStringList rects;
    for (const QRect& r : region)
        rects.append(QStringLiteral("(%1,%2 %3x%4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()));
    return rects.join(u' ');
}

}  // namespace

class TestRoundedRegion : public QObject {
    Q_OBJECT

private slots:
    void smallCornersGiveTheFullRectangle();
    void cornersAreCutSymmetrically();
    void oversizedCornersStayInside();
    void twipsRoundHalfToEven();
    void cornerStepsShapeBothOutlines();
};

void TestRoundedRegion::smallCornersGiveTheFullRectangle()
{
    for (int corner : {0, 1, -1}) {
        QCOMPARE(roundedRectRegion(300, 200, corner, corner), QRegion(0, 0, 300, 200));
        QCOMPARE(roundedRectRegion(300, 200, corner, 40), QRegion(0, 0, 300, 200));
    }
    QVERIFY(roundedRectRegion(0, 0, 0, 0).isEmpty());
    QVERIFY(roundedRectRegion(-5, 10, 0, 0).isEmpty());
}

void TestRoundedRegion::cornersAreCutSymmetrically()
{
    const QRegion region = roundedRectRegion(300, 200, 10, 10);
    QCOMPARE(roundedRectRegion(300, 200, 10, 10), region);  // the same every time
    // The right column and the bottom row stay outside.
    QCOMPARE(region.boundingRect(), QRect(0, 0, 299, 199));
    for (int y = 0; y < 200; ++y)
        QVERIFY(!region.contains(QPoint(299, y)));
    for (int x = 0; x < 300; ++x)
        QVERIFY(!region.contains(QPoint(x, 199)));

    QVERIFY(!region.contains(QPoint(0, 0)));
    QVERIFY(region.contains(QPoint(5, 5)));
    QVERIFY(region.contains(QPoint(5, 0)));  // the middle of the top edge of the corner
    QVERIFY(region.contains(QPoint(0, 5)));
    // The middle row spans 0..298.
    QVERIFY(region.contains(QPoint(0, 100)));
    QVERIFY(region.contains(QPoint(298, 100)));
    for (int x = 0; x < 299; ++x)
        QVERIFY(region.contains(QPoint(x, 100)));

    // The four corners mirror each other exactly, about x = 149 and y = 99.
    int outside = 0;
    for (int y = 0; y < 199; ++y) {
        for (int x = 0; x < 299; ++x) {
            const bool in = region.contains(QPoint(x, y));
            if (!in)
                ++outside;
            QVERIFY2(in == region.contains(QPoint(298 - x, y)), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            QVERIFY2(in == region.contains(QPoint(x, 198 - y)), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            if (x >= 10 && x < 289)
                QVERIFY(in);  // nothing is cut away from between the corners
        }
    }
    // A few pixels are cut from each corner, and the same number from each.
    QVERIFY2(outside > 4 && outside % 4 == 0 && outside < 4 * 25, qPrintable(QString::number(outside)));

    // A wider corner cuts deeper.
    const QRegion wide = roundedRectRegion(300, 200, 50, 50);
    QVERIFY(!wide.contains(QPoint(5, 5)));
    QVERIFY(wide.contains(QPoint(25, 25)));
    QVERIFY(wide.contains(QPoint(25, 0)));
    QCOMPARE(wide.boundingRect(), QRect(0, 0, 299, 199));
}

void TestRoundedRegion::oversizedCornersStayInside()
{
    struct Case {
        int w, h, ew, eh;
    };
    const QList<Case> cases{
        {300, 40, 180, 180}, {300, 40, 32767, 32767}, {300, 40, -50, -50}, {40, 300, 180, 180},
        {300, 200, std::numeric_limits<int>::max(), std::numeric_limits<int>::max()},
        {300, 200, std::numeric_limits<int>::min(), std::numeric_limits<int>::min()},
        {300, 40, 180, 10}, {300, 40, 4, 180}, {5, 5, 180, 180}, {4, 4, 180, 180},
    };
    for (const Case& c : cases) {
        const QString what = QStringLiteral("%1x%2 corner %3x%4").arg(c.w).arg(c.h).arg(c.ew).arg(c.eh);
        QElapsedTimer timer;
        timer.start();
        const QRegion region = roundedRectRegion(c.w, c.h, c.ew, c.eh);
        QVERIFY2(timer.elapsed() < 500, qPrintable(what));
        QVERIFY2(!region.isEmpty(), qPrintable(what));
        QVERIFY2(QRect(0, 0, c.w - 1, c.h - 1).contains(region.boundingRect()),
                 qPrintable(what + u' ' + describe(region)));
    }
    // A negative corner is the same as a positive one.
    QCOMPARE(roundedRectRegion(300, 40, -50, -50), roundedRectRegion(300, 40, 50, 50));
    // Tiny boxes: nothing to show perhaps, but no crash.
    for (int side = 0; side <= 3; ++side)
        for (int corner : {0, 2, 3, 180, 32767})
            roundedRectRegion(side, side, corner, corner);
}

void TestRoundedRegion::twipsRoundHalfToEven()
{
    using quillo::roundHalfEven;
    using quillo::twipsToPixels;
    QCOMPARE(twipsToPixels(250, 15), 17);
    QCOMPARE(twipsToPixels(30, 12), 2);   // 2.5
    QCOMPARE(twipsToPixels(42, 12), 4);   // 3.5
    QCOMPARE(twipsToPixels(18, 12), 2);   // 1.5
    QCOMPARE(twipsToPixels(7.5 * 15, 15), 8);
    QCOMPARE(twipsToPixels(12132, 15), 809);
    QCOMPARE(roundHalfEven(6.5), 6);
    QCOMPARE(roundHalfEven(-2.5), -2);
    QCOMPARE(roundHalfEven(-3.5), -4);
    QCOMPARE(roundHalfEven(0.49999), 0);
    QCOMPARE(roundHalfEven(std::nan("")), 0);
    QCOMPARE(roundHalfEven(1e300), std::numeric_limits<int>::max());
    QCOMPARE(roundHalfEven(-1e300), std::numeric_limits<int>::min());
    QCOMPARE(quillo::twipsToPixels(quillo::TwipsRect{120, 1440, 12132, 7332}, 15, 15), QRect(8, 96, 809, 489));
    QCOMPARE(quillo::twipsToPixels(quillo::TwipsRect{0, 0, -300, 30}, 15, 12), QRect(0, 0, 0, 2));
}

void TestRoundedRegion::cornerStepsShapeBothOutlines()
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

    // The sheet and the word box at the sizes start-up gives them on a
    // 1024x768 screen.
    QPlainTextEdit sheet;
    QLineEdit word;
    const QSize sheetSize(1009, 665), wordSize(617, 81);
    sheet.resize(sheetSize);
    word.resize(wordSize);
    qint16 corner = 0;
    const quillo::Corners corners{corner, {sheet, sheetSize}, {word, wordSize}};
    const auto outline = [](QSize size, int c) { return roundedRectRegion(size.width(), size.height(), c, c); };

    QList<qint16> seen;
    for (int press = 0; press < 19; ++press) {
        const QRegion before = sheet.mask();
        quillo::nextCornerStep(corners);
        seen.append(corner);
        QCOMPARE(sheet.mask(), outline(sheetSize, corner));
        QCOMPARE(word.mask(), outline(wordSize, corner));
        if (corner >= 2)
            QVERIFY(sheet.mask() != before);
        if (corner == 50) {
            QVERIFY(!sheet.mask().contains(QPoint(0, 0)));
            QVERIFY(sheet.mask().contains(QPoint(sheetSize.width() / 2, sheetSize.height() / 2)));
        }
    }
    QCOMPARE(seen.first(), qint16(10));
    QCOMPARE(seen.at(17), qint16(180));
    QVERIFY(!seen.contains(qint16(190)));
    QCOMPARE(seen.last(), qint16(0));
    QVERIFY(sheet.mask().isEmpty() || sheet.mask() == QRegion(0, 0, sheetSize.width(), sheetSize.height()));

    // At 180 the word box, lower than the corner, still shows.
    corner = 170;
    quillo::nextCornerStep(corners);
    QVERIFY(!word.mask().isEmpty());

    // A stored value far out of the cycle comes back to 0; a negative one climbs.
    corner = 32760;
    quillo::nextCornerStep(corners);
    QCOMPARE(corner, qint16(0));
    corner = -40;
    quillo::nextCornerStep(corners);
    QCOMPARE(corner, qint16(-30));
    QCOMPARE(word.mask(), outline(wordSize, -30));
}

QTEST_MAIN(TestRoundedRegion)
#include "test_rounded_region.moc"
