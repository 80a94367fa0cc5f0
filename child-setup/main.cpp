// quillo-child-setup: the privileged part of "quillo-parole child", started
// by pkexec (or run by root). It makes the child's account log into
// Quillo's session, limits Magic SysRq to sync, records each file it
// changes, and undoes it all; see arguments.h for its command line.
#include "room.h"

#include <QCoreApplication>

#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char* argv[])
{
    using namespace quillo::child;
    // A root program: nothing of the caller's environment steers it (pkexec
    // clears it too), and its files are made with the modes it gives them.
    ::umask(022);
    QCoreApplication app(argc, argv);
    QString problem;
    const Arguments asked = readArguments(QCoreApplication::arguments().mid(1), &problem);
    if (!problem.isEmpty())
        return complain(kRefused, problem);
    const SystemRoot root = SystemRoot::fromEnvironment(&problem);
    if (!problem.isEmpty())
        return complain(kRefused, problem);
    if (asked.action == Arguments::Action::Status)
        return showRoom(root);
    if (root.real() && ::geteuid() != 0)
        return complain(kRefused, QStringLiteral("Serve la password dell'amministratore: usa quillo-parole child, "
                                                 "che la chiede."));
    if (asked.action == Arguments::Action::Undo)
        return undoRoom(root, asked.name);
    return makeRoom(root, asked);
}
