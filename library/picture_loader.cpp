#include "library/picture_loader.h"

#include "platform/files/file_name.h"
#include "platform/files/regular_file.h"

#include <QImageReader>

#include <memory>

namespace quillo {

namespace {

// The largest rectangle of the target's shape in the middle of a picture of
// size `full`.
QRect centreCrop(QSize full, QSize target)
{
    const QSize crop = target.scaled(full, Qt::KeepAspectRatio);
    return QRect(QPoint((full.width() - crop.width()) / 2, (full.height() - crop.height()) / 2), crop);
}

}  // namespace

bool pictureSizeAcceptable(QSize size)
{
    if (!size.isValid() || size.isEmpty())
        return false;
    if (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)
        return false;
    return qint64(size.width()) * size.height() <= kMaxPicturePixels;
}

int maxMegapixels(const QByteArray& format)
{
    return format == "jpeg" ? kMaxPictureMegapixels : kMaxWholeDecodeMegapixels;
}

QImage loadPicture(const QString& path, QSize target, PictureTrouble* trouble)
{
    auto fail = [&](PictureTrouble::Kind kind, const QString& why, QSize size = {}, int most = kMaxPictureMegapixels) {
        if (trouble)
            *trouble = {kind, why, QStringLiteral("%1: %2").arg(readableFileName(path), why), size, most};
        return QImage();
    };
    if (target.isEmpty())
        return fail(PictureTrouble::NoRoom, QStringLiteral("no room to show a picture"));

    // Opened by its own bytes (a name need not be UTF-8), and only when it is a
    // regular file: a FIFO or a device would block a plain open.
    QString why;
    FileRefusal refusal = FileRefusal::Failed;
    const std::unique_ptr<QFile> file = openRegularFile(path, &why, &refusal);
    if (!file)
        return fail(refusal == FileRefusal::Missing      ? PictureTrouble::Gone
                    : refusal == FileRefusal::NotRegular ? PictureTrouble::NotRegular
                                                         : PictureTrouble::Damaged,
                    why);
    QImageReader reader(file.get());  // the format is told by the content, whatever the name
    reader.setAutoTransform(true);
    const bool looksLikeAPicture = !reader.format().isEmpty();  // by its first bytes
    const QSize full = reader.size();
    if (!full.isValid()) {
        // A file that begins as a picture but is cut short is a damaged one.
        if (!reader.canRead())
            return fail(looksLikeAPicture ? PictureTrouble::Damaged : PictureTrouble::NotAPicture,
                        reader.errorString());
    } else if (!pictureSizeAcceptable(full)) {
        // A header that gives no area at all is a damaged one.
        return fail(full.isEmpty() ? PictureTrouble::Damaged : PictureTrouble::TooLarge,
                    QStringLiteral("picture too large (%1x%2)").arg(full.width()).arg(full.height()), full);
    } else if (const int most = maxMegapixels(reader.format());
               qint64(full.width()) * full.height() > qint64(most) * 1'000'000) {
        return fail(PictureTrouble::TooLarge,
                    QStringLiteral("picture too large (%1x%2; a %3 is decoded whole, so at most %4 megapixels)")
                        .arg(full.width())
                        .arg(full.height())
                        .arg(QString::fromLatin1(reader.format().toUpper()))
                        .arg(most),
                    full, most);
    }
    if (full.isValid()) {
        // Qt refuses more than 128 MB for one picture unless told: the
        // limits above keep it in bounds (4 bytes a pixel, and some room).
        reader.setAllocationLimit(int(qMax<qint64>(128, qint64(full.width()) * full.height() * 4 / 1'000'000 + 64)));
    }

    if (full.isValid()) {
        // Crop to the target's shape around the centre, then let the decoder
        // scale (JPEG decodes at a fraction of the size, much faster).
        const QRect crop = centreCrop(full, target);
        reader.setClipRect(crop);
        if (crop.width() > target.width() * 2)
            reader.setScaledSize(target * 2);
    }
    QImage image = reader.read();
    if (image.isNull())
        return fail(PictureTrouble::Damaged, reader.errorString());
    if (!full.isValid()) {
        // A format that does not tell its size up front: crop after decoding.
        if (!pictureSizeAcceptable(image.size()))
            return fail(PictureTrouble::TooLarge, QStringLiteral("picture too large"), image.size());
        image = image.copy(centreCrop(image.size(), target));
    }
    if (image.size() != target)
        image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

}  // namespace quillo
