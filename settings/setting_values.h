#pragma once

#include <QString>

#include <optional>

namespace quillo {

// Why a stored text gives no value.
enum class TextFault {
    None,
    Unreadable,  // not a text of the value's kind
    OutOfRange,  // a number, but not one the value may take
};

// Conversions between stored texts and values. A text that does not convert,
// or lies outside the value's range, gives nothing, and *fault says which.
// Blanks around a number are allowed.
std::optional<qint16> parseInt16(const QString& text, TextFault* fault = nullptr);
std::optional<qint32> parseInt32(const QString& text, TextFault* fault = nullptr);
// A check box value: 0, 1 or 2.
std::optional<int> parseCheckValue(const QString& text, TextFault* fault = nullptr);
// A positive, finite font size in points; '.' or ',' as decimal mark.
std::optional<double> parseFontSize(const QString& text, TextFault* fault = nullptr);

// A font size to four decimals, '.' as decimal mark, without trailing zeros:
// 48, 43.5.
QString formatFontSize(double size);

}  // namespace quillo
