// quillo-parole: "Le parole di Quillo", where a parent adds the child's
// words, photos and their own voice to the family's library. Without
// arguments it opens the window; with a command it does the same work from
// the command line (see command_line.h).

#include "command_line.h"
#include "italian.h"
#include "parole_window.h"

#include "library/installed_libraries.h"
#include "platform/sound/sdl_sound.h"

#include <QApplication>
#include <QCoreApplication>

int main(int argc, char* argv[])
{
    quillo::SdlSound::prepareProcess();
    if (argc > 1) {
        QCoreApplication app(argc, argv);
        return quillo::parole::runCommandLine(QCoreApplication::arguments());
    }
    quillo::parole::useItalianLocale();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillo-parole"));
    QApplication::setApplicationDisplayName(QStringLiteral("Le parole di Quillo"));
    QApplication::setDesktopFileName(QStringLiteral("it.quillonuvi.Quillo.Parole"));
    quillo::parole::installItalian();
    quillo::parole::ParoleWindow window(quillo::installedLibraries());
    window.show();
    return app.exec();
}
