#pragma once

#include <QDBusUnixFileDescriptor>
#include <QObject>

namespace quillo {

// Asks logind to hold off the power key, the reboot key, the suspend and
// hibernate keys and the lid switch for as long as Quillo runs: a "block" inhibitor lock,
// taken through the system bus at start and held until the file descriptor
// closes, with this object at exit. Without a system bus or logind, or when
// logind refuses, stderr says so once and Quillo runs on.
class PowerKeysLock final : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kWhat = "handle-power-key:handle-reboot-key:handle-suspend-key:handle-hibernate-key:handle-lid-switch";

    explicit PowerKeysLock(QObject* parent = nullptr);

    bool held() const { return lock_.isValid(); }

signals:
    // The answer has come, the lock taken or not.
    void settled();

private:
    QDBusUnixFileDescriptor lock_;
};

}  // namespace quillo
