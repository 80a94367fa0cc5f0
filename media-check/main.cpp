// quillo-media-check [FOLDER]
//
// Looks through a Quillo media folder (alfabeto/, parole/, immagini/) for
// everything that would make the program misbehave, and says so in plain
// Italian and English, one line per problem. Without FOLDER it looks where
// Quillo itself does: at the bundled library beside this program, and at the
// user's own library ($XDG_DATA_HOME/quillo) when there is one, each line
// then saying which library it is about. Nothing is required of the user's
// library (any folder of it may be left out, any recording the bundled one
// has); a picture of it may have its word recorded in either library.
//
// Exit status: 0 when all is well, 1 when a problem was found, 2 on bad usage.
// Every verdict is Quillo's own: folders are listed, names read (a name that
// is not UTF-8 as Latin-1) and found as Quillo lists, reads and finds them,
// and each recording goes through the player's own decoder with its limits.
// Hidden (dot) files are ignored, as Quillo ignores them. No audio device is
// opened: recordings are judged as for a device at 48 kHz stereo in 32-bit
// float, what a desktop's sound server runs at most often and the costliest
// format for the memory bound.

#include "feedback/media_paths.h"
#include "platform/files/file_name.h"
#include "platform/files/file_search.h"
#include "platform/files/picture_list.h"
#include "platform/files/picture_loader.h"
#include "platform/files/user_media_folder.h"
#include "platform/program_folder.h"
#include "platform/files/wildcard.h"
#include "platform/sound/wav_decoder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMap>
#include <QSet>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <tuple>
#include <utility>

namespace {

using quillo::findFirstFile;
using quillo::listMatchingFiles;

struct Report {
    QStringList problems;
    int recordings = 0;
    int pictures = 0;
    QMap<QString, int> picturesByLetter;  // by first character, case-blind, as the typed key finds them

    // One line: where (a file or folder, may be empty), what in Italian /
    // what in English, then any detail (the libraries speak English).
    void add(const QString& where, const QString& italian, const QString& english, const QString& detail = {})
    {
        QString line = where.isEmpty() ? QString() : where + QStringLiteral(": ");
        line += italian + QStringLiteral(" / ") + english;
        if (!detail.isEmpty())
            line += QStringLiteral(" (") + detail + u')';
        problems.append(line);
    }
};

// A name as it may be printed on one line: control characters spelled out.
QString shown(const QString& name)
{
    QString out;
    for (QChar c : name) {
        if (c.unicode() < 32 || c.unicode() == 127)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else if (c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF)  // a byte that is not UTF-8
            out += QStringLiteral("\\x%1").arg(c.unicode() - 0xDC00, 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

bool isReservedWindowsName(const QString& name)
{
    QString base = name.section(u'.', 0, 0);
    while (base.endsWith(u' '))
        base.chop(1);
    base = base.toUpper();
    static const QStringList fixed = {QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"), QStringLiteral("NUL")};
    if (fixed.contains(base))
        return true;
    return base.size() == 4 && (base.startsWith(QLatin1String("COM")) || base.startsWith(QLatin1String("LPT")))
        && base.at(3) >= u'1' && base.at(3) <= u'9';
}

// Why a name would be impossible (or a trap) on another system; empty when
// it is fine. Two lists: Italian and English.
std::pair<QStringList, QStringList> nameTroubles(const QString& name)
{
    QStringList it, en;
    QString forbidden;
    for (QChar c : name) {
        if (quillo::isForbiddenInFileName(c) && !forbidden.contains(c))
            forbidden += c;
    }
    if (!forbidden.isEmpty()) {
        it << QStringLiteral("contiene %1").arg(shown(forbidden));
        en << QStringLiteral("contains %1").arg(shown(forbidden));
    }
    if (quillo::hasWildcards(name)) {
        it << QStringLiteral("contiene * o ?, che Quillo legge come caratteri jolly");
        en << QStringLiteral("contains * or ?, which Quillo reads as wildcards");
    }
    if (name.endsWith(u' ')) {
        it << QStringLiteral("finisce con uno spazio");
        en << QStringLiteral("ends in a space");
    } else if (name.endsWith(u'.')) {
        it << QStringLiteral("finisce con un punto");
        en << QStringLiteral("ends in a dot");
    }
    if (isReservedWindowsName(name)) {
        it << QStringLiteral("è un nome riservato di Windows");
        en << QStringLiteral("is a reserved Windows name");
    }
    return {it, en};
}

// Names that would clash or be impossible elsewhere, in Quillo's own listing
// of the folder (which sees names that are not UTF-8, and skips hidden files).
// `findsByName`: Quillo finds this folder's files by name (the recordings),
// rather than showing every one of them (the pictures).
void checkNames(Report& report, const QString& folderName, const QString& folder, bool findsByName)
{
    QMap<QString, QStringList> byFoldedName;
    for (const QString& name : listMatchingFiles(folder, quillo::kEveryFile)) {
        const QString readable = quillo::readableFileName(name);
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
            const QString found = findFirstFile(folder, quillo::readableFileName(name), /*wildcards=*/false);
            if (!findsByName || found == name)
                continue;
            unheardIt << QStringLiteral("%1 non si sente mai, Quillo trova prima %2").arg(shown(name), shown(found));
            unheardEn << QStringLiteral("%1 is never heard, Quillo finds %2 first").arg(shown(name), shown(found));
        }
        const bool allUsed = unheardIt.isEmpty();
        QSet<QString> readable;
        for (const QString& name : same)
            readable.insert(quillo::readableFileName(name));
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

struct Needed {
    QStringList italian, english;
};

// `letters` or `words` empty: that folder is missing, which is said already.
void checkRequiredRecordings(Report& report, const QString& letters, const QString& words)
{
    // Every file the program always needs, with what it is for.
    QMap<QString, Needed> needed;
    for (char c = 'a'; c <= 'z'; ++c) {
        Needed& n = needed[QStringLiteral("%1.wav").arg(QLatin1Char(c))];
        n.italian << QStringLiteral("la lettera %1").arg(QLatin1Char(c));
        n.english << QStringLiteral("letter %1").arg(QLatin1Char(c));
    }
    for (char c = '0'; c <= '9'; ++c) {
        Needed& n = needed[QStringLiteral("%1.wav").arg(QLatin1Char(c))];
        n.italian << QStringLiteral("la cifra %1").arg(QLatin1Char(c));
        n.english << QStringLiteral("digit %1").arg(QLatin1Char(c));
    }
    auto role = [&](const QString& file, const char* italian, const char* english) {
        needed[file].italian << QString::fromUtf8(italian);
        needed[file].english << QString::fromUtf8(english);
    };
    role(quillo::media::kFallbackSound, "il suono dei tasti senza registrazione", "the sound of keys without a recording");
    role(quillo::media::kWordCue, "l'avviso prima della parola", "the cue before a word");
    role(quillo::media::kSavedFirst, "la conferma del salvataggio", "the confirmation of a save");
    role(quillo::media::kSavedSecond, "la conferma del salvataggio", "the confirmation of a save");

    for (auto it = needed.cbegin(); !letters.isEmpty() && it != needed.cend(); ++it) {
        if (!findFirstFile(letters, it.key(), /*wildcards=*/false).isEmpty())
            continue;
        report.add(QStringLiteral("alfabeto/") + it.key(),
                   QStringLiteral("manca: %1").arg(it->italian.join(QStringLiteral(" e "))),
                   QStringLiteral("missing: %1").arg(it->english.join(QStringLiteral(" and "))));
    }
    if (!words.isEmpty() && findFirstFile(words, quillo::media::kPraiseSound, /*wildcards=*/false).isEmpty())
        report.add(QStringLiteral("parole/") + quillo::media::kPraiseSound, QStringLiteral("manca: la lode"),
                   QStringLiteral("missing: the praise"));
}

// What the player does with each recording, through its own decoder.
void checkRecordings(Report& report, const QString& folderName, const QString& folder)
{
    using quillo::WavRefusal;
    const QString instead = QStringLiteral("Quillo suona il segnale al suo posto");
    const QString insteadEn = QStringLiteral("Quillo plays the chime instead");
    for (const QString& name : listMatchingFiles(folder, QStringLiteral("*.wav"))) {
        ++report.recordings;
        const quillo::DecodedWav wav =
            quillo::decodeWavFile(folder + name, quillo::PcmFormat::commonServer(), /*onlyCheck=*/true);
        const QString where = folderName + u'/' + shown(name);
        const double megabytes = wav.bytes / (1024 * 1024);
        switch (wav.refusal) {
        case WavRefusal::None:
            break;
        case WavRefusal::TooLong:
            report.add(where, QStringLiteral("la registrazione è troppo lunga, ") + instead,
                       QStringLiteral("the recording is too long, ") + insteadEn,
                       QStringLiteral("%1 minutes; at most %2").arg(wav.seconds / 60, 0, 'f', 1).arg(quillo::kLongestRecordingSeconds / 60));
            break;
        case WavRefusal::TooLarge:
            report.add(where, QStringLiteral("la registrazione vuole troppa memoria, ") + instead,
                       QStringLiteral("the recording needs too much memory, ") + insteadEn,
                       QStringLiteral("%1 MB; at most %2 MB").arg(megabytes, 0, 'f', 0).arg(quillo::kMostDecodingBytes >> 20));
            break;
        case WavRefusal::FileTooLarge:
            report.add(where, QStringLiteral("il file è troppo grande, ") + instead,
                       QStringLiteral("the file is too large, ") + insteadEn,
                       QStringLiteral("%1 MB; at most %2 MB").arg(megabytes, 0, 'f', 0).arg(quillo::kLargestWavFileBytes >> 20));
            break;
        case WavRefusal::Missing:
        case WavRefusal::NotOpened:
            report.add(where, QStringLiteral("la registrazione non si apre"), QStringLiteral("the recording does not open"),
                       shown(wav.detail));
            break;
        case WavRefusal::NotAWav:
        case WavRefusal::NoMemory:
        case WavRefusal::NotConverted:
            report.add(where, QStringLiteral("la registrazione non si carica"),
                       QStringLiteral("the recording does not load"), shown(wav.detail));
            break;
        }
    }
}

bool hasThreeLetterExtension(const QString& name)
{
    if (name.size() < 5 || name.at(name.size() - 4) != u'.')
        return false;
    for (qsizetype i = name.size() - 3; i < name.size(); ++i) {
        if (!name.at(i).isLetterOrNumber())
            return false;
    }
    return true;
}

// `words`: the words folders that may hold a picture's recording, in the
// order Quillo looks in them; none when there is no words folder.
void checkPictures(Report& report, const QString& pictures, const QStringList& words)
{
    for (const QString& name : listMatchingFiles(pictures, quillo::kEveryFile)) {
        ++report.pictures;
        ++report.picturesByLetter[quillo::readableFileName(name).left(1).toLower()];
        const QString path = pictures + name;
        const QString where = QStringLiteral("immagini/") + shown(name);

        const QSize size = QImageReader(path).size();
        if (size.isValid() && !size.isEmpty() && !quillo::pictureSizeAcceptable(size)) {
            // The limit in the words the parents' window uses for it.
            report.add(where,
                       QStringLiteral("l'immagine è troppo grande: Quillo apre foto di al massimo %1 pixel per lato e "
                                      "%2 megapixel")
                           .arg(quillo::kMaxPictureSide)
                           .arg(quillo::kMaxPictureMegapixels),
                       QStringLiteral("the picture is too large: Quillo opens pictures of at most %1 pixels a side and "
                                      "%2 megapixels")
                           .arg(quillo::kMaxPictureSide)
                           .arg(quillo::kMaxPictureMegapixels),
                       QStringLiteral("%1x%2 px").arg(size.width()).arg(size.height()));
        } else {
            QString error;
            if (quillo::loadPicture(path, QSize(32, 32), &error).isNull()) {
                error.remove(0, path.size() + 2);  // the path is already said
                report.add(where, QStringLiteral("l'immagine non si apre"), QStringLiteral("the picture does not open"),
                           shown(error));
            }
        }

        if (!hasThreeLetterExtension(name)) {
            const QString word = shown(quillo::media::wordOfPicture(name));
            report.add(where, QStringLiteral("l'estensione non è di tre lettere, la parola uscirebbe \"%1\"").arg(word),
                       QStringLiteral("the extension is not three letters, the word would come out as \"%1\"").arg(word));
            continue;  // its word recording is beside the point
        }
        const QString recording = quillo::media::wordOfPicture(name) + QStringLiteral(".wav");
        const bool recorded = std::any_of(words.cbegin(), words.cend(), [&](const QString& folder) {
            return !findFirstFile(folder, recording, /*wildcards=*/false).isEmpty();
        });
        if (!words.isEmpty() && !recorded)
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

// Everything about one media root (a folder holding alfabeto/, parole/ and
// immagini/), as Quillo would meet it there.
Report checkMediaRoot(const QString& media)
{
    Report report;
    const QString letters = quillo::media::lettersFolder(media);
    const QString words = quillo::media::wordsFolder(media);
    const QString pictures = quillo::media::picturesFolder(media);
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
        checkPictures(report, pictures, haveWords ? QStringList{words} : QStringList{});
    }
    return report;
}

// Why Quillo leaves a folder of the user's library out (as
// usableOptionalFolder does); empty when it is there and usable, or missing.
std::pair<QString, QString> whyLeftOut(const QString& folder)
{
    struct stat info {};
    if (::stat(quillo::encodeFileName(folder).constData(), &info) != 0) {
        if (errno == ENOENT)
            return {};
        if (errno == ELOOP)
            return {QStringLiteral("i collegamenti girano in tondo"), QStringLiteral("its links go round in a loop")};
        if (errno == ENOTDIR)
            return {QStringLiteral("non è una cartella"), QStringLiteral("it is not a folder")};
        return {QStringLiteral("non si può leggere"), QStringLiteral("it cannot be read")};
    }
    if (!S_ISDIR(info.st_mode))
        return {QStringLiteral("non è una cartella"), QStringLiteral("it is not a folder")};
    const QFileInfo readable(folder);
    if (!readable.isReadable() || !readable.isExecutable())
        return {QStringLiteral("non si può leggere"), QStringLiteral("it cannot be read")};
    return {};
}

// The user's own library at `own`, beside the bundled one at `bundled`.
Report checkOwnLibrary(const QString& own, const QString& bundled)
{
    Report report;
    if (const auto [it, en] = whyLeftOut(own); !it.isEmpty()) {
        report.add(shown(own), it + QStringLiteral(", Quillo usa solo la libreria inclusa"),
                   en + QStringLiteral(", Quillo uses the bundled library alone"));
        return report;
    }
    const QString letters = quillo::media::lettersFolder(own);
    const QString words = quillo::media::wordsFolder(own);
    const QString pictures = quillo::media::picturesFolder(own);
    auto usable = [&](const char* name, const QString& folder) {
        const auto [it, en] = whyLeftOut(folder);
        if (!it.isEmpty())
            report.add(QLatin1String(name), it + QStringLiteral(", Quillo non la usa"), en + QStringLiteral(", Quillo leaves it out"));
        return it.isEmpty() && QFileInfo(folder).isDir();
    };
    const bool haveLetters = usable("alfabeto", letters);
    const bool haveWords = usable("parole", words);
    const bool havePictures = usable("immagini", pictures);
    checkRecordingFolders(report, haveLetters ? letters : QString(), haveWords ? words : QString());
    if (havePictures) {
        checkNames(report, QStringLiteral("immagini"), pictures, /*findsByName=*/false);
        QStringList wordsFolders;
        for (const QString& folder : {words, quillo::media::wordsFolder(bundled)}) {
            if (QFileInfo(folder).isDir())
                wordsFolders << folder;
        }
        checkPictures(report, pictures, wordsFolders);
    }
    return report;
}

void print(std::FILE* to, const QString& line)
{
    std::fputs(line.toUtf8().constData(), to);
    std::fputc('\n', to);
}

// The bundled library and the user's, each line saying which it is about;
// the pictures per letter are those of both, as Quillo lists them.
int checkBothLibraries(const QString& bundled, const QString& own)
{
    const QString bundledLabel = QStringLiteral("libreria inclusa / bundled library: ");
    const QString ownLabel = QStringLiteral("la tua libreria / your library: ");
    bool allGood = true;
    for (const auto& [label, root, report] : {std::tuple{bundledLabel, bundled, checkMediaRoot(bundled)},
                                              std::tuple{ownLabel, own, checkOwnLibrary(own, bundled)}}) {
        for (const QString& line : report.problems)
            print(stdout, label + line);
        if (!report.problems.isEmpty()) {
            allGood = false;
            print(stdout, label + QStringLiteral("problemi: %1 in %2 / problems: %1 in %2").arg(report.problems.size()).arg(shown(root)));
        } else {
            print(stdout, label + QStringLiteral("tutto a posto / all good: %1 recordings, %2 pictures")
                                      .arg(report.recordings)
                                      .arg(report.pictures));
        }
    }
    if (!allGood)
        return 1;
    quillo::PictureList pictures;
    pictures.setUserFolder(quillo::media::picturesFolder(own));
    pictures.setFolder(quillo::media::picturesFolder(bundled));
    QMap<QString, int> byLetter;
    for (const QString& name : pictures.names())
        ++byLetter[quillo::readableFileName(name).left(1).toLower()];
    QStringList counts;
    for (auto it = byLetter.cbegin(); it != byLetter.cend(); ++it)
        counts << QStringLiteral("%1 %2").arg(shown(it.key())).arg(it.value());
    if (!counts.isEmpty())
        print(stdout, QStringLiteral("immagini per lettera, le due librerie insieme / pictures per letter, both libraries: %1")
                          .arg(counts.join(QStringLiteral(", "))));
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.size() > 1 || (arguments.size() == 1 && arguments.front().startsWith(u'-'))) {
        const bool help = arguments.contains(QStringLiteral("-h")) || arguments.contains(QStringLiteral("--help"));
        print(help ? stdout : stderr,
              QStringLiteral("uso / usage: quillo-media-check [CARTELLA / FOLDER]\n"
                             "Controlla le cartelle alfabeto, parole e immagini di Quillo; senza argomento, quelle "
                             "accanto a questo programma e quelle della tua libreria, in ~/.local/share/quillo.\n"
                             "Checks Quillo's alfabeto, parole and immagini folders; without an argument, those "
                             "beside this program and those of your own library, in ~/.local/share/quillo."));
        return help ? 0 : 2;
    }

    QString media = arguments.isEmpty() ? quillo::RunningProgramFolder().path() : QDir(arguments.front()).absolutePath();
    while (media.size() > 1 && media.endsWith(u'/'))
        media.chop(1);
    if (!QFileInfo(media).isDir()) {
        print(stdout, QStringLiteral("%1: la cartella non esiste / the folder does not exist").arg(shown(media)));
        return 1;
    }
    // Where Quillo looks, the user's library is looked at too when there is
    // anything in its place.
    const QString own = quillo::userMediaFolder();
    struct stat ownInfo {};
    if (arguments.isEmpty() && (::stat(quillo::encodeFileName(own).constData(), &ownInfo) == 0 || errno != ENOENT))
        return checkBothLibraries(media, own);

    const Report report = checkMediaRoot(media);
    for (const QString& line : report.problems)
        print(stdout, line);
    if (!report.problems.isEmpty()) {
        print(stdout, QStringLiteral("problemi: %1 in %2 / problems: %1 in %2").arg(report.problems.size()).arg(shown(media)));
        return 1;
    }
    print(stdout, QStringLiteral("tutto a posto / all good: %1 recordings, %2 pictures").arg(report.recordings).arg(report.pictures));
    QStringList counts;
    for (auto it = report.picturesByLetter.cbegin(); it != report.picturesByLetter.cend(); ++it)
        counts << QStringLiteral("%1 %2").arg(shown(it.key())).arg(it.value());
    if (!counts.isEmpty())
        print(stdout, QStringLiteral("immagini per lettera / pictures per letter: %1").arg(counts.join(QStringLiteral(", "))));
    return 0;
}
