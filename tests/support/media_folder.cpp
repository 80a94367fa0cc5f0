#include "support/media_folder.h"

#include "support/sample_files.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QImage>

namespace quillo::test {

MediaFolder::MediaFolder()
{
    for (const char* folder : {"alfabeto", "parole", "immagini"})
        QDir(path()).mkpath(QString::fromLatin1(folder));
}

QByteArray MediaFolder::tinyWav(int frames)
{
    QByteArray pcm;
    QDataStream out(&pcm, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    for (int i = 0; i < frames; ++i)
        out << qint16((i % 20) < 10 ? 8000 : -8000);
    return wavFile(pcm);
}

void MediaFolder::addFile(const QString& relativePath, const QByteArray& bytes)
{
    QFile file(path() + u'/' + relativePath);
    QDir().mkpath(QFileInfo(file).absolutePath());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

void MediaFolder::remove(const QString& relativePath)
{
    QFile::remove(path() + u'/' + relativePath);
}

void MediaFolder::addLetter(const QString& fileName) { addFile(QStringLiteral("alfabeto/") + fileName, tinyWav()); }
void MediaFolder::addWord(const QString& fileName) { addFile(QStringLiteral("parole/") + fileName, tinyWav()); }

void MediaFolder::addPicture(const QString& fileName, int side)
{
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(QColor(200, 40, 40));
    image.save(pictures() + fileName, "PNG");
}

void MediaFolder::addBasics()
{
    for (const char* letter : {"a.wav", "c.wav", "d.wav", "o.wav", "k.wav", "boh.wav"})
        addLetter(QString::fromLatin1(letter));
    for (const char* word : {"bravo.wav", "ape.wav", "casa.wav"})
        addWord(QString::fromLatin1(word));
    addPicture(QStringLiteral("ape.png"));
    addPicture(QStringLiteral("casa.png"));
}

TemporaryConfigHome::TemporaryConfigHome() : previous_(qgetenv("XDG_CONFIG_HOME"))
{
    qputenv("XDG_CONFIG_HOME", dir_.path().toLocal8Bit());
}

TemporaryConfigHome::~TemporaryConfigHome()
{
    if (previous_.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", previous_);
}

}  // namespace quillo::test
