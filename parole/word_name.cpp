#include "word_name.h"

#include "library/media_library.h"
#include "platform/files/file_name.h"
#include "platform/files/wildcard.h"

namespace quillo::parole {

namespace {

constexpr qsizetype kLongestNameBytes = 255 - 4;  // ".jpg", ".png", ".wav"

// The characters of a name no file of the library may carry, for the message.
QString forbiddenIn(const QString& name)
{
    QString found;
    for (QChar c : name) {
        if ((isForbiddenInFileName(c) || c == u'*' || c == u'?') && c.unicode() >= 32 && c.unicode() != 127
            && !found.contains(c))
            found += c;
    }
    return found;
}

bool hasControlCharacter(const QString& name)
{
    for (QChar c : name) {
        if (c.unicode() < 32 || c.unicode() == 127 || c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

}  // namespace

QString firstCharacter(const QString& word)
{
    if (word.isEmpty())
        return {};
    return word.left(word.at(0).isHighSurrogate() && word.size() > 1 ? 2 : 1);
}

QString wordFromTyped(const QString& typed)
{
    return typed.trimmed();
}

QString wordNameProblem(const QString& word, MediaLibrary& libraries)
{
    if (word.trimmed().isEmpty())
        return QStringLiteral("Scrivi la parola.");
    if (word != wordFromTyped(word))
        return QStringLiteral("La parola non può cominciare o finire con uno spazio.");
    if (hasControlCharacter(word))
        return QStringLiteral("La parola contiene un carattere di controllo, che non può stare nel nome di un file.");
    if (const QString bad = forbiddenIn(word); !bad.isEmpty())
        return QStringLiteral("La parola non può contenere %1: nessuno di questi caratteri "
                              "/ \\ : * ? \" < > | può stare nel nome di un file.")
            .arg(bad);
    if (word.startsWith(u'.'))
        return QStringLiteral("La parola non può cominciare con un punto: il file sarebbe nascosto.");
    // A name takes at most 255 bytes, its extension included.
    if (word.toUcs4().size() > kLongestWord || encodeFileName(word).size() > kLongestNameBytes)
        return QStringLiteral("La parola è troppo lunga: al massimo %1 caratteri.").arg(kLongestWord);
    const QString first = firstCharacter(word);
    if (!libraries.locate(LibraryFolder::Letters, first + QStringLiteral(".wav")).isEmpty())
        return {};
    return QStringLiteral("Nessun tasto «%1» ha una registrazione, quindi Quillo non mostrerebbe mai questa "
                          "parola. Registra prima la lettera «%1».")
        .arg(first);
}

QString letterNameProblem(const QString& letter)
{
    if (letter.isEmpty())
        return QStringLiteral("Scrivi la lettera del tasto.");
    if (letter.toUcs4().size() != 1)
        return QStringLiteral("Scrivi un solo carattere: quello del tasto.");
    if (hasControlCharacter(letter) || !forbiddenIn(letter).isEmpty())
        return QStringLiteral("Il carattere «%1» non può stare nel nome di un file: questo tasto ha sempre il "
                              "suono di riserva.")
            .arg(letter);
    if (letter == QStringLiteral("."))
        return QStringLiteral("Il punto non può avere una registrazione: il file sarebbe nascosto.");
    return {};
}

}  // namespace quillo::parole
