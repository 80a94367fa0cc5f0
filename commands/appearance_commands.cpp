#include "commands/appearance_commands.h"

#include "form/form.h"

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

void randomBackgroundColour(Form& form)
{
    form.scrivo->setBackColor(colourFromDraw(form.platform().random->next()));
}

void randomTextColour(Form& form)
{
    form.scrivo->setForeColor(colourFromDraw(form.platform().random->next()));
}

void randomFont(Form& form)
{
    const double r = form.platform().random->next();
    const QStringList families = form.platform().fonts->families();
    const qsizetype n = families.size();
    if (n == 0)
        return;
    const auto index = std::clamp<qsizetype>(qsizetype(std::floor(double(n) * r)), 0, n - 1);
    form.scrivo->setFontName(families.at(index));
}

void smallerCharacters(Form& form)
{
    form.scrivo->setFontSize(smallerSize(form.scrivo->fontSize()));
}

void largerCharacters(Form& form)
{
    const double old = form.scrivo->fontSize();
    form.scrivo->setFontSize(largerSize(form.scrivo->fontSize()));
    if (old >= form.scrivo->fontSize())
        form.scrivo->setFontSize(old + 1);
}

}  // namespace quillo
