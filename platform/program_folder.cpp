#include "platform/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace quillo {

QString RunningProgramFolder::path() const
{
    // applicationFilePath() already follows /proc/self/exe; canonical form
    // resolves any link left in the folder itself.
    const QFileInfo program(QCoreApplication::applicationFilePath());
    const QString canonical = program.canonicalPath();
    QString folder = canonical.isEmpty() ? program.absolutePath() : canonical;
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    return QDir::toNativeSeparators(folder);
}

}  // namespace quillo
