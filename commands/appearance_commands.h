#pragma once

#include <QtGlobal>

namespace quillo {

class Form;

// F2: a random background colour for the sheet.
void randomBackgroundColour(Form& form);
// F3: a random text colour for the sheet.
void randomTextColour(Form& form);
// F5: a random font family for the sheet, from those that write Latin letters.
void randomFont(Form& form);
// F6: characters a tenth smaller, at least one point smaller.
void smallerCharacters(Form& form);
// F7: characters a tenth larger, at least one point larger.
void largerCharacters(Form& form);

// floor(r * 2^24): a colour 0x00BBGGRR from a draw r in [0, 1).
qint32 colourFromDraw(double r);
// A tenth of a size, to four decimals, halves to even.
double tenthOf(double size);
// The size F6 asks for, and the size F7 asks for first.
double smallerSize(double size);
double largerSize(double size);

}  // namespace quillo
