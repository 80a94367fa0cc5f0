#include "commands/appearance_commands.h"

#include "form/writing_sheet.h"
#include "platform/desktop/font_list.h"
#include "platform/random_source.h"

#include <algorithm>
#include <cmath>

namespace quillo {

qint32 colourFromDraw(double r)
{
    const double colour = std::floor(r * 16777216.0);
    return qint32(std::clamp(colour, 0.0, 16777215.0));
}

double tenthOf(double size)
{
    return std::nearbyint(size / 10.0 * 10000.0) / 10000.0;  // ties to even
}

double smallerSize(double size)
{
    return std::floor(size - tenthOf(size));
}

double largerSize(double size)
{
    return std::floor(size + tenthOf(size));
}

void randomBackgroundColour(WritingSheet& sheet, RandomSource& random)
{
    sheet.setBackColor(colourFromDraw(random.next()));
}

void randomTextColour(WritingSheet& sheet, RandomSource& random)
{
    sheet.setForeColor(colourFromDraw(random.next()));
}

void randomFont(WritingSheet& sheet, FontList& fonts, RandomSource& random)
{
    const double r = random.next();
    const QStringList families = fonts.families();
    const qsizetype n = families.size();
    if (n == 0)
        return;
    const auto index = std::clamp<qsizetype>(qsizetype(std::floor(double(n) * r)), 0, n - 1);
    sheet.setFontName(families.at(index));
}

void smallerCharacters(WritingSheet& sheet)
{
    sheet.setFontSize(smallerSize(sheet.fontSize()));
}

void largerCharacters(WritingSheet& sheet)
{
    const double old = sheet.fontSize();
    sheet.setFontSize(largerSize(old));
    if (old >= sheet.fontSize())
        sheet.setFontSize(old + 1);
}

}  // namespace quillo
