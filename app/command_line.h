#pragma once

#include <QString>
#include <QStringList>

namespace quillo {

// What the command line asks for. --help and --version print and end the
// program; an option Quillo does not know is named on stderr and ignored,
// so that a session never fails to start over it.
struct CommandLine {
    bool holdToQuit = false;  // Alt+Q and Alt+F4 end Quillo only when held
};

CommandLine readCommandLine(const QStringList& arguments);
// Whether the command line asks only for text (--help, --version): then no
// display is needed, and the program ends once it has printed it.
bool onlyPrints(const QStringList& arguments);

// What --version prints: the name and version, and a line when this build
// cannot hold off a Wayland compositor's shortcuts.
QString versionText();

}  // namespace quillo
