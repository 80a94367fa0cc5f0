// quillo-parole child alone: whose the room is, and what is still open.
#include "change_record.h"
#include "display_manager.h"
#include "ini_text.h"
#include "room.h"

#include "platform/base/magic_sysrq.h"

#include <QFile>

namespace quillo::child {

namespace {

QByteArray readFile(const SystemRoot& root, const QString& path)
{
    QFile file(root.file(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString sysrqLine(int mask)
{
    if (mask < 0)
        return QStringLiteral("Magic SysRq: non riesco a leggere /proc/sys/kernel/sysrq.");
    const QStringList dangers = magic_sysrq::dangers(mask);
    if (dangers.isEmpty())
        return QStringLiteral("Magic SysRq: kernel.sysrq = %1, Alt+R Sist non può spegnere né riavviare.").arg(mask);
    return QStringLiteral("Magic SysRq: kernel.sysrq = %1, ancora aperto: con Alt+R Sist e una lettera il bambino "
                          "può riavviare o spegnere il computer, o chiudere la sessione.")
        .arg(mask);
}

}  // namespace

int currentSysrq(const SystemRoot& root)
{
    return magic_sysrq::read(root.file(QString::fromLatin1(magic_sysrq::kPath)));
}

int showRoom(const SystemRoot& root)
{
    ChangeRecord record(root);
    const int mask = currentSysrq(root);
    if (!record.load()) {
        say(QStringLiteral("Nessun account del bambino è preparato per Quillo su questo computer."));
        say(sysrqLine(mask));
        say(QStringLiteral("Per prepararlo: quillo-parole child NOME --autologin"));
        return kDone;
    }
    const QString name = record.state(QStringLiteral("name"));
    const QString session = record.state(QStringLiteral("session"));
    say(QStringLiteral("Account del bambino: %1%2.")
            .arg(name, record.state(QStringLiteral("account-made")) == QLatin1String("yes")
                           ? QStringLiteral(" (creato da questo passo)") : QString()));
    say(QStringLiteral("Sessione: Quillo (%1, «%2»).")
            .arg(session == QLatin1String("quillo-x11") ? QStringLiteral("X11") : QStringLiteral("Wayland"), session));
    const DisplayManager manager = findDisplayManager(root);
    QStringList open;
    const bool known = manager.kind != DisplayManager::Kind::None && manager.kind != DisplayManager::Kind::Other;
    if (record.state(QStringLiteral("autologin")) == QLatin1String("yes") && !known) {
        say(QStringLiteral("Accesso automatico: chiesto, ma la schermata di accesso (%1) non è una che conosco: "
                           "lo imposti tu.").arg(displayManagerName(manager)));
    } else if (record.state(QStringLiteral("autologin")) == QLatin1String("yes")) {
        say(QStringLiteral("Accesso automatico: sì, con %1.").arg(displayManagerName(manager)));
        if (manager.name != record.state(QStringLiteral("display-manager")))
            open << QStringLiteral("la schermata di accesso ora è di %1, non di %2 come quando l'account è stato "
                                   "preparato: annulla e rifai il passo.")
                        .arg(displayManagerName(manager), record.state(QStringLiteral("display-manager")));
        if (manager.kind == DisplayManager::Kind::LightDm &&
            !iniValue(readFile(root, QString::fromLatin1(kLightDmConfig)), {QStringLiteral("Seat:*"), QStringLiteral("SeatDefaults")},
                      QStringLiteral("autologin-user")).isNull())
            open << QStringLiteral("%1 imposta autologin-user, che vale più del file di Quillo.").arg(QString::fromLatin1(kLightDmConfig));
        if (manager.kind == DisplayManager::Kind::Gdm &&
            iniValue(readFile(root, QString::fromLatin1(kGdmConfig)), {QStringLiteral("daemon")},
                     QStringLiteral("AutomaticLogin")) != name)
            open << QStringLiteral("%1 non fa più entrare «%2».").arg(QString::fromLatin1(kGdmConfig), name);
    } else {
        say(QStringLiteral("Accesso automatico: no (la schermata di accesso è di %1).").arg(displayManagerName(manager)));
    }
    say(sysrqLine(mask));
    if (!magic_sysrq::dangers(mask).isEmpty())
        open << QStringLiteral("Magic SysRq permette ancora di riavviare o spegnere.");
    for (const QString& line : open)
        say(QStringLiteral("Ancora aperto: ") + line);
    say(QStringLiteral("Per annullare: quillo-parole child %1 --undo").arg(name));
    return kDone;
}

}  // namespace quillo::child
