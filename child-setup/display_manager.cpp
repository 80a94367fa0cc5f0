#include "display_manager.h"

#include <QFile>
#include <QFileInfo>

namespace quillo::child {

namespace {

DisplayManager fromName(QString name)
{
    name.remove(QStringLiteral(".service"));
    if (name == QLatin1String("gdm") || name == QLatin1String("gdm3"))
        return {DisplayManager::Kind::Gdm, name};
    if (name == QLatin1String("lightdm"))
        return {DisplayManager::Kind::LightDm, name};
    if (name == QLatin1String("sddm"))
        return {DisplayManager::Kind::Sddm, name};
    return {DisplayManager::Kind::Other, name};
}

}  // namespace

DisplayManager findDisplayManager(const SystemRoot& root)
{
    // Only the link's own target is read: in a test tree it leads outside.
    const QFileInfo unit(root.file(QStringLiteral("/etc/systemd/system/display-manager.service")));
    if (unit.isSymLink())
        return fromName(QFileInfo(unit.symLinkTarget()).fileName());
    QFile program(root.file(QStringLiteral("/etc/X11/default-display-manager")));
    if (program.open(QIODevice::ReadOnly)) {
        const QString path = QString::fromUtf8(program.readLine()).trimmed();
        if (!path.isEmpty())
            return fromName(QFileInfo(path).fileName());
    }
    return {};
}

QString displayManagerName(const DisplayManager& manager)
{
    switch (manager.kind) {
    case DisplayManager::Kind::Gdm: return QStringLiteral("GDM");
    case DisplayManager::Kind::LightDm: return QStringLiteral("LightDM");
    case DisplayManager::Kind::Sddm: return QStringLiteral("SDDM");
    case DisplayManager::Kind::Other: return manager.name;
    case DisplayManager::Kind::None: break;
    }
    return QStringLiteral("nessuno");
}

}  // namespace quillo::child
