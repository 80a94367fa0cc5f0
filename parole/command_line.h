#pragma once

#include <QStringList>

namespace quillo::parole {

// The same work as the window, for scripts and tests:
//   quillo-parole add WORD [--picture FILE] [--record SECONDS | --recording FILE.wav]
//   quillo-parole letter CHAR (--record SECONDS | --recording FILE.wav | --remove)
//   quillo-parole remove WORD [--picture | --voice]
//   quillo-parole child [NAME [--autologin] [--x11] [--keep-sysrq] | NAME --undo]
// `arguments` starts with the program's name. Says what it did on stdout and
// what went wrong on stderr, in Italian; returns the exit status: 0 done,
// 1 refused or failed, 2 bad usage.
int runCommandLine(const QStringList& arguments);

}  // namespace quillo::parole
