#pragma once

#include <QSize>
#include <QtGlobal>

class QWidget;

namespace quillo {

class Form;

// A control whose outline follows the corner value, with its size in pixels.
struct Outlined {
    QWidget& control;
    QSize size;
};

// Clips a control to a rectangle of its full size whose corners are cut by an
// ellipse `corner` pixels across (square corners for 0).
void Arrotondata(const Outlined& control, int corner);

// The corner value and the two outlines that follow it: the writing sheet's
// and the word box's.
struct Corners {
    qint16& radius;
    Outlined sheet;
    Outlined word;
};

// Cuts both outlines to the corner value.
void roundOutlines(const Corners& corners);

// The form's corner value, and its sheet and word box at their sizes in twips,
// in pixels.
Corners cornersOf(Form& form);

}  // namespace quillo
