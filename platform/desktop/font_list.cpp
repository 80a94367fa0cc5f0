#include "platform/desktop/font_list.h"

#include <QFontDatabase>

namespace quillo {

QStringList SystemFontList::families()
{
    QStringList usable;
    for (const QString& family : QFontDatabase::families(QFontDatabase::Latin)) {
        if (QFontDatabase::isPrivateFamily(family))
            continue;
        const auto systems = QFontDatabase::writingSystems(family);
        if (systems.contains(QFontDatabase::Symbol))
            continue;
        if (family.contains(QLatin1String("emoji"), Qt::CaseInsensitive)
            || family.contains(QLatin1String("symbol"), Qt::CaseInsensitive)
            || family.contains(QLatin1String("dingbat"), Qt::CaseInsensitive))
            continue;
        usable.append(family);
    }
    return usable;
}

}  // namespace quillo
