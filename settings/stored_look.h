#pragma once

#include "settings/setting_values.h"

#include <QString>

#include <span>

namespace quillo {

class Form;

// One key of the appearance: where it is stored, the text the built-in look
// has for it, and how it goes from the window to its text and back.
struct LookSetting {
    QString section;
    QString key;
    QString builtIn;
    bool inBuiltInLook;  // Alt+F1 sets it; the corners it leaves as they are
    // Applies a stored text; when the text does not convert or lies outside
    // the key's range, leaves the window alone and says which.
    TextFault (*apply)(Form& form, const QString& text);
    QString (*format)(Form& form);
};

// The stored appearance, row by row in the order it is applied: Esc reads
// these rows, Alt+F2 writes them and Alt+F1 applies their built-in texts.
std::span<const LookSetting> storedLook();

}  // namespace quillo
