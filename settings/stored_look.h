#pragma once

#include "form/look.h"
#include "settings/setting_values.h"

#include <QString>

#include <span>

namespace quillo {

// The look the sheet starts from and Alt+F1 goes back to: Arial 48, black on
// white, square corners, word mode on.
const Look& builtInLook();

// One key of the stored look: where it is stored, and how its value goes
// from a look to its text and back.
struct LookSetting {
    QString section;
    QString key;
    // Puts a stored text into the look; when the text does not convert or
    // lies outside the key's range, leaves the look alone and says which.
    TextFault (*apply)(Look& look, const QString& text);
    QString (*format)(const Look& look);
};

// The stored look, row by row in the order it is applied: Esc reads these
// rows and Alt+F2 writes them.
std::span<const LookSetting> storedLook();

}  // namespace quillo
