#pragma once

#include <QString>
#include <QStringList>

namespace quillo::parole {

// quillo-parole child ...: the child's account, its Quillo session and
// automatic login, made and undone by quillo-child-setup, the program that
// runs as root. Not root, it is started through pkexec, which asks for an
// administrator's password (in the desktop's dialog, or on the terminal
// without a display); the state alone (no name) needs no password.
// ARGUMENTS are those after "child"; returns the exit status (0 done,
// 1 failed, 2 refused), the helper's sentences going straight to the
// terminal.
int runChildStep(const QStringList& arguments);

// The helper beside this program (a build folder), or where the package
// puts it, ../../libexec/quillo/ from here; empty when neither is there.
QString childSetupProgram();

}  // namespace quillo::parole
