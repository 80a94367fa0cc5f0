#include "app/failure.h"
#include "app/parla.h"
#include "platform/sdl_sound.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

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
        window.Form_Load();
    } catch (const quillo::Failure& failure) {
        std::fprintf(stderr, "quillo: cannot start: %s\n", qPrintable(failure.message()));
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
