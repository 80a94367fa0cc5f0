#pragma once

namespace quillo {

class Form;

// F8 and Down: the whole picture list again, and its next word (the first
// after the last).
void nextWord(Form& form);
// Up: the previous word of the list as the last typed letter left it (the
// last before the first).
void previousWord(Form& form);
// F9: the word box, the picture and the word-mode button each shown or
// hidden; the list's first entry selected.
void toggleWordDisplay(Form& form);
// F10: word mode on from off; off from on or greyed.
void toggleWordMode(Form& form);
// A click on the word-mode button: the whole picture list again, and the
// focus back on the sheet.
void Parolasi_Click(Form& form);

}  // namespace quillo
