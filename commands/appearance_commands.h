#pragma once

#include <QtGlobal>

namespace quillo {

class FontList;
class RandomSource;
class WritingSheet;

// The appearance commands see the sheet, and where they draw from: the font
// families and the random numbers.

// F2: a random background colour for the sheet.
void randomBackgroundColour(WritingSheet& sheet, RandomSource& random);
// F3: a random text colour for the sheet.
void randomTextColour(WritingSheet& sheet, RandomSource& random);
// F5: a random font family for the sheet, from those that write Latin letters.
void randomFont(WritingSheet& sheet, FontList& fonts, RandomSource& random);
// F6: characters a tenth smaller, at least one point smaller.
void smallerCharacters(WritingSheet& sheet);
// F7: characters a tenth larger, at least one point larger.
void largerCharacters(WritingSheet& sheet);

// floor(r * 2^24): a colour 0x00BBGGRR from a draw r in [0, 1).
qint32 colourFromDraw(double r);
// A tenth of a size, to four decimals, halves to even.
double tenthOf(double size);
// The size F6 asks for, and the size F7 asks for first.
double smallerSize(double size);
double largerSize(double size);

}  // namespace quillo
