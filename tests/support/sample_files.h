#pragma once

#include <QByteArray>
#include <QColor>
#include <QtGlobal>

namespace quillo::test {

// A PCM WAV file around the given samples.
QByteArray wavFile(const QByteArray& pcm, int rate = 22050, int channels = 1, int bits = 16);
// A sine tone as a 22050 Hz mono 16-bit WAV file.
QByteArray toneWav(int ms, int hz = 440);
// A picture of one colour, encoded in `format` ("PNG", "JPEG", ...).
QByteArray pictureFile(int width, int height, const QColor& colour, const char* format = "PNG");
// A PNG file with the given header and compressed pixel data (the IDAT
// contents), with correct checksums: enough to make headers that lie.
QByteArray pngFile(quint32 width, quint32 height, quint8 bitDepth, quint8 colourType, const QByteArray& idat);

// A whole baseline JPEG of any size, flat grey, in colour (3 components) or
// not (1), written directly: its Huffman tables have one code each, so every
// 8x8 block takes two bits and a 200-megapixel photo is a few megabytes,
// made in milliseconds.
QByteArray flatJpeg(int width, int height, int components = 3);
// The same JPEG with an EXIF orientation of 6 (turn a quarter clockwise to
// show it), as a phone writes it, in an APP1 segment after the start marker.
QByteArray turnedQuarter(const QByteArray& jpeg);

}  // namespace quillo::test
