#include "form/rounded_outline.h"

#include "form/form.h"
#include "form/rounded_region.h"

#include <QAbstractScrollArea>

namespace quillo {

namespace {

Outlined outlinedOf(const Form& form, QWidget* control)
{
    const TwipsRect size = form.twips(control);
    return {*control, QSize(twipsToPixels(size.width, form.twipsPerPixelX()),
                            twipsToPixels(size.height, form.twipsPerPixelY()))};
}

}  // namespace

void Arrotondata(const Outlined& outlined, int corner)
{
    QWidget& control = outlined.control;
    const QRegion region = roundedRectRegion(outlined.size.width(), outlined.size.height(), corner, corner);
    if (region.isEmpty())
        control.clearMask();
    else
        control.setMask(region);
    // A new mask repaints only what it newly uncovers of the control itself;
    // a scroll area's viewport keeps its cut corners until it is painted
    // again, so repaint both, whichever way the outline changed.
    control.update();
    if (auto* area = qobject_cast<QAbstractScrollArea*>(&control))
        area->viewport()->update();
}

void roundOutlines(const Corners& corners)
{
    Arrotondata(corners.sheet, corners.radius);
    Arrotondata(corners.word, corners.radius);
}

Corners cornersOf(Form& form)
{
    return {form.CornerRadius, outlinedOf(form, form.scrivo), outlinedOf(form, form.esempio)};
}

}  // namespace quillo
