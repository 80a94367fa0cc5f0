#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace quillo::test {

// A media folder in a temporary folder: alfabeto/, parole/ and immagini/
// with small real files. Recordings are valid tiny WAVs; pictures are small
// PNGs.
class MediaFolder {
public:
    MediaFolder();
    ~MediaFolder();
    QString path() const { return dir_.path(); }
    QString letters() const { return path() + QStringLiteral("/alfabeto/"); }
    QString words() const { return path() + QStringLiteral("/parole/"); }
    QString pictures() const { return path() + QStringLiteral("/immagini/"); }

    void addLetter(const QString& fileName);  // e.g. "a.wav"
    void addWord(const QString& fileName);    // e.g. "casa.wav"
    void addPicture(const QString& fileName, int side = 64);
    // Names may be made with decodeFileName from bytes that are not UTF-8.
    void addFile(const QString& relativePath, const QByteArray& bytes);
    void remove(const QString& relativePath);

    // The usual set: letters a, c, d, o, k, boh; words bravo, ape, casa;
    // pictures ape.png, casa.png.
    void addBasics();

    static QByteArray tinyWav(int frames = 64);

private:
    QTemporaryDir dir_;
};

// Points the per-user settings store at a fresh temporary folder for the
// life of this object.
class TemporaryConfigHome {
public:
    TemporaryConfigHome();
    ~TemporaryConfigHome();
    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    QByteArray previous_;
};

}  // namespace quillo::test
