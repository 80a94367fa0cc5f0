#include "photo_import.h"

#include "platform/files/picture_loader.h"
#include "platform/files/regular_file.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>

#include <memory>

namespace quillo::parole {

namespace {

constexpr int kJpegQuality = 90;

}  // namespace

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
        return fail(QStringLiteral("Non riesco ad aprire la foto (%1).").arg(why));
    QImageReader reader(file.get());
    reader.setAutoTransform(true);
    const QByteArray format = reader.format();
    if (format != "png" && format != "jpeg" && format != "bmp" && format != "gif")
        return fail(QStringLiteral("Non è una foto PNG, JPEG, BMP o GIF."));
    const QSize size = reader.size();
    if (size.isValid() && !pictureSizeAcceptable(size))
        return fail(QStringLiteral("La foto è troppo grande (%1×%2 pixel): Quillo non ne apre di più grandi di "
                                   "%3 pixel per lato.")
                        .arg(size.width())
                        .arg(size.height())
                        .arg(kMaxPictureSide));
    // The decoder scales before it turns the picture upright: fitting the
    // stored size fits the upright one too. JPEG decodes much faster so.
    if (size.isValid() && (size.width() > kLargestSide || size.height() > kLargestSide))
        reader.setScaledSize(size.scaled(kLargestSide, kLargestSide, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull())
        return fail(QStringLiteral("La foto non si apre (%1).").arg(reader.errorString()));
    if (!pictureSizeAcceptable(image.size()))
        return fail(QStringLiteral("La foto è troppo grande: Quillo non ne apre di più grandi di %1 pixel per lato.")
                        .arg(kMaxPictureSide));
    if (image.width() > kLargestSide || image.height() > kLargestSide)
        image = image.scaled(kLargestSide, kLargestSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
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
