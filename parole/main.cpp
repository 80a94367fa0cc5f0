// quillo-parole: "Le parole di Quillo", where a parent adds the child's
// words, photos and their own voice to the family's library. Without
// arguments it opens the window; with a command it does the same work from
// the command line (see command_line.h).

#include "command_line.h"
#include "italian.h"
#include "parole_window.h"
#include "session_end.h"
#include "stderr_italian.h"

#include "library/installed_libraries.h"
#include "platform/sound/sdl_sound.h"

#include <QApplication>
#include <QCoreApplication>
#include <QSessionManager>
#include <QTimer>

int main(int argc, char* argv[])
{
    quillo::SdlSound::prepareProcess();
    if (argc > 1) {
        QCoreApplication app(argc, argv);
        quillo::parole::sayLogInItalian();
        return quillo::parole::runCommandLine(QCoreApplication::arguments());
    }
    quillo::parole::useItalianLocale();
    QApplication app(argc, argv);
    quillo::parole::sayLogInItalian();
    QApplication::setApplicationName(QStringLiteral("quillo-parole"));
    QApplication::setApplicationDisplayName(QStringLiteral("Le parole di Quillo"));
    QApplication::setDesktopFileName(QStringLiteral("it.quillonuvi.Quillo.Parole"));
    quillo::parole::installItalian();
    quillo::parole::ParoleWindow window(quillo::installedLibraries());
    // At the end of the session the parent's unsaved work is kept, never
    // asked about: nobody may be there to answer.
    quillo::parole::SessionEnd sessionEnd;
    QObject::connect(&sessionEnd, &quillo::parole::SessionEnd::ending, &window, [&window] {
        window.endSession();
        QCoreApplication::exit(0);  // from inside any dialog open now too
    });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager&) { window.keepUnsavedWork(); });
    window.show();
    QTimer::singleShot(0, &window, &quillo::parole::ParoleWindow::offerDraft);
    return app.exec();
}
