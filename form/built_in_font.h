#pragma once

#include <QFont>
#include <QString>

namespace quillo {

// The lettering the sheet and the word box are designed with, and the one the
// built-in look goes back to: Arial, bold, 48 points.
inline const QString kBuiltInFontName = QStringLiteral("Arial");
inline constexpr double kBuiltInFontSize = 48;

inline QFont builtInFont()
{
    QFont font(kBuiltInFontName);
    font.setPointSizeF(kBuiltInFontSize);
    font.setBold(true);
    return font;
}

}  // namespace quillo
