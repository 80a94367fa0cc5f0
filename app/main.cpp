#include "platform/base/failure.h"
#include "app/command_line.h"
#include "app/parla.h"
#include "app/startup.h"
#include "library/installed_libraries.h"
#include "platform/desktop/display_system.h"
#include "platform/desktop/single_instance.h"
#include "platform/desktop/keyboard_hold.h"
#include "platform/desktop/lifted_hold_mark.h"
#include "platform/desktop/power_keys_lock.h"
#include "platform/desktop/screen_covers.h"
#include "platform/desktop/composed_keys.h"
#include "platform/desktop/signal_exit.h"
#include "platform/base/log.h"
#include "platform/base/magic_sysrq.h"
#include "platform/program_exit.h"
#include "platform/sound/sdl_sound.h"

#include <QApplication>
#include <QMessageBox>

namespace {

// The whole program, from the application object to the window's end:
// everything it makes is gone when it returns.
int run(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("Quillo"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLO_VERSION));
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (quillo::onlyPrints(arguments)) {
        // Printed without a window system: it works where there is no display.
        QCoreApplication text(argc, argv);
        quillo::readCommandLine(QCoreApplication::arguments());  // prints and ends
        return 0;
    }
    QApplication app(argc, argv);
    const quillo::CommandLine commandLine = quillo::readCommandLine(QApplication::arguments());
    quillo::SignalExit signalExit;

    quillo::SingleInstance instance;
    if (!instance.claim())
        return 0;  // the running one comes to the front instead
    quillo::KeyboardHold keyboardHold;
    quillo::ComposedKeys composedKeys;
    quillo::PowerKeysLock powerKeysLock;  // held until Quillo ends
    // No program holds these keys off: only the adult's setup can.
    if (const QString sysrq = quillo::magic_sysrq::warning(quillo::magic_sysrq::read()); !sysrq.isEmpty())
        qCWarning(quillo::lcQuillo, "%s", qPrintable(sysrq));

    // The sound device starts opening here, on its own thread, while the window
    // is built: the first key is heard as fast as any later one.
    quillo::Platform platform = quillo::Platform::real();
    // The family's library as both helpers find it; the bundled one is the
    // program folder's.
    platform.userMediaFolder = quillo::installedLibraries().user();
    quillo::Parla window(platform);
    window.quitHold.setEnabled(commandLine.holdToQuit);
    try {
        quillo::Form_Load(window);
    } catch (const quillo::Failure& failure) {
        // The one problem shown in a box: Quillo cannot start at all, so an
        // adult is there to read it. The window never appears.
        qCWarning(quillo::lcQuillo, "cannot start: %s", qPrintable(failure.message()));
        if (quillo::hasVisibleDisplay())
            QMessageBox::critical(nullptr, QStringLiteral("Quillo"),
                                  QStringLiteral("Quillo non può partire:\n%1").arg(failure.message()));
        return 1;
    }
    // The covers go up before the window, so that a kiosk compositor, which
    // stretches every window over all its outputs and shows the newest on
    // top, keeps the sheet in front.
    quillo::ScreenCovers covers(&window, window.scrivo->background());
    window.showCoveringScreen();
    QObject::connect(window.scrivo, &quillo::WritingSheet::backgroundChanged, &covers, &quillo::ScreenCovers::setColour);
    auto* liftedMark = new quillo::LiftedHoldMark(&window);
    QObject::connect(&keyboardHold, &quillo::KeyboardHold::liftedChanged, liftedMark, &quillo::LiftedHoldMark::setLifted);
    // Ends as closing the window does, nothing saved, also in the middle of a sound.
    QObject::connect(&signalExit, &quillo::SignalExit::requested, &window, [&window] { window.endProgram(); });
    QObject::connect(&instance, &quillo::SingleInstance::activationRequested, &window, [&window] {
        window.raise();
        window.activateWindow();
    });
    return QApplication::exec();
}

}  // namespace

int main(int argc, char* argv[])
{
    quillo::SdlSound::prepareProcess();  // before any thread reads the environment
    return quillo::finishProcess(run(argc, argv));
}
