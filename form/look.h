#pragma once

#include "form/rounded_outline.h"

#include <QString>

namespace quillo {

class Form;
class WordModeButton;
class WritingSheet;

// The look a child's sheet is shown in, as a plain value: what Alt+F2
// stores, Esc reads back and Alt+F1 resets. Colours are 32-bit colour
// values (a system colour reference or 0x00BBGGRR); the word mode is the
// word-mode button's 0, 1 or 2.
struct Look {
    QString fontName;
    double fontSize = 0;
    qint32 backColor = 0;
    qint32 foreColor = 0;
    qint16 corner = 0;
    int wordMode = 0;

    bool operator==(const Look&) const = default;
};

// Where a look is shown: the sheet's font and colours, the word-mode button,
// and the corner value with the two outlines that follow it.
struct LookParts {
    WritingSheet& sheet;
    WordModeButton& wordMode;
    Corners corners;
};

// Whether showing a look cuts both outlines afresh to its corner, or leaves
// them as they are (Alt+F1 leaves the corners alone).
enum class Outlines { CutAfresh, AsTheyAre };

// Puts `look` on its parts, in this order: the font name, the size, the
// background and text colours, the corner value, the word mode; then, unless
// told otherwise, both outlines. A word mode that changes reports itself as
// a click would.
void showLook(const LookParts& parts, const Look& look, Outlines outlines = Outlines::CutAfresh);
// The look its parts show now.
Look lookOf(const LookParts& parts);

// The form's own sheet, word-mode button and corners.
LookParts lookPartsOf(Form& form);

}  // namespace quillo
