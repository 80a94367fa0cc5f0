#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace quillo {

// Largest picture accepted, read from the file's header before decoding.
inline constexpr int kMaxPictureSide = 12000;
inline constexpr qint64 kMaxPicturePixels = 50'000'000;

// Whether a picture of this header size may be decoded.
bool pictureSizeAcceptable(QSize size);

// Reads a picture scaled to fill `target`: the centre of the picture cropped
// to the target's shape, scaled smoothly. Large pictures are decoded at a
// reduced size where the format allows it. Returns a null image and sets
// `error` when the file is missing, not a picture, or absurdly large.
QImage loadPicture(const QString& path, QSize target, QString* error = nullptr);

}  // namespace quillo
