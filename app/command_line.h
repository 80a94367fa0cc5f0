#pragma once

#include <QStringList>

namespace quillo {

// What the command line asks for. --help and --version print and end the
// program; an option Quillo does not know is named on stderr and ignored,
// so that a session never fails to start over it.
struct CommandLine {
    bool holdToQuit = false;  // Alt+Q and Alt+F4 end Quillo only when held
};

CommandLine readCommandLine(const QStringList& arguments);

}  // namespace quillo
