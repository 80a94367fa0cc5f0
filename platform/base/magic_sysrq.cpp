#include "platform/base/magic_sysrq.h"

#include <QFile>

namespace quillo::magic_sysrq {

QStringList dangers(int mask)
{
    if (mask <= 0)
        return {};
    const bool all = mask == 1;
    struct Group {
        int bit;
        const char* words;
    };
    // SAK (4), remounting read-only (32), signals to every process (64),
    // reboot and power-off (128). Logging, dumps, sync and nicing end nothing.
    static constexpr Group groups[] = {
        {4, "kill every program on the console (SAK, K)"},
        {32, "remount the disks read-only (U)"},
        {64, "end or kill every program (E, I)"},
        {128, "reboot or power off the machine at once (B, O)"},
    };
    QStringList said;
    for (const Group& group : groups)
        if (all || (mask & group.bit) != 0)
            said << QString::fromLatin1(group.words);
    return said;
}

int read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    bool ok = false;
    const int mask = QString::fromLatin1(file.read(32)).trimmed().toInt(&ok);
    return ok && mask >= 0 ? mask : -1;
}

QString warning(int mask)
{
    const QStringList said = dangers(mask);
    if (said.isEmpty())
        return {};
    return QStringLiteral("Magic SysRq is on (kernel.sysrq = %1): Alt+SysRq and a letter can %2. "
                          "As an administrator, 'quillo-parole child NAME' limits it to sync (kernel.sysrq = 16).")
        .arg(mask)
        .arg(said.join(QStringLiteral(", ")));
}

}  // namespace quillo::magic_sysrq
