#include "settings/setting_values.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quillo {

namespace {

// A whole number; one far outside every range we keep comes out as just
// outside, whatever its length.
std::optional<qint64> parseInteger(const QString& text)
{
    constexpr qint64 kFar = (qint64(1) << 40) + 1;
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    qsizetype i = 0;
    bool negative = false;
    if (t.at(0) == u'-' || t.at(0) == u'+') {
        negative = t.at(0) == u'-';
        i = 1;
    }
    if (i == t.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < t.size(); ++i) {
        const char16_t c = t.at(i).unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = std::min(value * 10 + (c - u'0'), kFar);
    }
    return negative ? -value : value;
}

template <typename T>
std::optional<T> fails(TextFault* fault, TextFault why)
{
    if (fault)
        *fault = why;
    return std::nullopt;
}

template <typename T>
std::optional<T> inRange(const QString& text, qint64 low, qint64 high, TextFault* fault)
{
    const std::optional<qint64> value = parseInteger(text);
    if (!value)
        return fails<T>(fault, TextFault::Unreadable);
    if (*value < low || *value > high)
        return fails<T>(fault, TextFault::OutOfRange);
    if (fault)
        *fault = TextFault::None;
    return T(*value);
}

}  // namespace

std::optional<qint16> parseInt16(const QString& text, TextFault* fault)
{
    return inRange<qint16>(text, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max(), fault);
}

std::optional<qint32> parseInt32(const QString& text, TextFault* fault)
{
    return inRange<qint32>(text, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max(), fault);
}

std::optional<int> parseCheckValue(const QString& text, TextFault* fault)
{
    return inRange<int>(text, 0, 2, fault);
}

std::optional<double> parseFontSize(const QString& text, TextFault* fault)
{
    QString t = text.trimmed();
    t.replace(u',', u'.');
    if (t.isEmpty() || t.size() > 32)
        return fails<double>(fault, TextFault::Unreadable);
    if (t.startsWith(u'-') && parseFontSize(t.mid(1)))
        return fails<double>(fault, TextFault::OutOfRange);
    for (QChar c : t) {
        if (!c.isDigit() && c != u'.' && c != u'+')
            return fails<double>(fault, TextFault::Unreadable);  // no exponents, infinities or names
    }
    bool ok = false;
    const double size = t.toDouble(&ok);
    if (!ok || !std::isfinite(size))
        return fails<double>(fault, TextFault::Unreadable);
    if (size <= 0)
        return fails<double>(fault, TextFault::OutOfRange);
    if (fault)
        *fault = TextFault::None;
    return std::nearbyint(size * 10000.0) / 10000.0;
}

QString formatFontSize(double size)
{
    QString text = QString::number(size, 'f', 4);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    return text;
}

}  // namespace quillo
