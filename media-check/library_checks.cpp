#include "library_checks.h"

#include "name_rules.h"
#include "recording_checks.h"

#include "library/media_library.h"
#include "library/picture_loader.h"
#include "platform/files/file_name.h"
#include "platform/files/file_search.h"
#include "platform/files/wildcard.h"

#include <QFileInfo>
#include <QMap>
#include <QSet>

namespace quillo::check {

namespace {

// Names that would clash or be impossible elsewhere, in Quillo's own listing
// of the folder (which sees names that are not UTF-8, and skips hidden files).
// `findsByName`: Quillo finds this folder's files by name (the recordings),
// rather than showing every one of them (the pictures).
void checkNames(Report& report, const QString& folderName, const QString& folder, bool findsByName)
{
    QMap<QString, QStringList> byFoldedName;
    for (const QString& name : listMatchingFiles(folder, kEveryFile)) {
        const QString readable = readableFileName(name);
        byFoldedName[readable.toCaseFolded()].append(name);
        const auto [it, en] = nameTroubles(readable);
        if (!it.isEmpty())
            report.add(folderName + u'/' + shown(name),
                       QStringLiteral("nome impossibile su altri sistemi: %1").arg(it.join(QStringLiteral("; "))),
                       QStringLiteral("name impossible on other systems: %1").arg(en.join(QStringLiteral("; "))));
    }
    for (const QStringList& same : std::as_const(byFoldedName)) {
        if (same.size() < 2)
            continue;
        QStringList quoted;
        for (const QString& name : same)
            quoted << shown(name);
        const QString list = quoted.join(QStringLiteral(", "));
        // What Quillo does with them: each found by its own spelling, unless
        // another one is found first for it (a UTF-8 name before the same
        // name in Latin-1).
        QStringList unheardIt, unheardEn;
        for (const QString& name : same) {
            const QString found = findFirstFile(folder, readableFileName(name), /*wildcards=*/false);
            if (!findsByName || found == name)
                continue;
            unheardIt << QStringLiteral("%1 non si sente mai, Quillo trova prima %2").arg(shown(name), shown(found));
            unheardEn << QStringLiteral("%1 is never heard, Quillo finds %2 first").arg(shown(name), shown(found));
        }
        const bool allUsed = unheardIt.isEmpty();
        QSet<QString> readable;
        for (const QString& name : same)
            readable.insert(readableFileName(name));
        const bool sameName = readable.size() < same.size();  // one in UTF-8, one in Latin-1
        report.add(folderName,
                   (sameName ? QStringLiteral("%1 si leggono come lo stesso nome, %2")
                             : QStringLiteral("%1 differiscono solo per maiuscole e minuscole, %2"))
                       .arg(list, allUsed ? findsByName ? QStringLiteral("Quillo usa ciascuno per il nome scritto così")
                                                        : QStringLiteral("Quillo li mostra tutti")
                                          : unheardIt.join(QStringLiteral("; "))),
                   (sameName ? QStringLiteral("%1 read as the same name, %2")
                             : QStringLiteral("%1 differ only in letter case, %2"))
                       .arg(list, allUsed ? findsByName ? QStringLiteral("Quillo uses each for its name spelled so")
                                                        : QStringLiteral("Quillo shows them all")
                                          : unheardEn.join(QStringLiteral("; "))));
    }
}

// `words`: the libraries a picture's recording is looked for in, as Quillo
// looks for it; none when there is no words folder.
void checkPictures(Report& report, const QString& pictures, MediaLibrary* words)
{
    for (const QString& name : listMatchingFiles(pictures, kEveryFile)) {
        ++report.pictures;
        const QString where = QStringLiteral("immagini/") + shown(name);

        // Read as Quillo reads it: a FIFO or a device in its place is never
        // opened, and a picture too large is refused by its header.
        PictureTrouble trouble;
        const bool opens = !loadPicture(pictures + name, QSize(32, 32), &trouble).isNull();
        if (!opens && trouble.kind == PictureTrouble::TooLarge) {
            // The limit in the words the parents' window uses for it.
            report.add(where,
                       QStringLiteral("l'immagine è troppo grande: Quillo apre foto di al massimo %1 pixel per lato e "
                                      "%2 megapixel")
                           .arg(kMaxPictureSide)
                           .arg(trouble.mostMegapixels),
                       QStringLiteral("the picture is too large: Quillo opens pictures of at most %1 pixels a side and "
                                      "%2 megapixels")
                           .arg(kMaxPictureSide)
                           .arg(trouble.mostMegapixels),
                       QStringLiteral("%1x%2 px").arg(trouble.size.width()).arg(trouble.size.height()));
        } else if (!opens) {
            report.add(where, QStringLiteral("l'immagine non si apre"), QStringLiteral("the picture does not open"),
                       shown(trouble.why));
        }

        if (!hasThreeLetterExtension(name)) {
            const QString word = shown(wordOfPicture(name));
            report.add(where, QStringLiteral("l'estensione non è di tre lettere, la parola uscirebbe \"%1\"").arg(word),
                       QStringLiteral("the extension is not three letters, the word would come out as \"%1\"").arg(word));
            continue;  // its word recording is beside the point
        }
        const QString recording = wordOfPicture(name) + QStringLiteral(".wav");
        if (words && words->locate(LibraryFolder::Words, recording).isEmpty())
            report.add(where, QStringLiteral("manca la registrazione della parola, parole/%1").arg(shown(recording)),
                       QStringLiteral("its word has no recording, parole/%1").arg(shown(recording)));
    }
}

// The names and the recordings of a library's alfabeto/ and parole/; an
// empty path is a folder that is not there to check.
void checkRecordingFolders(Report& report, const QString& letters, const QString& words)
{
    if (!letters.isEmpty()) {
        checkNames(report, QStringLiteral("alfabeto"), letters, /*findsByName=*/true);
        checkRecordings(report, QStringLiteral("alfabeto"), letters);
    }
    if (!words.isEmpty()) {
        checkNames(report, QStringLiteral("parole"), words, /*findsByName=*/true);
        checkRecordings(report, QStringLiteral("parole"), words);
    }
}

}  // namespace

Report checkLibrary(const QString& media)
{
    Report report;
    const QString letters = folderIn(media, LibraryFolder::Letters);
    const QString words = folderIn(media, LibraryFolder::Words);
    const QString pictures = folderIn(media, LibraryFolder::Pictures);
    const bool haveLetters = QFileInfo(letters).isDir();
    const bool haveWords = QFileInfo(words).isDir();
    const bool havePictures = QFileInfo(pictures).isDir();
    const std::pair<const char*, bool> folders[] = {{"alfabeto", haveLetters}, {"parole", haveWords}, {"immagini", havePictures}};
    for (const auto& [name, present] : folders) {
        if (!present)
            report.add({}, QStringLiteral("manca la cartella %1").arg(QLatin1String(name)),
                       QStringLiteral("folder %1 is missing").arg(QLatin1String(name)));
    }

    checkRecordingFolders(report, haveLetters ? letters : QString(), haveWords ? words : QString());
    checkRequiredRecordings(report, haveLetters ? letters : QString(), haveWords ? words : QString());
    if (havePictures) {
        checkNames(report, QStringLiteral("immagini"), pictures, /*findsByName=*/false);
        MediaLibrary alone(media, {});
        checkPictures(report, pictures, haveWords ? &alone : nullptr);
    }
    return report;
}

Report checkOwnLibrary(const QString& own, const QString& bundled)
{
    Report report;
    if (const FolderTrouble trouble = folderTrouble(own); trouble.faulty()) {
        report.add(shown(trouble.path), trouble.italian() + QStringLiteral(", Quillo usa solo la libreria inclusa"),
                   trouble.english() + QStringLiteral(", Quillo uses the bundled library alone"));
        return report;
    }
    // The folders Quillo uses, each left out said with why, as Quillo judges them.
    MediaLibrary media(bundled, own);
    auto usable = [&](LibraryFolder kind) {
        const FolderTrouble& trouble = media.userTrouble(kind);
        if (trouble.faulty())
            report.add(folderName(kind), trouble.italian() + QStringLiteral(", Quillo non la usa"),
                       trouble.english() + QStringLiteral(", Quillo leaves it out"));
        return trouble.usable() ? folderIn(own, kind) : QString();
    };
    const QString letters = usable(LibraryFolder::Letters);
    const QString words = usable(LibraryFolder::Words);
    const QString pictures = usable(LibraryFolder::Pictures);
    checkRecordingFolders(report, letters, words);
    if (!pictures.isEmpty()) {
        checkNames(report, folderName(LibraryFolder::Pictures), pictures, /*findsByName=*/false);
        const bool anyWords = !words.isEmpty() || folderTrouble(folderIn(bundled, LibraryFolder::Words)).usable();
        checkPictures(report, pictures, anyWords ? &media : nullptr);
    }
    return report;
}

}  // namespace quillo::check
