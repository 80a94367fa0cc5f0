#include "account.h"

#include <QFile>
#include <QProcess>

namespace quillo::child {

namespace {

// Debian's adduser.conf: people's accounts take uids from 1000 to 59999.
constexpr uint kFirstUid = 1000;
constexpr uint kLastUid = 59999;

// The lines of a colon-separated database file whose first field is NAME.
QList<QByteArray> entry(const SystemRoot& root, const QString& file, const QString& name)
{
    QFile database(root.file(file));
    if (!database.open(QIODevice::ReadOnly))
        return {};
    const QByteArray wanted = name.toUtf8();
    for (const QByteArray& line : database.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(':');
        if (fields.size() >= 4 && fields[0] == wanted)
            return fields;
    }
    return {};
}

}  // namespace

Account findAccount(const SystemRoot& root, const QString& name)
{
    const QList<QByteArray> fields = entry(root, QStringLiteral("/etc/passwd"), name);
    if (fields.size() < 7)
        return {};
    return {true, fields[2].toUInt(), fields[3].toUInt()};
}

QString accountProblem(const SystemRoot& root, const QString& name, const Account& account)
{
    if (name == QLatin1String("root") || (account.exists && account.uid == 0))
        return QStringLiteral("«%1» è l'amministratore del computer: il bambino ha bisogno di un account suo, "
                              "senza privilegi.")
            .arg(name);
    if (!account.exists)
        return {};
    if (account.uid < kFirstUid || account.uid > kLastUid)
        return QStringLiteral("«%1» è un account di sistema (uid %2), non di una persona: scegli un nome nuovo, e "
                              "l'account del bambino verrà creato.")
            .arg(name)
            .arg(account.uid);
    // The groups that give administrator rights on Debian (sudo) and on
    // systems that grew from others (admin, wheel).
    for (const char* group : {"sudo", "admin", "wheel"}) {
        const QList<QByteArray> fields = entry(root, QStringLiteral("/etc/group"), QString::fromLatin1(group));
        if (fields.isEmpty())
            continue;
        if (fields[2].toUInt() == account.gid || fields[3].trimmed().split(',').contains(name.toUtf8()))
            return QStringLiteral("«%1» è un amministratore (è nel gruppo %2): il bambino ha bisogno di un account "
                                  "senza privilegi di amministratore.")
                .arg(name, QString::fromLatin1(group));
    }
    return {};
}

QString makeAccount(const SystemRoot& root, const QString& name)
{
    if (!root.real())
        return QStringLiteral("In una cartella di prova non creo account: «%1» non c'è.").arg(name);
    QProcess adduser;
    adduser.setProcessChannelMode(QProcess::MergedChannels);
    // By its full path, as root; --gecos "" asks no questions on Debian 12
    // and 13 alike.
    adduser.start(QStringLiteral("/usr/sbin/adduser"), {QStringLiteral("--disabled-password"), QStringLiteral("--gecos"),
                                              QString(), QStringLiteral("--"), name});
    if (!adduser.waitForFinished(120000) || adduser.exitStatus() != QProcess::NormalExit || adduser.exitCode() != 0) {
        const QString said = QString::fromLocal8Bit(adduser.readAll()).trimmed();
        return QStringLiteral("adduser non ha creato l'account «%1»%2").arg(name, said.isEmpty() ? QStringLiteral(".")
                                                                                                  : QStringLiteral(": ") + said);
    }
    return {};
}

}  // namespace quillo::child
