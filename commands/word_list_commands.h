#pragma once

namespace quillo {

class Parla;

// F8 and Down: the whole picture list again, and its next word (the first
// after the last).
void nextWord(Parla& form);
// Up: the previous word of the list as the last typed letter left it (the
// last before the first).
void previousWord(Parla& form);
// F9: the word box, the picture and the word-mode button each shown or
// hidden; the list's first entry selected.
void toggleWordDisplay(Parla& form);
// F10: word mode on from off; off from on or greyed.
void toggleWordMode(Parla& form);
// A click on the word-mode button: the whole picture list again, and the
// focus back on the sheet.
void wordModeClicked(Parla& form);

}  // namespace quillo
