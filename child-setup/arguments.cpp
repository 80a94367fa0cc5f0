#include "arguments.h"

#include <QRegularExpression>

namespace quillo::child {

QString accountNameProblem(const QString& name)
{
    // adduser's NAME_REGEX on Debian, and useradd's 32 characters.
    static const QRegularExpression kName(QStringLiteral("^[a-z][a-z0-9_-]{0,31}$"));
    if (kName.match(name).hasMatch())
        return {};
    return QStringLiteral("«%1» non va bene come nome di un account: usa al massimo 32 lettere minuscole senza "
                          "accenti, cifre, - e _, cominciando con una lettera (per esempio: bimbo).")
        .arg(name);
}

Arguments readArguments(const QStringList& arguments, QString* problem)
{
    Arguments asked;
    bool undo = false;
    bool named = false;
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--autologin")) {
            asked.autologin = true;
        } else if (argument == QLatin1String("--x11")) {
            asked.x11 = true;
        } else if (argument == QLatin1String("--keep-sysrq")) {
            asked.keepSysrq = true;
        } else if (argument == QLatin1String("--undo")) {
            undo = true;
        } else if (argument.startsWith(QLatin1String("--"))) {
            *problem = QStringLiteral("Opzione sconosciuta: %1.").arg(argument);
            return {};
        } else if (named) {
            *problem = QStringLiteral("Ci vuole un solo nome di account, non «%1» e «%2».").arg(asked.name, argument);
            return {};
        } else {
            asked.name = argument;
            named = true;
        }
    }
    if (!named) {
        if (undo || asked.autologin || asked.x11 || asked.keepSysrq)
            *problem = QStringLiteral("Manca il nome dell'account del bambino.");
        return asked;
    }
    if (const QString why = accountNameProblem(asked.name); !why.isEmpty()) {
        *problem = why;
        return {};
    }
    if (undo && (asked.autologin || asked.x11 || asked.keepSysrq)) {
        *problem = QStringLiteral("--undo non va con altre opzioni: annulla tutto quello che il passo aveva fatto.");
        return {};
    }
    asked.action = undo ? Arguments::Action::Undo : Arguments::Action::Make;
    return asked;
}

}  // namespace quillo::child
