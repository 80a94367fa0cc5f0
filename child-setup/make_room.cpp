// The step itself: the child's account, its Quillo session, automatic login
// where asked, and Magic SysRq limited to sync.
#include "account.h"
#include "accounts_service.h"
#include "change_record.h"
#include "display_manager.h"
#include "ini_text.h"
#include "room.h"

#include "platform/base/magic_sysrq.h"

#include <QFile>
#include <QProcess>

#include <cstdio>

namespace quillo::child {

namespace {

QByteArray readFile(const SystemRoot& root, const QString& path)
{
    QFile file(root.file(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The files the step writes, planned before any is written.
struct Plan {
    QList<QPair<QString, QByteArray>> files;
    QList<int> modes;
    QStringList notes;  // said after the step, as they are
};

void planAutologin(const SystemRoot& root, const DisplayManager& manager, const QString& name,
                   const QString& session, Plan* plan)
{
    const QByteArray header = "# Written by quillo-parole child: the child's account logs straight into Quillo.\n"
                              "# quillo-parole child " + name.toUtf8() + " --undo takes it away.\n";
    switch (manager.kind) {
    case DisplayManager::Kind::LightDm: {
        plan->files.append({QString::fromLatin1(kLightDmDropIn),
                            header + "[Seat:*]\nautologin-user=" + name.toUtf8() + "\nautologin-session=" +
                                session.toUtf8() + '\n'});
        plan->modes.append(0644);
        const QString main = iniValue(readFile(root, QString::fromLatin1(kLightDmConfig)),
                                      {QStringLiteral("Seat:*"), QStringLiteral("SeatDefaults")},
                                      QStringLiteral("autologin-user"));
        if (!main.isNull())
            plan->notes << QStringLiteral("Attenzione: %1 imposta autologin-user=%2, che vale più del file di Quillo: "
                                          "togli quella riga perché l'accesso automatico vada a «%3».")
                               .arg(QString::fromLatin1(kLightDmConfig), main, name);
        return;
    }
    case DisplayManager::Kind::Sddm: {
        // Relogin=false: when Quillo ends, the login screen comes back.
        plan->files.append({QString::fromLatin1(kSddmDropIn),
                            header + "[Autologin]\nUser=" + name.toUtf8() + "\nSession=" + session.toUtf8() +
                                ".desktop\nRelogin=false\n"});
        plan->modes.append(0644);
        const QString main = iniValue(readFile(root, QString::fromLatin1(kSddmConfig)),
                                      {QStringLiteral("Autologin")}, QStringLiteral("User"));
        if (!main.isNull())
            plan->notes << QStringLiteral("Attenzione: %1 imposta User=%2 in [Autologin], che vale più del file di "
                                          "Quillo: togli quella riga perché l'accesso automatico vada a «%3».")
                               .arg(QString::fromLatin1(kSddmConfig), main, name);
        return;
    }
    case DisplayManager::Kind::Gdm: {
        const QString path = QString::fromLatin1(kGdmConfig);
        plan->files.append({path, setIniKeys(readFile(root, path), QStringLiteral("daemon"),
                                             {{QStringLiteral("AutomaticLoginEnable"), QStringLiteral("true")},
                                              {QStringLiteral("AutomaticLogin"), name}})});
        plan->modes.append(0644);
        return;
    }
    case DisplayManager::Kind::Other:
        plan->notes << QStringLiteral("Il programma della schermata di accesso è %1, che non conosco: l'accesso "
                                      "automatico di «%2» nella sessione «%3» lo imposti tu, nel file di "
                                      "configurazione di %1.")
                           .arg(manager.name, name, session);
        return;
    case DisplayManager::Kind::None:
        plan->notes << QStringLiteral("Non trovo il programma della schermata di accesso (né "
                                      "/etc/systemd/system/display-manager.service né "
                                      "/etc/X11/default-display-manager): l'accesso automatico lo imposti tu.");
        return;
    }
}

}  // namespace

QString accountsServiceFile(const QString& name)
{
    return QStringLiteral("/var/lib/AccountsService/users/") + name;
}

int makeRoom(const SystemRoot& root, const Arguments& asked)
{
    const QString& name = asked.name;
    const QString session = sessionName(asked.x11);
    ChangeRecord record(root);
    if (record.load()) {
        const QString child = record.state(QStringLiteral("name"));
        if (child != name)
            return complain(kRefused, QStringLiteral("Il computer ha già l'account del bambino «%1». Per prepararne "
                                                     "un altro, prima annulla: quillo-parole child %1 --undo")
                                          .arg(child));
        say(QStringLiteral("L'account «%1» è già pronto per Quillo; niente da cambiare. Per cambiarne le scelte, "
                           "prima annulla: quillo-parole child %1 --undo")
                .arg(name));
        return kDone;
    }
    const Account account = findAccount(root, name);
    if (const QString why = accountProblem(root, name, account); !why.isEmpty())
        return complain(kRefused, why);

    const DisplayManager manager = findDisplayManager(root);
    Plan plan;
    const QString users = accountsServiceFile(name);
    const QList<QPair<QString, QString>> sessionKeys{
        {QStringLiteral("Session"), session},
        {QStringLiteral("XSession"), session},
        {QStringLiteral("SessionType"), asked.x11 ? QStringLiteral("x11") : QStringLiteral("wayland")}};
    plan.files.append({users, setIniKeys(readFile(root, users), QStringLiteral("User"), sessionKeys)});
    plan.modes.append(0600);
    if (asked.autologin)
        planAutologin(root, manager, name, session, &plan);
    const int sysrqBefore = currentSysrq(root);
    if (!asked.keepSysrq) {
        plan.files.append({QString::fromLatin1(kSysctlFile),
                           "# Written by quillo-parole child: Magic SysRq keeps only sync, so that Alt+SysRq\n"
                           "# cannot reboot, power off or end the child's session.\n"
                           "kernel.sysrq = 16\n"});
        plan.modes.append(0644);
    }

    if (!account.exists) {
        if (const QString why = makeAccount(root, name); !why.isEmpty())
            return complain(kFailed, why);
    }
    QString why = record.saveState({{QStringLiteral("name"), name},
                                    {QStringLiteral("session"), session},
                                    {QStringLiteral("account-made"), account.exists ? QStringLiteral("no") : QStringLiteral("yes")},
                                    {QStringLiteral("display-manager"), manager.name},
                                    {QStringLiteral("autologin"), asked.autologin ? QStringLiteral("yes") : QStringLiteral("no")},
                                    {QStringLiteral("sysrq-before"), asked.keepSysrq ? QString() : QString::number(sysrqBefore)}});
    for (qsizetype i = 0; why.isEmpty() && i < plan.files.size(); ++i)
        why = record.write(plan.files[i].first, plan.files[i].second, plan.modes[i]);
    if (!why.isEmpty()) {
        const QString undone = record.undo();
        return complain(kFailed, why + (undone.isEmpty() ? QStringLiteral(" Ho rimesso tutto com'era.")
                                                         : QStringLiteral(" E non ho potuto rimettere tutto: ") + undone));
    }
    if (const QString why = tellAccountsService(root, name, sessionKeys); !why.isEmpty())
        plan.notes << why;
    say(QStringLiteral("Fatto: l'account «%1»%2 entra in Quillo (%3, sessione «%4»).")
            .arg(name, account.exists ? QString() : QStringLiteral(", creato ora senza password,"),
                 asked.x11 ? QStringLiteral("X11") : QStringLiteral("Wayland"), session));
    if (asked.autologin && plan.files.size() > 1 && manager.kind != DisplayManager::Kind::None &&
        manager.kind != DisplayManager::Kind::Other)
        say(QStringLiteral("Accesso automatico con %1: %2.")
                .arg(displayManagerName(manager), plan.files[1].first));
    if (!asked.keepSysrq) {
        if (root.real()) {
            QProcess sysctl;
            sysctl.start(QString::fromLatin1(kSysctl), {QStringLiteral("--load=") + QString::fromLatin1(kSysctlFile)});
            if (!sysctl.waitForFinished(30000) || sysctl.exitCode() != 0)
                std::fprintf(stderr, "quillo-child-setup: sysctl: %s\n", sysctl.readAllStandardError().trimmed().constData());
        } else {
            QFile proc(root.file(QStringLiteral("/proc/sys/kernel/sysrq")));
            if (proc.open(QIODevice::WriteOnly | QIODevice::Truncate))
                proc.write("16\n");
        }
        const int now = currentSysrq(root);
        if (now == magic_sysrq::kSyncOnly)
            say(QStringLiteral("Magic SysRq ora tiene solo sync (kernel.sysrq = 16): %1.").arg(QString::fromLatin1(kSysctlFile)));
        else if (now < 0)
            say(QStringLiteral("Ho scritto %1; non riesco a leggere il valore del kernel: vale al più tardi dal "
                               "prossimo avvio.").arg(QString::fromLatin1(kSysctlFile)));
        else
            say(QStringLiteral("Ho scritto %1, ma il kernel tiene ancora kernel.sysrq = %2: vale dal prossimo avvio.")
                    .arg(QString::fromLatin1(kSysctlFile))
                    .arg(now));
    }
    if (!account.exists && !asked.autologin)
        say(QStringLiteral("L'account «%1» non ha password: senza accesso automatico dagli una password con "
                           "sudo passwd %1.").arg(name));
    for (const QString& note : plan.notes)
        say(note);
    say(QStringLiteral("Per annullare: quillo-parole child %1 --undo").arg(name));
    return kDone;
}

}  // namespace quillo::child
