#include "form/rounded_outline.h"

#include "form/form.h"
#include "form/rounded_region.h"

#include <QAbstractScrollArea>

namespace quillo {

void Arrotondata(Form& form, QWidget* control)
{
    const TwipsRect size = form.twips(control);
    const int w = twipsToPixels(size.width, form.twipsPerPixelX());
    const int h = twipsToPixels(size.height, form.twipsPerPixelY());
    const QRegion region = roundedRectRegion(w, h, form.CornerRadius, form.CornerRadius);
    if (region.isEmpty())
        control->clearMask();
    else
        control->setMask(region);
    // A new mask repaints only what it newly uncovers of the control itself;
    // a scroll area's viewport keeps its cut corners until it is painted
    // again, so repaint both, whichever way the outline changed.
    control->update();
    if (auto* area = qobject_cast<QAbstractScrollArea*>(control))
        area->viewport()->update();
}

}  // namespace quillo
