// The undo: every file the step wrote back as it was, the kernel's SysRq
// mask back to what it was, and the account kept.
#include "accounts_service.h"
#include "change_record.h"
#include "ini_text.h"
#include "room.h"

#include <QFile>
#include <QProcess>

#include <cstdio>

namespace quillo::child {

int undoRoom(const SystemRoot& root, const QString& name)
{
    ChangeRecord record(root);
    if (!record.load())
        return complain(kRefused, QStringLiteral("Non c'è niente da annullare: nessun account del bambino è stato "
                                                 "preparato su questo computer."));
    const QString child = record.state(QStringLiteral("name"));
    if (child != name)
        return complain(kRefused, QStringLiteral("L'account del bambino è «%1», non «%2»: quillo-parole child %1 --undo")
                                      .arg(child, name));
    const QString sysrqBefore = record.state(QStringLiteral("sysrq-before"));
    // A running accounts-daemon first gets the old session, which it writes
    // in its own way; the file's own old bytes then go over that.
    const QByteArray users = record.before(accountsServiceFile(name));
    QList<QPair<QString, QString>> sessionKeys;
    for (const char* key : {"Session", "XSession", "SessionType"})
        sessionKeys.append({QString::fromLatin1(key),
                            iniValue(users, {QStringLiteral("User")}, QString::fromLatin1(key))});
    if (const QString why = tellAccountsService(root, name, sessionKeys); !why.isEmpty())
        std::fprintf(stderr, "quillo-parole: %s\n", why.toUtf8().constData());
    if (const QString why = record.undo(); !why.isEmpty())
        return complain(kFailed, why);
    bool ok = false;
    const int mask = sysrqBefore.toInt(&ok);
    if (ok && mask >= 0) {
        if (root.real()) {
            QProcess sysctl;
            sysctl.start(QString::fromLatin1(kSysctl), {QStringLiteral("-w"), QStringLiteral("kernel.sysrq=%1").arg(mask)});
            if (!sysctl.waitForFinished(30000) || sysctl.exitCode() != 0)
                std::fprintf(stderr, "quillo-child-setup: sysctl: %s\n", sysctl.readAllStandardError().trimmed().constData());
        } else {
            QFile proc(root.file(QStringLiteral("/proc/sys/kernel/sysrq")));
            if (proc.open(QIODevice::WriteOnly | QIODevice::Truncate))
                proc.write(QByteArray::number(mask) + '\n');
        }
    }
    say(QStringLiteral("Annullato: ogni file è tornato com'era%1.")
            .arg(ok && mask >= 0 ? QStringLiteral(", e Magic SysRq di nuovo a %1").arg(mask) : QString()));
    say(QStringLiteral("L'account «%1» resta, con i suoi file. Per toglierlo: sudo deluser --remove-home %1").arg(name));
    return kDone;
}

}  // namespace quillo::child
