#include "support/sample_files.h"

#include <QBuffer>
#include <QDataStream>
#include <QImage>
#include <QIODevice>
#include <QtEndian>

#include <cmath>

namespace quillo::test {

namespace {

constexpr int kRate = 22050;

quint32 crc32(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray pngChunk(const char* type, const QByteArray& data)
{
    QByteArray chunk(4, '\0');
    qToBigEndian(quint32(data.size()), chunk.data());
    const QByteArray body = QByteArray(type, 4) + data;
    chunk += body;
    QByteArray crc(4, '\0');
    qToBigEndian(crc32(body), crc.data());
    return chunk + crc;
}

}  // namespace

QByteArray wavFile(const QByteArray& pcm, int rate, int channels, int bits)
{
    QByteArray wav;
    QDataStream out(&wav, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + pcm.size());
    out.writeRawData("WAVEfmt ", 8);
    const int block = channels * bits / 8;
    out << quint32(16) << quint16(1) << quint16(channels) << quint32(rate) << quint32(rate * block) << quint16(block)
        << quint16(bits);
    out.writeRawData("data", 4);
    out << quint32(pcm.size());
    out.writeRawData(pcm.constData(), int(pcm.size()));
    return wav;
}

QByteArray toneWav(int ms, int hz)
{
    const int frames = kRate * ms / 1000;
    QByteArray pcm;
    QDataStream out(&pcm, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    for (int i = 0; i < frames; ++i)
        out << qint16(std::lround(8000 * std::sin(2 * M_PI * hz * i / kRate)));
    return wavFile(pcm);
}

QByteArray pngFile(quint32 width, quint32 height, quint8 bitDepth, quint8 colourType, const QByteArray& idat)
{
    QByteArray header(13, '\0');
    qToBigEndian(width, header.data());
    qToBigEndian(height, header.data() + 4);
    header[8] = char(bitDepth);
    header[9] = char(colourType);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) + pngChunk("IDAT", idat)
        + pngChunk("IEND", {});
}

namespace {

QByteArray segment(quint8 marker, const QByteArray& body)
{
    QByteArray out("\xff", 1);
    out += char(marker);
    out += char((body.size() + 2) >> 8);
    out += char((body.size() + 2) & 0xff);
    return out + body;
}

}  // namespace

QByteArray flatJpeg(int width, int height, int components)
{
    QByteArray jpeg("\xff\xd8", 2);
    jpeg += segment(0xdb, QByteArray(1, '\0') + QByteArray(64, '\1'));  // every quantiser 1
    QByteArray frame(1, char(8));
    frame += char(height >> 8);
    frame += char(height & 0xff);
    frame += char(width >> 8);
    frame += char(width & 0xff);
    frame += char(components);
    QByteArray scan(1, char(components));
    for (int c = 1; c <= components; ++c) {
        frame += QByteArray(1, char(c)) + QByteArray("\x11\x00", 2);  // no subsampling, quantiser 0
        scan += QByteArray(1, char(c)) + QByteArray(1, '\0');            // Huffman tables 0
    }
    jpeg += segment(0xc0, frame);
    // DC table 0 and AC table 0: one code of one bit each, for "no change"
    // and "end of block".
    QByteArray oneCode(16, '\0');
    oneCode[0] = 1;
    jpeg += segment(0xc4, QByteArray(1, '\x00') + oneCode + QByteArray(1, '\0'));
    jpeg += segment(0xc4, QByteArray(1, '\x10') + oneCode + QByteArray(1, '\0'));
    jpeg += segment(0xda, scan + QByteArray("\x00\x3f\x00", 3));
    const qint64 blocks = qint64((width + 7) / 8) * ((height + 7) / 8) * components;
    jpeg += QByteArray(qsizetype(blocks / 4), '\0');  // four blocks of two zero bits a byte
    if (blocks % 4)
        jpeg += char(0xff >> (2 * (blocks % 4)));  // the rest, padded with ones
    return jpeg + QByteArray("\xff\xd9", 2);
}

QByteArray turnedQuarter(const QByteArray& jpeg)
{
    // A little-endian TIFF header and one IFD entry: Orientation (0x0112),
    // SHORT, 6.
    const QByteArray tiff = QByteArray("II*\0\x08\0\0\0", 8) + QByteArray("\x01\0", 2)
                          + QByteArray("\x12\x01\x03\0\x01\0\0\0\x06\0\0\0", 12) + QByteArray(4, '\0');
    return jpeg.left(2) + segment(0xe1, QByteArray("Exif\0\0", 6) + tiff) + jpeg.mid(2);
}

QByteArray pictureFile(int width, int height, const QColor& colour, const char* format)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

}  // namespace quillo::test
