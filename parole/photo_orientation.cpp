#include "photo_orientation.h"

#include <QTransform>
#include <QtEndian>

#include <optional>

namespace quillo::parole {

namespace {

// One box of an ISO base media file (HEIF, AVIF): where its content lies.
struct Box {
    QByteArray type;
    qsizetype content = 0;
    qsizetype end = 0;
};

quint32 bigEndian32(const QByteArray& bytes, qsizetype at)
{
    return qFromBigEndian<quint32>(bytes.constData() + at);
}

// The first box of `type` between `from` and `to`, one level deep.
std::optional<Box> findBox(const QByteArray& bytes, qsizetype from, qsizetype to, const char* type)
{
    for (qsizetype at = from; at + 8 <= to;) {
        qsizetype size = bigEndian32(bytes, at);
        qsizetype header = 8;
        if (size == 1) {
            if (at + 16 > to)
                return std::nullopt;
            size = qsizetype(qFromBigEndian<quint64>(bytes.constData() + at + 8));
            header = 16;
        } else if (size == 0) {
            size = to - at;
        }
        if (size < header || size > to - at)
            return std::nullopt;
        if (bytes.mid(at + 4, 4) == type)
            return Box{bytes.mid(at + 4, 4), at + header, at + size};
        at += size;
    }
    return std::nullopt;
}

}  // namespace

QImageIOHandler::Transformations exifOrientation(const QByteArray& exif)
{
    // The TIFF header, near the start: byte order, then 42.
    qsizetype tiff = -1;
    for (qsizetype at = 0; at + 8 <= exif.size() && at < 64 && tiff < 0; ++at) {
        const QByteArray head = exif.mid(at, 4);
        if (head == QByteArray("II*\0", 4) || head == QByteArray("MM\0*", 4))
            tiff = at;
    }
    if (tiff < 0)
        return QImageIOHandler::TransformationNone;
    const bool little = exif.at(tiff) == 'I';
    const auto read16 = [&](qsizetype at) -> quint16 {
        const char* p = exif.constData() + tiff + at;
        return little ? qFromLittleEndian<quint16>(p) : qFromBigEndian<quint16>(p);
    };
    const auto read32 = [&](qsizetype at) -> quint32 {
        const char* p = exif.constData() + tiff + at;
        return little ? qFromLittleEndian<quint32>(p) : qFromBigEndian<quint32>(p);
    };
    const qsizetype length = exif.size() - tiff;
    const qsizetype directory = read32(4);
    if (directory + 2 > length)
        return QImageIOHandler::TransformationNone;
    const int entries = read16(directory);
    for (int i = 0; i < entries; ++i) {
        const qsizetype entry = directory + 2 + 12 * qsizetype(i);
        if (entry + 12 > length)
            break;
        if (read16(entry) != 0x0112)  // Orientation
            continue;
        switch (read16(entry + 8)) {
        case 2: return QImageIOHandler::TransformationMirror;
        case 3: return QImageIOHandler::TransformationRotate180;
        case 4: return QImageIOHandler::TransformationFlip;
        case 5: return QImageIOHandler::TransformationFlipAndRotate90;
        case 6: return QImageIOHandler::TransformationRotate90;
        case 7: return QImageIOHandler::TransformationMirrorAndRotate90;
        case 8: return QImageIOHandler::TransformationRotate270;
        default: return QImageIOHandler::TransformationNone;
        }
    }
    return QImageIOHandler::TransformationNone;
}

QByteArray webpExif(const QByteArray& file)
{
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WEBP")
        return {};
    for (qsizetype at = 12; at + 8 <= file.size();) {
        const qsizetype size = qFromLittleEndian<quint32>(file.constData() + at + 4);
        if (size > file.size() - at - 8)
            return {};
        if (file.mid(at, 4) == "EXIF")
            return file.mid(at + 8, size);
        at += 8 + size + (size & 1);
    }
    return {};
}

bool heifTurnsItself(const QByteArray& file)
{
    const std::optional<Box> meta = findBox(file, 0, file.size(), "meta");
    // meta is a full box: a version and flags before its children.
    const std::optional<Box> properties = meta ? findBox(file, meta->content + 4, meta->end, "iprp") : std::nullopt;
    const std::optional<Box> list = properties ? findBox(file, properties->content, properties->end, "ipco")
                                               : std::nullopt;
    return list && (findBox(file, list->content, list->end, "irot") || findBox(file, list->content, list->end, "imir"));
}

QImage turned(const QImage& image, QImageIOHandler::Transformations transformation)
{
    if (transformation == QImageIOHandler::TransformationNone)
        return image;
    if (transformation == QImageIOHandler::TransformationRotate270)
        return image.transformed(QTransform().rotate(270));
    QImage result = image.mirrored(transformation & QImageIOHandler::TransformationMirror,
                                   transformation & QImageIOHandler::TransformationFlip);
    if (transformation & QImageIOHandler::TransformationRotate90)
        result = result.transformed(QTransform().rotate(90));
    return result;
}

}  // namespace quillo::parole
