#include "library/user_media_folder.h"

#include "platform/base/log.h"
#include "platform/files/file_name.h"

#include <QDir>
#include <QMutex>
#include <QSet>

namespace quillo {

namespace {

void sayOnce(const QString& line)
{
    static QMutex mutex;
    static QSet<QString> said;
    const QMutexLocker lock(&mutex);
    if (said.contains(line))
        return;
    said.insert(line);
    qCWarning(lcQuillo).noquote() << line;
}

// An environment variable as a folder, its bytes kept as media file names
// keep theirs, so that a folder whose name is not UTF-8 is found.
QString folderFromEnvironment(const char* name)
{
    return decodeFileName(qgetenv(name));
}

}  // namespace

QString userMediaFolder()
{
    const QString dataHome = folderFromEnvironment("XDG_DATA_HOME");
    if (dataHome.startsWith(u'/'))
        return QDir::cleanPath(dataHome) + QStringLiteral("/quillo");
    if (!dataHome.isEmpty())
        sayOnce(logText("XDG_DATA_HOME (%1) is not an absolute path: ignored, ~/.local/share is used")
                    .arg(readableFileName(dataHome)));
    QString home = folderFromEnvironment("HOME");
    if (!home.startsWith(u'/')) {
        sayOnce(home.isEmpty() ? logText("HOME is not set: the home folder of the account is used")
                               : logText("HOME (%1) is not an absolute path: the home folder of the account is used")
                                     .arg(readableFileName(home)));
        home = QDir::homePath();
    }
    if (!home.startsWith(u'/')) {
        sayOnce(logText("no home folder: no library of your own"));
        return {};
    }
    return QDir::cleanPath(home) + QStringLiteral("/.local/share/quillo");
}

}  // namespace quillo
