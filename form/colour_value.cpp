#include "form/colour_value.h"

#include <QPalette>

namespace quillo {

QColor colourFromValue(qint32 value, const QPalette& system)
{
    const quint32 bits = quint32(value);
    if (bits & 0x80000000u) {
        switch (bits & 0xFFu) {
        case 5: return system.color(QPalette::Active, QPalette::Base);
        case 8: return system.color(QPalette::Active, QPalette::Text);
        case 15: return system.color(QPalette::Active, QPalette::Button);
        case 18: return system.color(QPalette::Active, QPalette::ButtonText);
        default: return system.color(QPalette::Active, QPalette::Window);
        }
    }
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

}  // namespace quillo
