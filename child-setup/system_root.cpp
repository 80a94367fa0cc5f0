#include "system_root.h"

#include <QDir>

namespace quillo::child {

SystemRoot SystemRoot::fromEnvironment(QString* problem)
{
    SystemRoot root;
#ifdef QUILLO_CHILD_SETUP_TEST_ROOT
    const QString prefix = qEnvironmentVariable("QUILLO_CHILD_SETUP_ROOT");
    if (!prefix.isEmpty()) {
        if (qEnvironmentVariableIsSet("PKEXEC_UID")) {
            *problem = QStringLiteral("Questa è una versione di prova: non si avvia con pkexec.");
            return root;
        }
        if (!QDir::isAbsolutePath(prefix) || !QDir(prefix).exists()) {
            *problem = QStringLiteral("La cartella di prova %1 non c'è.").arg(prefix);
            return root;
        }
        root.prefix_ = QDir::cleanPath(prefix);
        root.real_ = false;
    }
#else
    Q_UNUSED(problem)
#endif
    return root;
}

}  // namespace quillo::child
