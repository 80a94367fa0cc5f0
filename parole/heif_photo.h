#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace quillo::parole {

// Photos in HEIF (an iPhone's HEIC) and AVIF, through libheif.

// Whether a file that starts with `head` (its first bytes, 12 or more) is
// a HEIF or AVIF image.
bool looksLikeHeif(const QByteArray& head);

// The file's main picture, upright (its own turn, else its EXIF
// orientation), and at most `largestSide` * 2 pixels a side: averaged down
// while it is turned into RGB, so that the full-size picture is never held
// twice. A picture beyond Quillo's limit is refused before it is decoded. A
// null image, with an Italian message in *error, when it cannot be used.
QImage readHeifPhoto(const QByteArray& file, int largestSide, QString* error);

}  // namespace quillo::parole
