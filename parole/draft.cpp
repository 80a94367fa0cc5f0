#include "draft.h"

#include "file_batch.h"
#include "wav_file.h"

#include <QBuffer>
#include <QFile>
#include <QStandardPaths>

#include <cstdio>

namespace quillo::parole {

namespace {

QString wordFile() { return draftFolder() + QStringLiteral("/parola.txt"); }
QString photoFile() { return draftFolder() + QStringLiteral("/foto.png"); }
QString voiceFile() { return draftFolder() + QStringLiteral("/voce.wav"); }

void warn(const QString& what)
{
    std::fprintf(stderr, "quillo-parole: %s\n", what.toUtf8().constData());
}

}  // namespace

QString draftFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/quillo-parole/bozza");
}

QString keepDraft(const Draft& draft)
{
    FileBatch batch(draftFolder() + QStringLiteral("/.unfinished-change"));
    // Kept as PNG, which loses nothing of the photo as it was taken.
    QByteArray photo;
    if (!draft.photo.isNull()) {
        QBuffer buffer(&photo);
        buffer.open(QIODevice::WriteOnly);
        if (!draft.photo.save(&buffer, "PNG"))
            return QStringLiteral("Non riesco a preparare la foto.");
    }
    FileBatch::undoUnfinished(draftFolder() + QStringLiteral("/.unfinished-change"));
    if (!batch.write(wordFile(), draft.word.toUtf8()))
        return batch.problem();
    if (photo.isEmpty())
        batch.remove(photoFile());
    else if (!batch.write(photoFile(), photo))
        return batch.problem();
    if (draft.voice.isEmpty())
        batch.remove(voiceFile());
    else if (!batch.write(voiceFile(), encodeWav(draft.voice)))
        return batch.problem();
    return batch.commit() ? QString() : batch.problem();
}

Draft keptDraft()
{
    FileBatch::undoUnfinished(draftFolder() + QStringLiteral("/.unfinished-change"));
    Draft draft;
    QFile word(wordFile());
    if (!word.open(QIODevice::ReadOnly))
        return {};
    draft.word = QString::fromUtf8(word.read(1024)).trimmed();
    if (QFile::exists(photoFile()) && !draft.photo.load(photoFile(), "PNG"))
        warn(QStringLiteral("la foto lasciata a metà non si legge: %1").arg(photoFile()));
    QString error;
    if (QFile::exists(voiceFile()) && !readWav(voiceFile(), &draft.voice, &error))
        warn(error);
    return draft;
}

void dropDraft()
{
    for (const QString& file : {photoFile(), voiceFile(), wordFile()})
        QFile::remove(file);
}

QString resumeQuestion(const QString& word)
{
    return word.isEmpty() ? QStringLiteral("Hai lasciato una parola a metà: la riprendo?")
                          : QStringLiteral("Hai lasciato «%1» a metà: la riprendo?").arg(word);
}

}  // namespace quillo::parole
