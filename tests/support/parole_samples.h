#pragma once

// What the tests of "Le parole di Quillo" share: a tone, files written and
// read whole, a photo of two halves, and where the program is.

#include "parole/recording.h"

#include "support/sample_files.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageIOHandler>
#include <QtTest>

#include <cmath>

namespace quillo::test {

// Built under AddressSanitizer (gcc says so with a macro, clang with a feature).
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kUnderAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kUnderAddressSanitizer = true;
#else
inline constexpr bool kUnderAddressSanitizer = false;
#endif
#else
inline constexpr bool kUnderAddressSanitizer = false;
#endif

inline quillo::parole::Recording tone(double silenceBefore, double seconds, double silenceAfter, float amplitude, int rate = 48000)
{
    quillo::parole::Recording r;
    r.rate = rate;
    r.samples.assign(size_t((silenceBefore + seconds + silenceAfter) * rate), 0.0f);
    const size_t from = size_t(silenceBefore * rate);
    for (size_t i = 0; i < size_t(seconds * rate); ++i)
        r.samples[from + i] = amplitude * float(std::sin(2 * M_PI * 440 * double(i) / rate));
    return r;
}

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A photo whose left half is red and right half blue, saved as JPEG with the
// given EXIF orientation.
inline QByteArray halvesJpeg(QSize size, QImageIOHandler::Transformations orientation)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::blue);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width() / 2; ++x)
            image.setPixel(x, y, qRgb(255, 0, 0));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
    if (orientation == QImageIOHandler::TransformationNone)
        return bytes;
    Q_ASSERT(orientation == QImageIOHandler::TransformationRotate90);
    return turnedQuarter(bytes);
}

inline bool reddish(QRgb c) { return qRed(c) > 200 && qBlue(c) < 60; }
inline bool bluish(QRgb c) { return qBlue(c) > 200 && qRed(c) < 60; }

inline QString paroleBinary()
{
    return QFileInfo(QStringLiteral(QUILLO_BINARY)).absolutePath() + QStringLiteral("/quillo-parole");
}

}  // namespace quillo::test
