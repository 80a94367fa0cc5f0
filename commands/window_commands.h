#pragma once

namespace quillo {

class Form;

// Esc: the stored appearance, sound on, the word box, picture and word-mode
// button shown.
void applyStoredAppearance(Form& form);
// F4: the corner value steps by 10, back to 0 once above 180; both outlines follow.
void nextCornerStep(Form& form);
// Alt+F4 and Alt+Q: the program ends, at once or, with --hold-to-quit, once
// the key has been held down for two seconds.
void quit(Form& form);
// F11: typing sound off or on.
void toggleSound(Form& form);
// F12: a clean sheet.
void clearSheet(Form& form);

// The corner value after one F4 step from `corner`.
short nextCornerValue(short corner);

}  // namespace quillo
