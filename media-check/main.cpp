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

#include "library_checks.h"
#include "name_rules.h"
#include "report.h"

#include "library/installed_libraries.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

using namespace quillo;
using namespace quillo::check;

namespace {

// The bundled library and the user's, each line saying which it is about;
// the pictures per letter are those of both, as Quillo lists them.
int checkBothLibraries(const QString& bundled, const QString& own)
{
    const bool bundledGood = printReport(checkLibrary(bundled), QStringLiteral("libreria inclusa / bundled library: "), bundled);
    const bool ownGood = printReport(checkOwnLibrary(own, bundled), QStringLiteral("la tua libreria / your library: "), own);
    if (!bundledGood || !ownGood)
        return 1;
    printPerLetter(MediaLibrary(bundled, own).pictures(),
                   QStringLiteral("immagini per lettera, le due librerie insieme / pictures per letter, both libraries"));
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.size() > 1 || (arguments.size() == 1 && arguments.front().startsWith(u'-'))) {
        const bool help = arguments.contains(QStringLiteral("-h")) || arguments.contains(QStringLiteral("--help"));
        std::fputs(QStringLiteral("uso / usage: quillo-media-check [CARTELLA / FOLDER]\n"
                             "Controlla le cartelle alfabeto, parole e immagini di Quillo; senza argomento, quelle "
                             "accanto a questo programma e quelle della tua libreria, in ~/.local/share/quillo.\n"
                             "Checks Quillo's alfabeto, parole and immagini folders; without an argument, those "
                             "beside this program and those of your own library, in ~/.local/share/quillo.\n")
                       .toUtf8()
                       .constData(),
                   help ? stdout : stderr);
        return help ? 0 : 2;
    }

    // Without a folder, the pair of libraries Quillo itself reads.
    const MediaLibrary installed = arguments.isEmpty() ? installedLibraries() : MediaLibrary();
    QString media = arguments.isEmpty() ? installed.bundled() : QDir(arguments.front()).absolutePath();
    while (media.size() > 1 && media.endsWith(u'/'))
        media.chop(1);
    if (!QFileInfo(media).isDir()) {
        printLine(QStringLiteral("%1: la cartella non esiste / the folder does not exist").arg(shown(media)));
        return 1;
    }
    // Where Quillo looks, the user's library is looked at too when there is
    // anything in its place.
    const QString own = installed.user();
    if (arguments.isEmpty() && folderTrouble(own).kind != FolderTrouble::Missing)
        return checkBothLibraries(media, own);

    if (!printReport(checkLibrary(media), {}, media))
        return 1;
    printPerLetter(MediaLibrary(media, {}).pictures(), QStringLiteral("immagini per lettera / pictures per letter"));
    return 0;
}
