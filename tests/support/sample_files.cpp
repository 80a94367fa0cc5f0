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
