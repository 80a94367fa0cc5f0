// The photo import of "Le parole di Quillo": photos turned upright and shrunk,
// refused ones said why, the largest phone photo in little memory, and the
// formats of current phones (HEIC, AVIF, WebP).

#include "parole/photo_import.h"
#include "parole/photo_orientation.h"
#include "library/picture_loader.h"

#include "support/media_folder.h"
#include "support/parole_samples.h"
#include "support/sample_files.h"

#include <QElapsedTimer>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <QtEndian>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>

using namespace quillo::parole;
using namespace quillo::test;

class TestParolePhotoImport : public QObject {
    Q_OBJECT
private slots:
    void photos_data();
    void photos();
    void refusedPhotos_data();
    void refusedPhotos();
    void largestPhonePhoto();
    void phoneFormats_data();
    void phoneFormats();
    void heifOwnTurn();
};

void TestParolePhotoImport::photos_data()
{
    QTest::addColumn<QSize>("stored");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<QSize>("upright");
    QTest::newRow("phone photo turned a quarter") << QSize(300, 200) << int(QImageIOHandler::TransformationRotate90)
                                                  << QSize(200, 300);
    QTest::newRow("6000x4000") << QSize(6000, 4000) << int(QImageIOHandler::TransformationNone) << QSize(1024, 683);
    QTest::newRow("6000x4000 turned a quarter") << QSize(6000, 4000)
                                                << int(QImageIOHandler::TransformationRotate90) << QSize(683, 1024);
}

void TestParolePhotoImport::photos()
{
    QFETCH(QSize, stored);
    QFETCH(int, orientation);
    QFETCH(QSize, upright);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photo.jpg"));
    writeFile(path, halvesJpeg(stored, QImageIOHandler::Transformations(orientation)));
    QCOMPARE(int(QImageReader(path).transformation()), orientation);  // the tag is really in the file

    QString error;
    const QImage image = readPhoto(path, &error);
    QVERIFY2(!image.isNull(), qPrintable(error));
    // Within 1024 px, the shape kept (a pixel of rounding aside).
    QCOMPARE(image.width() > image.height(), upright.width() > upright.height());
    QVERIFY2(std::abs(image.width() - upright.width()) <= 1 && std::abs(image.height() - upright.height()) <= 1,
             qPrintable(QStringLiteral("%1x%2").arg(image.width()).arg(image.height())));
    QVERIFY(qMax(image.width(), image.height()) <= kLargestSide);
    if (orientation == QImageIOHandler::TransformationRotate90) {
        // The left half, red, is on top once turned upright.
        QVERIFY(reddish(image.pixel(image.width() / 2, 2)));
        QVERIFY(bluish(image.pixel(image.width() / 2, image.height() - 3)));
    } else {
        QVERIFY(reddish(image.pixel(2, image.height() / 2)));
        QVERIFY(bluish(image.pixel(image.width() - 3, image.height() / 2)));
    }
    QVERIFY(!hasTransparency(image));
    QCOMPARE(pictureFileName(QStringLiteral("nonna"), image), QStringLiteral("nonna.jpg"));
    const QImage saved = QImage::fromData(encodePicture(image), "JPEG");
    QCOMPARE(saved.size(), image.size());
}

void TestParolePhotoImport::refusedPhotos_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("refusal");
    const QString limit = QStringLiteral("Quillo apre foto di al massimo 20000 pixel per lato e 250 megapixel.");
    QTest::newRow("wider than Quillo shows") << quillo::test::pngFile(20001, 10, 8, 2, {}) << "(20001×10 pixel): " + limit;
    QTest::newRow("taller than Quillo shows") << quillo::test::pngFile(10, 20001, 8, 2, {}) << "(10×20001 pixel): " + limit;
    QTest::newRow("more megapixels") << quillo::test::pngFile(19000, 19000, 8, 2, {}) << "(19000×19000 pixel): " + limit;
    QTest::newRow("not a picture") << QByteArray("just some text\n") << "Non è una foto";
    QTest::newRow("empty") << QByteArray() << "Non è una foto";
    // Copied halfway: the JPEG decoder would fill the rest with grey.
    const QByteArray jpeg = halvesJpeg(QSize(1600, 1200), QImageIOHandler::TransformationNone);
    QTest::newRow("JPEG cut short") << jpeg.left(jpeg.size() / 2) << "La foto è incompleta";
    QImage noise(800, 600, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x ^ y) % 256));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    noise.save(&buffer, "PNG");
    QTest::newRow("PNG cut short") << png.left(png.size() / 2) << "La foto non si apre: il file è rovinato o incompleto.";
}

void TestParolePhotoImport::refusedPhotos()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, refusal);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photo.png"));
    writeFile(path, bytes);
    QString error;
    QElapsedTimer timer;
    timer.start();
    QVERIFY(readPhoto(path, &error).isNull());
    QVERIFY2(error.contains(refusal), qPrintable(error));
    QVERIFY(timer.elapsed() < 1000);  // refused from the header, or decoded at a reduced size

    // A FIFO is refused at once instead of blocking.
    const QString fifo = dir.filePath(QStringLiteral("fifo.png"));
    QCOMPARE(QProcess::execute(QStringLiteral("mkfifo"), {fifo}), 0);
    QVERIFY(readPhoto(fifo, &error).isNull());
}

void TestParolePhotoImport::largestPhonePhoto()
{
    if (!QFileInfo::exists(paroleBinary()))
        QSKIP("quillo-parole is not built");
    // A 200-megapixel phone photo held sideways, as the largest sensors take
    // it: taken through the command line, turned upright, in little memory.
    QTemporaryDir dir;
    const QString photo = dir.filePath(QStringLiteral("foto.jpg"));
    writeFile(photo, quillo::test::turnedQuarter(quillo::test::flatJpeg(16320, 12240)));
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    process.setProcessEnvironment(env);
    process.start(paroleBinary(), {QStringLiteral("add"), QStringLiteral("giulia"), QStringLiteral("--picture"), photo});
    QVERIFY(process.waitForFinished(60000));
    QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
    // The largest resident size of any child so far: this one, the only
    // large one.
    rusage usage{};
    QCOMPARE(::getrusage(RUSAGE_CHILDREN, &usage), 0);
    const double megabytes = double(usage.ru_maxrss) / 1024;
    qInfo("peak RSS of a 200-megapixel import: %.0f MB", megabytes);
    // AddressSanitizer's shadow memory and quarantine say nothing of the
    // program's own: the bound holds for the plain build.
    if (!kUnderAddressSanitizer)
        QVERIFY2(megabytes < 300, qPrintable(QString::number(megabytes)));
    QCOMPARE(QImage(dir.filePath(QStringLiteral("data/quillo/immagini/giulia.jpg"))).size(), QSize(768, 1024));

    // Quillo itself shows a picture of that size, put in its folder by hand.
    quillo::PictureTrouble error;
    const QImage shown = quillo::loadPicture(photo, QSize(400, 300), &error);
    QVERIFY2(!shown.isNull(), qPrintable(error.message));
    QCOMPARE(shown.size(), QSize(400, 300));
}

void TestParolePhotoImport::phoneFormats_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("arguments");  // IN and OUT stand for the files
    QTest::addColumn<int>("orientation");
    const QStringList heic{QStringLiteral("-q"), QStringLiteral("60"), QStringLiteral("-o"), QStringLiteral("OUT"), QStringLiteral("IN")};
    const QStringList avif = QStringList{QStringLiteral("-A")} + heic;
    const QStringList webp{QStringLiteral("-quiet"), QStringLiteral("-metadata"), QStringLiteral("exif"), QStringLiteral("IN"),
                           QStringLiteral("-o"), QStringLiteral("OUT")};
    for (const int orientation : {int(QImageIOHandler::TransformationNone), int(QImageIOHandler::TransformationRotate90)}) {
        const QByteArray turned = orientation ? " turned a quarter" : " upright";
        QTest::newRow("HEIC" + turned) << "heif-enc" << heic << orientation;
        QTest::newRow("AVIF" + turned) << "heif-enc" << avif << orientation;
        QTest::newRow("WebP" + turned) << "cwebp" << webp << orientation;
    }
}

void TestParolePhotoImport::phoneFormats()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, arguments);
    QFETCH(int, orientation);
    // Made from a JPEG with its EXIF orientation by Debian's own encoders,
    // which carry the orientation over.
    const QString encoder = QStandardPaths::findExecutable(tool);
    if (encoder.isEmpty())
        QSKIP(qPrintable(tool + QStringLiteral(" is not installed (libheif-examples, webp)")));
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("foto.jpg"));
    const QString out = dir.filePath(QStringLiteral("foto.") + QString::fromLatin1(QTest::currentDataTag()).left(4).toLower());
    writeFile(in, halvesJpeg(QSize(300, 200), QImageIOHandler::Transformations(orientation)));
    arguments.replaceInStrings(QStringLiteral("IN"), in).replaceInStrings(QStringLiteral("OUT"), out);
    QProcess encode;
    encode.start(encoder, arguments);
    QVERIFY(encode.waitForFinished(30000));
    QVERIFY2(encode.exitCode() == 0 && QFileInfo(out).size() > 0, encode.readAllStandardError().constData());

    QString error;
    const QImage image = readPhoto(out, &error);
    QVERIFY2(!image.isNull(), qPrintable(error));
    if (orientation == QImageIOHandler::TransformationRotate90) {
        QCOMPARE(image.size(), QSize(200, 300));
        QVERIFY(reddish(image.pixel(image.width() / 2, 4)));
        QVERIFY(bluish(image.pixel(image.width() / 2, image.height() - 5)));
    } else {
        QCOMPARE(image.size(), QSize(300, 200));
        QVERIFY(reddish(image.pixel(4, image.height() / 2)));
        QVERIFY(bluish(image.pixel(image.width() - 5, image.height() / 2)));
    }
}

void TestParolePhotoImport::heifOwnTurn()
{
    // A HEIF file that turns its picture itself (irot, imir) is trusted
    // over its EXIF orientation; one without is not.
    const auto box = [](const char* type, const QByteArray& content) {
        QByteArray bytes(4, '\0');
        qToBigEndian<quint32>(quint32(8 + content.size()), bytes.data());
        return bytes + type + content;
    };
    const QByteArray fileType = box("ftyp", "heic\0\0\0\0mif1heic");
    const auto file = [&](const QByteArray& properties) {
        return fileType + box("meta", QByteArray(4, '\0') + box("hdlr", QByteArray(12, '\0')) +
                                          box("iprp", box("ipco", properties) + box("ipma", QByteArray(8, '\0'))));
    };
    QVERIFY(heifTurnsItself(file(box("ispe", QByteArray(12, '\0')) + box("irot", QByteArray(1, '\1')))));
    QVERIFY(heifTurnsItself(file(box("imir", QByteArray(1, '\0')))));
    QVERIFY(!heifTurnsItself(file(box("ispe", QByteArray(12, '\0')))));
    QVERIFY(!heifTurnsItself(fileType));
    QVERIFY(!heifTurnsItself(file(box("ispe", QByteArray(12, '\0'))).left(40)));  // cut short
    // EXIF as HEIF keeps it: an offset, then the TIFF block.
    QByteArray exif = QByteArray::fromHex("00000006" "457869660000" "4d4d002a00000008" "0001" "011200030000000100060000" "00000000");
    QCOMPARE(int(exifOrientation(exif)), int(QImageIOHandler::TransformationRotate90));
    QCOMPARE(int(exifOrientation(exif.left(20))), int(QImageIOHandler::TransformationNone));
}

QTEST_MAIN(TestParolePhotoImport)
#include "test_parole_photo_import.moc"
