#include "form/look.h"

#include "form/form.h"
#include "form/word_mode_button.h"
#include "form/writing_sheet.h"

namespace quillo {

void showLook(const LookParts& parts, const Look& look, Outlines outlines)
{
    parts.sheet.setFontName(look.fontName);
    parts.sheet.setFontSize(look.fontSize);
    parts.sheet.setBackColor(look.backColor);
    parts.sheet.setForeColor(look.foreColor);
    parts.corners.radius = look.corner;
    parts.wordMode.setValue(look.wordMode);
    if (outlines == Outlines::CutAfresh)
        roundOutlines(parts.corners);
}

Look lookOf(const LookParts& parts)
{
    return {parts.sheet.fontName(), parts.sheet.fontSize(), parts.sheet.backColor(), parts.sheet.foreColor(),
            parts.corners.radius, parts.wordMode.value()};
}

LookParts lookPartsOf(Form& form)
{
    return {*form.scrivo, *form.Parolasi, cornersOf(form)};
}

}  // namespace quillo
