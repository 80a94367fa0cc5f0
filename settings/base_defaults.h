#pragma once

namespace quillo {

class Form;

// Alt+F1: the built-in appearance on the window (sound on, Arial 48, black on
// white, word mode on, word controls shown). The corners and the store are
// left alone.
void LoadBaseDefaults(Form& form);

}  // namespace quillo
