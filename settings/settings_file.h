#pragma once

namespace quillo {

class Form;

// Esc: reads the stored appearance afresh and applies it key by key, then
// reshapes both outlines. A key that is absent, or whose text does not
// convert, takes its default, and stderr names it (unless there is no file
// yet); the others are applied all the same.
void LoadSavedSettings(Form& form);
// Alt+F2: stores the appearance and confirms with the recordings of o and k.
// When the store cannot be written the old stored values stay, the default
// sound is heard instead, and stderr says why.
void SaveSettings(Form& form);

}  // namespace quillo
