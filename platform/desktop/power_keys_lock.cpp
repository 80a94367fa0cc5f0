#include "platform/desktop/power_keys_lock.h"

#include "platform/base/log.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace quillo {

PowerKeysLock::PowerKeysLock(QObject* parent) : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        qCWarning(lcQuillo, "no system bus (%s): the power key, the reboot key, the suspend keys and the lid are not held off",
                  qPrintable(bus.lastError().message()));
        QMetaObject::invokeMethod(this, &PowerKeysLock::settled, Qt::QueuedConnection);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
    call << QString::fromLatin1(kWhat) << QStringLiteral("Quillo")
         << QStringLiteral("A child is typing") << QStringLiteral("block");
    // Asked while the window is built: start-up never waits for the answer.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* answer) {
        const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *answer;
        if (reply.isError())
            qCWarning(lcQuillo, "logind does not hold off the power key, the reboot key, the suspend keys and the lid: %s",
                      qPrintable(reply.error().message()));
        else
            lock_ = reply.value();
        answer->deleteLater();
        emit settled();
    });
}

}  // namespace quillo
