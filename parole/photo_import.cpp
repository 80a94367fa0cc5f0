#include "photo_import.h"

#include "heif_photo.h"
#include "photo_orientation.h"
#include "system_error.h"

#include "library/picture_loader.h"
#include "platform/files/regular_file.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>

#include <cstdio>
#include <memory>

namespace quillo::parole {

namespace {

constexpr int kJpegQuality = 90;
constexpr int kShrinkingQuality = 49;  // Qt's JPEG decoder shrinks while decoding under 50

// What the image decoders warned about while one picture was read. A JPEG
// decoder reading a file cut short fills the rest with grey and only warns.
QStringList* decoderWarnings = nullptr;

void keepWarning(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (decoderWarnings && type == QtWarningMsg)
        *decoderWarnings << text;
}

QImage readWhole(QImageReader& reader, QStringList* warnings)
{
    decoderWarnings = warnings;
    const QtMessageHandler before = qInstallMessageHandler(keepWarning);
    QImage image = reader.read();
    qInstallMessageHandler(before);
    decoderWarnings = nullptr;
    return image;
}

QString readerReason(QImageReader::ImageReaderError error)
{
    switch (error) {
    case QImageReader::FileNotFoundError: return QStringLiteral("il file non c'è");
    case QImageReader::DeviceError: return QStringLiteral("non riesco a leggere il file");
    case QImageReader::UnsupportedFormatError: return QStringLiteral("non è un formato di foto che conosco");
    case QImageReader::InvalidDataError: return QStringLiteral("il file è rovinato o incompleto");
    default: return QStringLiteral("il file non si legge fino in fondo");
    }
}

// A picture of a format Qt reads (JPEG, PNG, BMP, GIF, WebP), turned
// upright where the format says so itself; a null image and why not in
// *why when it cannot be used.
QImage readWithQt(QIODevice* device, const QString& path, QString* why)
{
    QImageReader reader(device);
    reader.setAutoTransform(true);
    const QByteArray format = reader.format();
    if (format != "png" && format != "jpeg" && format != "bmp" && format != "gif" && format != "webp") {
        *why = QStringLiteral("Non è una foto che conosco: prendo foto JPEG, PNG, HEIC o HEIF, AVIF, WebP, BMP e GIF.");
        return {};
    }
    const QSize size = reader.size();
    if (size.isValid() && !pictureSizeAcceptable(size)) {
        *why = tooLarge(size);
        return {};
    }
    // The decoder scales before it turns the picture upright: fitting the
    // stored size fits the upright one too. Asked for twice the size kept,
    // at a quality under 50, Qt's JPEG decoder shrinks while it decodes
    // (libjpeg's own scaling, 1/2 to 1/8) and never holds the full photo:
    // a 200-megapixel one takes a few tens of megabytes instead of hundreds.
    // The last step to kLargestSide is a smooth one, in readPhoto.
    if (size.isValid() && (size.width() > 2 * kLargestSide || size.height() > 2 * kLargestSide)) {
        reader.setScaledSize(size.scaled(2 * kLargestSide, 2 * kLargestSide, Qt::KeepAspectRatio));
        reader.setQuality(kShrinkingQuality);
    }
    QStringList warnings;
    QImage image = readWhole(reader, &warnings);
    if (image.isNull()) {
        std::fprintf(stderr, "quillo-parole: %s: %s\n", qPrintable(path), qPrintable(reader.errorString()));
        *why = QStringLiteral("La foto non si apre: %1.").arg(readerReason(reader.error()));
        return {};
    }
    for (const QString& warning : std::as_const(warnings)) {
        std::fprintf(stderr, "quillo-parole: %s: %s\n", qPrintable(path), qPrintable(warning));
        if (warning.contains(QLatin1String("premature end"), Qt::CaseInsensitive)) {
            *why = QStringLiteral("La foto è incompleta: il file finisce prima della fine della foto (una copia "
                                  "interrotta?). Copiala di nuovo e riprova.");
            return {};
        }
    }
    return image;
}

}  // namespace

QString pictureLimitText()
{
    return QStringLiteral("al massimo %1 pixel per lato e %2 megapixel").arg(kMaxPictureSide).arg(kMaxPictureMegapixels);
}

QString tooLarge(QSize size)
{
    return QStringLiteral("La foto è troppo grande (%1×%2 pixel): Quillo apre foto di %3.")
        .arg(size.width())
        .arg(size.height())
        .arg(pictureLimitText());
}

QImage readPhoto(const QString& path, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return QImage();
    };
    QString why;
    const std::unique_ptr<QFile> file = openRegularFile(path, &why);
    if (!file)
        return fail(fileProblem(QStringLiteral("Non riesco ad aprire la foto"), why));
    QImage image;
    QImageIOHandler::Transformations turn = QImageIOHandler::TransformationNone;
    if (looksLikeHeif(file->peek(64))) {
        image = readHeifPhoto(file->readAll(), kLargestSide, &why);
        if (image.isNull())
            return fail(why);
    } else {
        // Qt's WebP reader leaves the EXIF orientation to its caller; the
        // chunk comes after the picture, so the file is read whole.
        QByteArray whole;
        QBuffer buffer(&whole);
        const bool webp = file->peek(16).startsWith("RIFF") && file->peek(16).mid(8, 4) == "WEBP";
        if (webp) {
            whole = file->readAll();
            turn = exifOrientation(webpExif(whole));
            buffer.open(QIODevice::ReadOnly);
        }
        image = readWithQt(webp ? static_cast<QIODevice*>(&buffer) : file.get(), path, &why);
        if (image.isNull())
            return fail(why);
    }
    if (!pictureSizeAcceptable(image.size()))
        return fail(tooLarge(image.size()));
    if (image.width() > kLargestSide || image.height() > kLargestSide)
        image = image.scaled(kLargestSide, kLargestSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return turned(image, turn);
}

bool hasTransparency(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return false;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(line[x]) != 255)
                return true;
        }
    }
    return false;
}

QString pictureFileName(const QString& word, const QImage& image)
{
    return word + (hasTransparency(image) ? QStringLiteral(".png") : QStringLiteral(".jpg"));
}

QByteArray encodePicture(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const bool png = hasTransparency(image);
    QImageWriter writer(&buffer, png ? "png" : "jpeg");
    if (!png)
        writer.setQuality(kJpegQuality);
    if (!writer.write(png ? image : image.convertToFormat(QImage::Format_RGB32)))
        return {};
    return bytes;
}

}  // namespace quillo::parole
