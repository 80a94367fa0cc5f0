#include "platform/failure.h"
#include "app/parla.h"
#include "app/startup.h"
#include "platform/sdl_sound.h"
#include "platform/log.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>


namespace {

bool hasDisplay()
{
    const QString name = QGuiApplication::platformName();
    return name != QLatin1String("offscreen") && name != QLatin1String("minimal");
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillo"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLO_VERSION));

    quillo::Platform platform = quillo::Platform::real();
    quillo::Parla window(platform);
    try {
        quillo::Form_Load(window);
    } catch (const quillo::Failure& failure) {
        // The one problem shown in a box: Quillo cannot start at all, so an
        // adult is there to read it. The window never appears.
        qCWarning(quillo::lcQuillo, "cannot start: %s", qPrintable(failure.message()));
        if (hasDisplay())
            QMessageBox::critical(nullptr, QStringLiteral("Quillo"),
                                  QStringLiteral("Quillo non può partire:\n%1").arg(failure.message()));
        return 1;
    }
    window.showCoveringScreen();
    // The audio device opens once the window is up, so the child sees it at once.
    QTimer::singleShot(0, &window, [&platform] {
        if (auto* sound = dynamic_cast<quillo::SdlSound*>(platform.sound.get()))
            sound->open();
    });
    return QApplication::exec();
}
