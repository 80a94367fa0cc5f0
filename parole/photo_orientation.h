#pragma once

#include <QByteArray>
#include <QImage>
#include <QImageIOHandler>

namespace quillo::parole {

// How a photo is turned upright where Qt's own readers do not say it.

// The orientation that EXIF data gives (a TIFF block, with or without the
// "Exif" header or a HEIF item's offset before it); none when it has none.
QImageIOHandler::Transformations exifOrientation(const QByteArray& exif);

// The EXIF chunk of a WebP file, empty when it has none.
QByteArray webpExif(const QByteArray& file);

// Whether a HEIF or AVIF file turns its pictures itself (an irot or imir
// property): its reader then applies that, and its EXIF orientation, written
// for readers that know no better, must not be applied again.
bool heifTurnsItself(const QByteArray& file);

// `image` turned as `transformation` says, as Qt's readers turn theirs.
QImage turned(const QImage& image, QImageIOHandler::Transformations transformation);

}  // namespace quillo::parole
