#include "platform/base/log.h"

#include <QCoreApplication>

namespace quillo {

Q_LOGGING_CATEGORY(lcQuillo, "quillo")

QString logText(const char* english)
{
    return QCoreApplication::translate("quillo", english);
}

}  // namespace quillo
