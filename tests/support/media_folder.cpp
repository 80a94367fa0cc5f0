#include "support/media_folder.h"

#include "support/sample_files.h"

#include "platform/files/file_name.h"

#include <QDataStream>
#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace quillo::test {

MediaFolder::MediaFolder()
{
    for (const char* folder : {"alfabeto", "parole", "immagini"})
        QDir(path()).mkpath(QString::fromLatin1(folder));
}

MediaFolder::~MediaFolder()
{
    // QTemporaryDir cannot remove a name that is not UTF-8.
    std::error_code ignored;
    std::filesystem::remove_all(encodeFileName(path()).toStdString(), ignored);
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
    // Written by the name's own bytes, so that a name made with
    // decodeFileName from bytes that are not UTF-8 gets exactly those.
    const QString full = path() + u'/' + relativePath;
    QDir().mkpath(QFileInfo(full).absolutePath());
    const int fd = ::open(encodeFileName(full).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    QFile file;
    if (file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle))
        file.write(bytes);
    else
        ::close(fd);
}

void MediaFolder::remove(const QString& relativePath)
{
    QFile::remove(path() + u'/' + relativePath);
}

void MediaFolder::addLetter(const QString& fileName) { addFile(QStringLiteral("alfabeto/") + fileName, tinyWav()); }
void MediaFolder::addWord(const QString& fileName) { addFile(QStringLiteral("parole/") + fileName, tinyWav()); }

void MediaFolder::addPicture(const QString& fileName, int side)
{
    addFile(QStringLiteral("immagini/") + fileName, pictureFile(side, side, QColor(200, 40, 40)));
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
