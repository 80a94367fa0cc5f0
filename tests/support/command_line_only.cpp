// Quillo's command line and nothing else: what `quillo --version` and
// `quillo --help` print, built from the command line's own code over the
// desktop room alone. A build that changes only what these print (the
// Wayland hold left out) is checked through it without building the toy.
#include "app/command_line.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("Quillo"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLO_VERSION));
    QCoreApplication app(argc, argv);
    quillo::readCommandLine(QCoreApplication::arguments());  // prints and ends when asked to
    return 0;
}
