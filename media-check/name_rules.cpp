#include "name_rules.h"

#include "platform/files/wildcard.h"

namespace quillo::check {

namespace {

bool isReservedWindowsName(const QString& name)
{
    QString base = name.section(u'.', 0, 0);
    while (base.endsWith(u' '))
        base.chop(1);
    base = base.toUpper();
    static const QStringList fixed = {QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"), QStringLiteral("NUL")};
    if (fixed.contains(base))
        return true;
    return base.size() == 4 && (base.startsWith(QLatin1String("COM")) || base.startsWith(QLatin1String("LPT")))
        && base.at(3) >= u'1' && base.at(3) <= u'9';
}

}  // namespace

QString shown(const QString& name)
{
    QString out;
    for (QChar c : name) {
        if (c.unicode() < 32 || c.unicode() == 127)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else if (c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF)  // a byte that is not UTF-8
            out += QStringLiteral("\\x%1").arg(c.unicode() - 0xDC00, 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

std::pair<QStringList, QStringList> nameTroubles(const QString& name)
{
    QStringList it, en;
    QString forbidden;
    for (QChar c : name) {
        if (isForbiddenInFileName(c) && !forbidden.contains(c))
            forbidden += c;
    }
    if (!forbidden.isEmpty()) {
        it << QStringLiteral("contiene %1").arg(shown(forbidden));
        en << QStringLiteral("contains %1").arg(shown(forbidden));
    }
    if (hasWildcards(name)) {
        it << QStringLiteral("contiene * o ?, che Quillo legge come caratteri jolly");
        en << QStringLiteral("contains * or ?, which Quillo reads as wildcards");
    }
    if (name.endsWith(u' ')) {
        it << QStringLiteral("finisce con uno spazio");
        en << QStringLiteral("ends in a space");
    } else if (name.endsWith(u'.')) {
        it << QStringLiteral("finisce con un punto");
        en << QStringLiteral("ends in a dot");
    }
    if (isReservedWindowsName(name)) {
        it << QStringLiteral("è un nome riservato di Windows");
        en << QStringLiteral("is a reserved Windows name");
    }
    return {it, en};
}

bool hasThreeLetterExtension(const QString& name)
{
    if (name.size() < 5 || name.at(name.size() - 4) != u'.')
        return false;
    for (qsizetype i = name.size() - 3; i < name.size(); ++i) {
        if (!name.at(i).isLetterOrNumber())
            return false;
    }
    return true;
}

}  // namespace quillo::check
