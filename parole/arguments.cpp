#include "arguments.h"

namespace quillo::parole {

namespace {

const OptionRule* ruleOf(const QList<OptionRule>& rules, const QString& name)
{
    for (const OptionRule& rule : rules) {
        if (rule.name == name)
            return &rule;
    }
    return nullptr;
}

QString dashed(const QString& name)
{
    return QStringLiteral("--") + name;
}

}  // namespace

QString readArguments(const QStringList& arguments, const QList<OptionRule>& rules, Arguments* read)
{
    *read = {};
    bool wordsOnly = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString argument = arguments.at(i);
        if (wordsOnly || argument == QLatin1String("-") || !argument.startsWith(u'-')) {
            read->words << argument;
            continue;
        }
        if (argument == QLatin1String("--")) {
            wordsOnly = true;
            continue;
        }
        if (argument == QLatin1String("-h"))
            argument = QStringLiteral("--help");
        if (!argument.startsWith(QLatin1String("--"))) {
            const QString name = argument.mid(1).section(u'=', 0, 0);
            if (ruleOf(rules, name))
                return QStringLiteral("Le opzioni si scrivono con due trattini: %1, non %2.").arg(dashed(name), argument);
            return QStringLiteral("Opzione sconosciuta: %1.").arg(argument);
        }
        const qsizetype equals = argument.indexOf(u'=');
        const QString name = argument.mid(2, equals < 0 ? -1 : equals - 2);
        const OptionRule* rule = ruleOf(rules, name);
        if (!rule)
            return QStringLiteral("Opzione sconosciuta: %1.").arg(dashed(name));
        if (read->has(name))
            return QStringLiteral("%1 è ripetuta: scrivila una volta sola.").arg(dashed(name));
        QString value;
        if (!rule->takesValue) {
            if (equals >= 0)
                return QStringLiteral("%1 non vuole un valore.").arg(dashed(name));
        } else if (equals >= 0) {
            value = argument.mid(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments.at(++i);
        } else {
            return QStringLiteral("Manca il valore dopo %1.").arg(dashed(name));
        }
        if (rule->takesValue && value.isEmpty())
            return QStringLiteral("Manca il valore dopo %1.").arg(dashed(name));
        read->options.insert(name, value);
    }
    return {};
}

}  // namespace quillo::parole
