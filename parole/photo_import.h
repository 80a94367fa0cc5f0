#pragma once

#include <QImage>
#include <QString>

namespace quillo::parole {

// The largest side of a picture as the library keeps it.
inline constexpr int kLargestSide = 1024;

// Reads a JPEG, PNG, HEIC/HEIF, AVIF, WebP, BMP or GIF the parent chose:
// turned upright as it says (its EXIF orientation, or a HEIF's own turn),
// scaled to fit kLargestSide. A picture
// larger than Quillo's picture loader accepts is refused from its header,
// before it is decoded; a larger one is decoded at a reduced size, which
// JPEG does cheaply. A file that does not decode whole (cut short, damaged)
// is refused too. A null image, with an Italian message in *error, when it
// cannot be used.
QImage readPhoto(const QString& path, QString* error);

// Quillo's picture limit in words, as every message and the README say it.
QString pictureLimitText();

// The message for a picture of `size` beyond that limit.
QString tooLarge(QSize size);

// Whether any pixel is less than opaque: such a picture is kept as PNG, the
// others as JPEG.
bool hasTransparency(const QImage& image);

// The picture's file name for `word`: WORD.jpg, or WORD.png with transparency.
QString pictureFileName(const QString& word, const QImage& image);

// The picture's file as it is written.
QByteArray encodePicture(const QImage& image);

}  // namespace quillo::parole
