// What one picture costs the window: a photograph at 12, 48 and 200
// megapixels as a baseline JPEG, a progressive JPEG and a PNG, shown as a
// word's picture (ShowWord) in a 600x450 picture box. For each: the CPU time
// of the window's thread while the word is shown, the CPU time of the whole
// process (the decoding, on a thread of its own), the time until it is shown,
// and the peak memory of a process that showed only that picture (each case
// runs in a child of its own, so that the peaks do not add up).
//
//   QT_QPA_PLATFORM=offscreen ./bench_picture_sizes [FOLDER]
// FOLDER keeps the made pictures between runs (they take a while to make).

#include "feedback/word_display.h"
#include "library/media_library.h"
#include "library/picture_list.h"
#include "support/fake_platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

#include <sys/resource.h>

using namespace quillo;

namespace {

double cpuMs(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Something like a photograph: gradients, noise and shapes.
QImage photo(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    quint32 noise = 12345;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int n = int((noise >> 16) & 15);
            line[x] = qRgb((x * 255 / width + n) & 0xff, (y * 255 / height + n) & 0xff, ((x ^ y) & 0x7f) + n);
        }
    }
    QPainter painter(&image);
    painter.setBrush(Qt::yellow);
    painter.drawEllipse(QPoint(width / 2, height / 2), width / 4, height / 4);
    return image;
}

bool make(const QString& path, int megapixels, const QByteArray& kind)
{
    if (QFile::exists(path))
        return true;
    const int width = megapixels == 200 ? 16320 : megapixels == 48 ? 8000 : 4000;
    const int height = megapixels == 200 ? 12240 : megapixels == 48 ? 6000 : 3000;
    QImageWriter writer(path, kind == "png" ? "png" : "jpeg");
    if (kind == "progressive")
        writer.setProgressiveScanWrite(true);
    writer.setQuality(kind == "png" ? 50 : 85);
    return writer.write(photo(width, height));
}

int showOne(const QString& path)
{
    // A library whose only picture is this one.
    QTemporaryDir library;
    for (const char* folder : {"alfabeto", "parole", "immagini"})
        QDir(library.path()).mkpath(QString::fromLatin1(folder));
    const QString name = QStringLiteral("orso.") + QFileInfo(path).suffix();
    QFile::link(path, library.path() + QStringLiteral("/immagini/") + name);
    MediaLibrary media(library.path(), {});
    PictureList list;
    list.setLibrary(media);
    list.setPattern(QStringLiteral("*"));
    list.setSelectedIndex(0);
    test::RecordingSound sound;
    QLineEdit word;
    QLabel picture;
    picture.resize(600, 450);

    QElapsedTimer wall;
    wall.start();
    const double window = cpuMs(CLOCK_THREAD_CPUTIME_ID);
    const double process = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
    QString refused;
    try {
        ShowWord({word, picture, list, sound, media}, name);
    } catch (const PictureNotShown& failure) {
        refused = failure.trouble.why;
    }
    const double windowMs = cpuMs(CLOCK_THREAD_CPUTIME_ID) - window;
    const double processMs = cpuMs(CLOCK_PROCESS_CPUTIME_ID) - process;
    const qint64 wallMs = wall.elapsed();
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    std::printf("%-22s window's thread %4.0f ms CPU, decoding %5.0f ms CPU, shown after %5lld ms, peak %5.0f MB%s%s\n",
                qPrintable(QFileInfo(path).fileName()), windowMs, processMs - windowMs, static_cast<long long>(wallMs),
                use.ru_maxrss / 1024.0, refused.isEmpty() ? "" : ", refused: ", qPrintable(refused));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--one") == 0) {
        QApplication app(argc, argv);
        return showOne(QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication app(argc, argv);
    QTemporaryDir scratch;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : scratch.path();
    QDir().mkpath(folder);
    for (int megapixels : {12, 48, 200}) {
        for (const QByteArray kind : {"baseline", "progressive", "png"}) {
            const QString path = QDir(folder).filePath(QStringLiteral("%1mp-%2.%3").arg(megapixels).arg(QString::fromLatin1(kind), kind == "png" ? "png" : "jpg"));
            if (!make(path, megapixels, kind)) {
                std::printf("%s: could not be made\n", qPrintable(path));
                continue;
            }
            QProcess one;
            one.setProcessChannelMode(QProcess::ForwardedChannels);
            one.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--one"), path});
            one.waitForFinished(-1);
        }
    }
    return 0;
}
