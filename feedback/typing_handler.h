#pragma once

#include <QString>

namespace quillo {

class Form;

// Answers one typed character before the sheet inserts it: speaks it, and in
// word mode shows a random example word for it; otherwise praises the
// completion of the word on show.
void scrivo_KeyPress(Form& form, const QString& character);

}  // namespace quillo
