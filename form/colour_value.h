#pragma once

#include <QColor>
#include <QtGlobal>

class QPalette;

namespace quillo {

// Colours as the settings keep them: 0x00BBGGRR, or with the top bit set a
// reference to a system colour (0x80000005 window background, 0x80000008
// window text), taken from the palette.
inline constexpr qint32 kSystemWindowColour = qint32(0x80000005u);
inline constexpr qint32 kSystemWindowTextColour = qint32(0x80000008u);

QColor colourFromValue(qint32 value, const QPalette& system);

}  // namespace quillo
