// The picture loader: huge pictures are refused from their header, large
// photographs come out as the centre of the picture at the asked size, and
// anything else gives an error text instead of a picture.

#include "library/picture_loader.h"
#include "support/sample_files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <sys/stat.h>

using namespace quillo;

namespace {

// A one-bit grey PNG of the given size, all black: a few hundred kilobytes
// at most, but gigabytes once decoded into a picture.
QByteArray blackPng(quint32 width, quint32 height)
{
    const qsizetype row = 1 + (qsizetype(width) + 7) / 8;  // filter byte + pixels
    const QByteArray raw(row * height, '\0');
    // One-bit grey; qCompress puts the length first.
    return test::pngFile(width, height, 1, 0, qCompress(raw, 9).mid(4));
}

QString write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(bytes);
    return file.fileName();
}

// A photograph-sized picture in three bands across (or down): the outer
// bands fall outside the centre crop.
QString bandedPicture(const QTemporaryDir& dir, const QString& name, bool across, const QByteArray& kind = "jpeg")
{
    QImage image(4000, 3000, QImage::Format_RGB32);
    image.fill(Qt::green);
    if (across) {
        for (int y = 0; y < 3000; ++y)
            for (int x : {0, 3500})
                std::fill_n(reinterpret_cast<QRgb*>(image.scanLine(y)) + x, 500, x == 0 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
    } else {
        for (int y = 0; y < 500; ++y) {
            std::fill_n(reinterpret_cast<QRgb*>(image.scanLine(y)), 4000, qRgb(255, 0, 0));
            std::fill_n(reinterpret_cast<QRgb*>(image.scanLine(2999 - y)), 4000, qRgb(0, 0, 255));
        }
    }
    const QString path = dir.filePath(name);
    QImageWriter writer(path, kind == "png" ? "png" : "jpeg");
    writer.setQuality(90);
    writer.setProgressiveScanWrite(kind == "progressive");
    writer.write(image);
    return path;
}

bool greenish(QRgb c) { return qGreen(c) > 180 && qRed(c) < 90 && qBlue(c) < 90; }

}  // namespace

class PictureLoaderTest : public QObject {
    Q_OBJECT
private slots:
    void hugeHeadersAreRefusedAtOnce();
    void photographIsCroppedToTheCentreAndScaled_data();
    void photographIsCroppedToTheCentreAndScaled();
    void wholeDecodedFormatsUpToTheirLimit();
    void smallPictureIsScaledUp();
    void nonPicturesGiveAnError();

private:
    QTemporaryDir dir_;
};

void PictureLoaderTest::hugeHeadersAreRefusedAtOnce()
{
    struct Case {
        quint32 width, height;
    };
    for (const Case c : {Case{30000, 30000}, Case{20001, 100}, Case{100, 20001}, Case{16000, 16000}}) {
        const QString path = write(dir_, QStringLiteral("bomb-%1x%2.png").arg(c.width).arg(c.height), blackPng(c.width, c.height));
        QVERIFY(!path.isEmpty());
        QCOMPARE(QImageReader(path).size(), QSize(int(c.width), int(c.height)));  // the file is well formed
        quillo::PictureTrouble trouble;
        QElapsedTimer clock;
        clock.start();
        const QImage image = loadPicture(path, QSize(97, 97), &trouble);
        const qint64 ms = clock.elapsed();
        QVERIFY(image.isNull());
        QCOMPARE(trouble.kind, quillo::PictureTrouble::TooLarge);
        QCOMPARE(trouble.size, QSize(int(c.width), int(c.height)));
        QVERIFY2(trouble.why.contains(QStringLiteral("too large")), qPrintable(trouble.why));
        QCOMPARE(trouble.message, path + QStringLiteral(": ") + trouble.why);
        QVERIFY2(ms < 50, qPrintable(QStringLiteral("%1 ms for %2").arg(ms).arg(path)));
    }
    // Decoded whole, a PNG has a limit of its own, said with the picture.
    const QString png = write(dir_, QStringLiteral("56mp.png"), blackPng(8000, 7000));
    quillo::PictureTrouble trouble;
    QVERIFY(loadPicture(png, QSize(97, 97), &trouble).isNull());
    QCOMPARE(trouble.kind, quillo::PictureTrouble::TooLarge);
    QCOMPARE(trouble.mostMegapixels, kMaxWholeDecodeMegapixels);
    QVERIFY2(trouble.why.contains(QStringLiteral("at most 50 megapixels")), qPrintable(trouble.why));
    QCOMPARE(maxMegapixels("jpeg"), kMaxPictureMegapixels);
    QVERIFY(pictureSizeAcceptable(QSize(kMaxPictureSide, 4000)));
    QVERIFY(!pictureSizeAcceptable(QSize(kMaxPictureSide + 1, 1)));
    QVERIFY(!pictureSizeAcceptable(QSize(0, 10)));
}

void PictureLoaderTest::photographIsCroppedToTheCentreAndScaled_data()
{
    QTest::addColumn<QByteArray>("kind");
    QTest::newRow("baseline JPEG") << QByteArray("jpeg");
    QTest::newRow("progressive JPEG") << QByteArray("progressive");
    QTest::newRow("PNG") << QByteArray("png");
}

void PictureLoaderTest::photographIsCroppedToTheCentreAndScaled()
{
    QFETCH(QByteArray, kind);
    const QString across = bandedPicture(dir_, QStringLiteral("across.") + QString::fromLatin1(kind), true, kind);
    const QString down = bandedPicture(dir_, QStringLiteral("down.") + QString::fromLatin1(kind), false, kind);
    quillo::PictureTrouble error;

    // A square box takes the middle 3000x3000: no red or blue band.
    QImage image = loadPicture(across, QSize(100, 100), &error);
    QVERIFY2(!image.isNull(), qPrintable(error.message));
    QCOMPARE(image.size(), QSize(100, 100));
    for (QPoint p : {QPoint(1, 1), QPoint(98, 1), QPoint(1, 98), QPoint(98, 98), QPoint(50, 50)})
        QVERIFY2(greenish(image.pixel(p)), qPrintable(QColor(image.pixel(p)).name()));

    // A wide box takes the middle 4000x2000 of the other picture.
    image = loadPicture(down, QSize(200, 100), &error);
    QVERIFY2(!image.isNull(), qPrintable(error.message));
    QCOMPARE(image.size(), QSize(200, 100));
    for (QPoint p : {QPoint(1, 1), QPoint(198, 1), QPoint(1, 98), QPoint(198, 98)})
        QVERIFY2(greenish(image.pixel(p)), qPrintable(QColor(image.pixel(p)).name()));

    // A box larger than half the picture: no reduced decoding, same result.
    image = loadPicture(across, QSize(1600, 1600), &error);
    QCOMPARE(image.size(), QSize(1600, 1600));
    QVERIFY(greenish(image.pixel(2, 2)) && greenish(image.pixel(1597, 1597)));
}

void PictureLoaderTest::wholeDecodedFormatsUpToTheirLimit()
{
    // 36 megapixels of RGB take 144 MB decoded, over the 128 MB Qt allows
    // one picture unless told: within the limit, it is shown.
    const quint32 side = 6000;
    const QByteArray raw((1 + side * 3) * side, '\0');
    const QString path = write(dir_, QStringLiteral("36mp.png"), test::pngFile(side, side, 8, 2, qCompress(raw, 1).mid(4)));
    quillo::PictureTrouble trouble;
    const QImage image = loadPicture(path, QSize(60, 40), &trouble);
    QVERIFY2(!image.isNull(), qPrintable(trouble.message));
    QCOMPARE(image.size(), QSize(60, 40));
    QCOMPARE(QColor(image.pixel(30, 20)), QColor(Qt::black));
}

void PictureLoaderTest::smallPictureIsScaledUp()
{
    QImage small(40, 20, QImage::Format_RGB32);
    small.fill(Qt::red);
    for (int y = 0; y < 20; ++y)
        for (int x = 10; x < 30; ++x)
            small.setPixel(x, y, qRgb(0, 255, 0));
    const QString path = dir_.filePath(QStringLiteral("small.png"));
    QVERIFY(small.save(path));
    quillo::PictureTrouble error;
    const QImage image = loadPicture(path, QSize(97, 97), &error);
    QCOMPARE(image.size(), QSize(97, 97));
    QCOMPARE(error.kind, quillo::PictureTrouble::None);
    QVERIFY(greenish(image.pixel(3, 3)) && greenish(image.pixel(93, 93)));

    // No room to show it: an error, not a crash.
    QVERIFY(loadPicture(path, QSize(0, 0), &error).isNull());
    QCOMPARE(error.kind, quillo::PictureTrouble::NoRoom);
    QVERIFY(!error.message.isEmpty());
}

void PictureLoaderTest::nonPicturesGiveAnError()
{
    const QString garbage = write(dir_, QStringLiteral("garbage.png"), "plain text, not a picture\n");
    const QString empty = write(dir_, QStringLiteral("empty.jpg"), QByteArray());
    QByteArray cut = blackPng(64, 64);
    cut.truncate(40);
    const QString truncated = write(dir_, QStringLiteral("truncated.png"), cut);
    const QString fifo = dir_.filePath(QStringLiteral("fifo.png"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString folder = dir_.filePath(QStringLiteral("folder.png"));
    QVERIFY(QDir().mkdir(folder));
    // Each says why as a kind, so that nobody reads its words for it.
    using quillo::PictureTrouble;
    const std::pair<QString, PictureTrouble::Kind> cases[] = {
        {garbage, PictureTrouble::NotAPicture},
        {empty, PictureTrouble::NotAPicture},
        {truncated, PictureTrouble::Damaged},
        {dir_.filePath(QStringLiteral("missing.png")), PictureTrouble::Gone},
        {fifo, PictureTrouble::NotRegular},
        {folder, PictureTrouble::NotRegular},
    };
    for (const auto& [path, kind] : cases) {
        PictureTrouble error;
        QElapsedTimer clock;
        clock.start();
        QVERIFY(loadPicture(path, QSize(97, 97), &error).isNull());
        QVERIFY2(error.kind == kind, qPrintable(QStringLiteral("%1: kind %2").arg(error.message).arg(error.kind)));
        QCOMPARE(error.message, path + QStringLiteral(": ") + error.why);
        QVERIFY2(!error.why.isEmpty(), qPrintable(error.message));
        QVERIFY(clock.elapsed() < 100);
        // Without a place for the error text, still no picture and no crash.
        QVERIFY(loadPicture(path, QSize(97, 97)).isNull());
    }
    // A link to a picture is read like the picture.
    const QString link = dir_.filePath(QStringLiteral("link.png"));
    QVERIFY(QFile::link(write(dir_, QStringLiteral("good.png"), blackPng(20, 20)), link));
    QCOMPARE(loadPicture(link, QSize(10, 10)).size(), QSize(10, 10));
}

QTEST_MAIN(PictureLoaderTest)
#include "test_picture_loader.moc"
