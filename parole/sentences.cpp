#include "sentences.h"

namespace quillo::parole {

namespace {

bool quillosUnder(Owner owner)
{
    return owner == Owner::YoursOverQuillo;
}

// "la tua foto e la tua voce di «casa»", of the parts that are the family's.
QString whatGoes(const WordEntry& entry, int parts)
{
    const int own = entry.ownParts(parts);
    const QString of = QStringLiteral(" di «%1»").arg(entry.word);
    if (own == BothParts)
        return QStringLiteral("la tua foto e la tua voce") + of;
    return (own == PicturePart ? QStringLiteral("la tua foto") : QStringLiteral("la tua voce")) + of;
}

// "Tornano la foto e la voce di Quillo.", or that the word leaves the list.
QString whatFollows(const WordEntry& entry, int parts)
{
    const int own = entry.ownParts(parts);
    const bool picture = (own & PicturePart) && quillosUnder(entry.pictureOwner);
    const bool voice = (own & VoicePart) && quillosUnder(entry.voiceOwner);
    if (own == VoicePart && entry.pictureOwner == Owner::None)
        return QStringLiteral("«%1» non sarà più nella lista.").arg(entry.word);
    if ((own & PicturePart) && !entry.bundled) {
        const QString leaves = QStringLiteral("«%1» non sarà più tra le parole.").arg(entry.word);
        if (!voiceLeftAlone(entry, parts))
            return leaves;
        return leaves + QStringLiteral(" La tua voce di «%1» resta: Quillo non la dirà finché la parola non avrà "
                                       "di nuovo una foto.")
                            .arg(entry.word);
    }
    if (picture && voice)
        return QStringLiteral("Tornano la foto e la voce di Quillo.");
    if (picture)
        return QStringLiteral("Torna la foto di Quillo.");
    if (voice)
        return QStringLiteral("Torna la voce di Quillo.");
    if (own & VoicePart)
        return QStringLiteral("«%1» resterà senza voce.").arg(entry.word);
    return {};
}

}  // namespace

bool voiceLeftAlone(const WordEntry& entry, int parts)
{
    return entry.ownParts(parts) == PicturePart && !entry.bundled && (entry.ownParts() & VoicePart);
}

QString ownerText(Owner owner)
{
    switch (owner) {
    case Owner::None: return QStringLiteral("manca");
    case Owner::Quillo: return QStringLiteral("di Quillo");
    case Owner::Yours: return QStringLiteral("tua");
    case Owner::YoursOverQuillo: return QStringLiteral("tua al posto di Quillo");
    }
    return {};
}

QString ownerSentence(Owner owner, bool picture)
{
    const QString part = picture ? QStringLiteral("La foto") : QStringLiteral("La voce");
    switch (owner) {
    case Owner::None:
        return picture ? QStringLiteral("Nessuna foto: Quillo non mostra la parola finché non ne ha una.")
                       : QStringLiteral("Nessuna voce: Quillo mostra la parola senza dirla.");
    case Owner::Quillo: return part + QStringLiteral(" è di Quillo: puoi sostituirla con la tua.");
    case Owner::Yours: return part + QStringLiteral(" è tua.");
    case Owner::YoursOverQuillo:
        return part + QStringLiteral(" è tua, al posto di quella di Quillo: se la togli, torna quella di Quillo.");
    }
    return {};
}

QString addedSentence(const QString& word, bool replacing, bool withVoice)
{
    return QStringLiteral("%1 «%2»%3.")
        .arg(replacing ? QStringLiteral("Salvata la parola") : QStringLiteral("Aggiunta la parola"), word,
             withVoice ? QStringLiteral(" con la tua voce") : QString());
}

QString letterSavedSentence(const QString& letter)
{
    return QStringLiteral("Il tasto «%1» ora ha la tua voce.").arg(letter);
}

QString removalQuestion(const WordEntry& entry, int parts)
{
    return QStringLiteral("Togliere %1? %2 Non si può annullare.").arg(whatGoes(entry, parts), whatFollows(entry, parts));
}

QString removedSentence(const WordEntry& entry, int parts)
{
    return QStringLiteral("Ho tolto %1. %2").arg(whatGoes(entry, parts), whatFollows(entry, parts)).trimmed();
}

QString letterRemovalQuestion(const LetterEntry& entry)
{
    return QStringLiteral("Togliere la tua voce del tasto «%1»? %2 Non si può annullare.")
        .arg(entry.letter, quillosUnder(entry.owner) ? QStringLiteral("Torna quella di Quillo.")
                                                     : QStringLiteral("Il tasto resterà senza voce."));
}

QString letterRemovedSentence(const LetterEntry& entry)
{
    return QStringLiteral("Ho tolto la tua voce del tasto «%1». %2")
        .arg(entry.letter, quillosUnder(entry.owner) ? QStringLiteral("Torna quella di Quillo.")
                                                     : QStringLiteral("Il tasto resterà senza voce."));
}

}  // namespace quillo::parole
