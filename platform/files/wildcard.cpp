#include "platform/files/wildcard.h"

namespace quillo {

bool hasWildcards(const QString& pattern)
{
    return pattern.contains(u'*') || pattern.contains(u'?');
}

QRegularExpression wildcardExpression(const QString& pattern)
{
    QString body = pattern;
    bool optionalExtension = false;
    if (body.endsWith(QLatin1String(".*"))) {
        body.chop(2);
        optionalExtension = true;
    }
    QString rx;
    rx.reserve(body.size() * 2 + 16);
    // Literal runs are escaped whole: one character at a time would split
    // surrogate pairs and give an invalid expression.
    qsizetype literalStart = 0;
    auto flushLiteral = [&](qsizetype end) {
        if (end > literalStart)
            rx += QRegularExpression::escape(QStringView(body).sliced(literalStart, end - literalStart));
    };
    for (qsizetype i = 0; i < body.size(); ++i) {
        const QChar c = body.at(i);
        if (c != u'*' && c != u'?' && c != QChar(0))
            continue;
        flushLiteral(i);
        // A NUL is written out in hex: escaped as "\0" it would swallow
        // the digits that follow it as an octal number.
        rx += c == u'*' ? QLatin1String(".*") : c == u'?' ? QLatin1String(".") : QLatin1String("\\x{0}");
        literalStart = i + 1;
    }
    flushLiteral(body.size());
    if (optionalExtension)
        rx += QLatin1String("(?:\\..*)?");
    return QRegularExpression(QRegularExpression::anchoredPattern(rx),
                              QRegularExpression::CaseInsensitiveOption
                                  | QRegularExpression::DotMatchesEverythingOption
                                  | QRegularExpression::UseUnicodePropertiesOption);
}

bool isForbiddenInFileName(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 32 || u == 127)
        return true;
    switch (u) {
    case u'/': case u'\\': case u':': case u'"': case u'<': case u'>': case u'|':
        return true;
    default:
        return false;
    }
}

bool isPortableFileName(const QString& name)
{
    for (QChar c : name) {
        if (isForbiddenInFileName(c))
            return false;
    }
    return !name.isEmpty();
}

}  // namespace quillo
