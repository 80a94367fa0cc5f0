#include "accounts_service.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>

namespace quillo::child {

QString tellAccountsService(const SystemRoot& root, const QString& name,
                            const QList<QPair<QString, QString>>& values)
{
    static const QString kService = QStringLiteral("org.freedesktop.Accounts");
    // A test tree has no daemon of its own: its tests name a private bus
    // with a double of the daemon on it, and only then is one asked.
    if (!root.real() && !qEnvironmentVariableIsSet("DBUS_SYSTEM_BUS_ADDRESS"))
        return {};
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(kService).value())
        return {};
    QDBusMessage find = QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/Accounts"),
                                                       kService, QStringLiteral("FindUserByName"));
    find << name;
    const QDBusReply<QDBusObjectPath> user = bus.call(find);
    if (!user.isValid())
        return QStringLiteral("AccountsService non trova «%1»: %2").arg(name, user.error().message());
    for (const auto& [key, value] : values) {
        QDBusMessage set = QDBusMessage::createMethodCall(kService, user.value().path(),
                                                          QStringLiteral("org.freedesktop.Accounts.User"),
                                                          QStringLiteral("Set") + key);
        set << value;
        const QDBusMessage answer = bus.call(set);
        if (answer.type() == QDBusMessage::ErrorMessage)
            return QStringLiteral("AccountsService non ha preso %1=%2: %3").arg(key, value, answer.errorMessage());
    }
    return {};
}

}  // namespace quillo::child
