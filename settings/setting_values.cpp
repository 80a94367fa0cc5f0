#include "settings/setting_values.h"

#include <cmath>
#include <limits>

namespace quillo {

namespace {

std::optional<qint64> parseInteger(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 20)
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
        value = value * 10 + (c - u'0');
        if (value > qint64(1) << 40)
            return std::nullopt;  // far outside any range we keep
    }
    return negative ? -value : value;
}

template <typename T>
std::optional<T> inRange(std::optional<qint64> value)
{
    if (!value || *value < std::numeric_limits<T>::min() || *value > std::numeric_limits<T>::max())
        return std::nullopt;
    return T(*value);
}

}  // namespace

std::optional<qint16> parseInt16(const QString& text) { return inRange<qint16>(parseInteger(text)); }
std::optional<qint32> parseInt32(const QString& text) { return inRange<qint32>(parseInteger(text)); }

std::optional<int> parseCheckValue(const QString& text)
{
    const auto value = parseInt16(text);
    if (!value || *value < 0 || *value > 2)
        return std::nullopt;
    return int(*value);
}

std::optional<double> parseFontSize(const QString& text)
{
    QString t = text.trimmed();
    t.replace(u',', u'.');
    if (t.isEmpty() || t.size() > 32)
        return std::nullopt;
    for (QChar c : t) {
        if (!c.isDigit() && c != u'.' && c != u'+')
            return std::nullopt;  // no signs, exponents, infinities or names
    }
    bool ok = false;
    const double size = t.toDouble(&ok);
    if (!ok || !std::isfinite(size) || size <= 0)
        return std::nullopt;
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
