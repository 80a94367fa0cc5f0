#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace quillo {

// Largest picture accepted, read from the file's header before decoding:
// the full-size photos of current phones (up to 200 megapixels, such as
// 16320x12240) fit.
inline constexpr int kMaxPictureSide = 20000;
inline constexpr int kMaxPictureMegapixels = 250;
inline constexpr qint64 kMaxPicturePixels = qint64(kMaxPictureMegapixels) * 1'000'000;

// Whether a picture of this header size may be decoded.
bool pictureSizeAcceptable(QSize size);

// Reads a picture scaled to fill `target`: the centre of the picture cropped
// to the target's shape, scaled smoothly. Large pictures are decoded at a
// reduced size where the format allows it. Returns a null image and sets
// `error` when the file is missing, not a picture, or absurdly large.
QImage loadPicture(const QString& path, QSize target, QString* error = nullptr);

}  // namespace quillo
