#include "platform/files/user_media_folder.h"

#include <QStandardPaths>

namespace quillo {

QString userMediaFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/quillo");
}

}  // namespace quillo
