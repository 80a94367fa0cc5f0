#pragma once

class QWidget;

namespace quillo {

class Form;

// Clips a control to a rectangle of its full size whose corners are cut by an
// ellipse CornerRadius pixels across (square corners for 0).
void Arrotondata(Form& form, QWidget* control);

}  // namespace quillo
