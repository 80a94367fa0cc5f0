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

// A picture in a format that is not decoded at a reduced size (all but
// JPEG: PNG, BMP, GIF...) is decoded whole before it is scaled, so it must fit
// in memory whole: at most this many megapixels (about 400 MB while decoded).
inline constexpr int kMaxWholeDecodeMegapixels = 50;

// Whether a picture of this header size may be decoded.
bool pictureSizeAcceptable(QSize size);
// The most megapixels a picture may have in `format`, as QImageReader names
// it ("jpeg", "png"...).
int maxMegapixels(const QByteArray& format);

// Why a picture was not loaded, as a kind and in words.
struct PictureTrouble {
    enum Kind {
        None,
        Gone,        // nothing by that name (taken away since it was listed)
        NotRegular,  // a FIFO, a device, a folder...: never opened
        NotAPicture, // no format reads it
        TooLarge,    // over the limits above; `size` says how large
        Damaged,     // a picture that does not decode, or a file that cannot be read
        NoRoom,      // an empty target: nothing to show it in
    };
    Kind kind = None;
    QString why;      // in English, without the path: "picture too large (30000x20)"
    QString message;  // "PATH: why", as said on stderr
    QSize size;       // the picture's size for TooLarge
    int mostMegapixels = kMaxPictureMegapixels;  // the limit it is over, for TooLarge
};

// Reads a picture scaled to fill `target`: the centre of the picture cropped
// to the target's shape, scaled smoothly. Large pictures are decoded at a
// reduced size where the format allows it (a JPEG at 1/2, 1/4 or 1/8 of its
// size as it is read). Returns a null image, and says
// why in `trouble`, when the file is missing, not a picture, or absurdly large.
QImage loadPicture(const QString& path, QSize target, PictureTrouble* trouble = nullptr);

}  // namespace quillo
