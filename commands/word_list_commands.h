#pragma once

namespace quillo {

class Form;
class WordModeButton;
struct WordShow;

// F8 and Down: the whole picture list again, and its next word (the first
// after the last).
void nextWord(const WordShow& show);
// Up: the previous word of the list as the last typed letter left it (the
// last before the first).
void previousWord(const WordShow& show);
// F9: the word box, the picture and the word-mode button each shown or
// hidden; the list's first entry selected.
void toggleWordDisplay(const WordShow& show, WordModeButton& Parolasi);
// F10: word mode on from off; off from on or greyed. The button reports the
// change as a click would (valueClicked).
void toggleWordMode(WordModeButton& Parolasi);
// A click on the word-mode button: the whole picture list again, and the
// focus back on the sheet.
void Parolasi_Click(Form& form);

}  // namespace quillo
